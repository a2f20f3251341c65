// Embedding: IOleObject, IOleInPlaceObject(Windowless), IOleInPlaceActiveObject, IOleControl.
// The control is windowed only; it activates in place in the window its site names and shows
// no menus, toolbars or accelerators of its own, so the frame negotiation stays empty.
#include "control/com/control.h"
#include "control/window/control_window.h"

namespace pv::control {
namespace {

constexpr DWORD kMiscStatus = 131473;  // as registered

Control* Of(IOleObject* iface) { return impl_from<Control>(iface); }

template <typename T>
void Replace(T** slot, T* value) {
  if (value) value->lpVtbl->AddRef(value);
  if (*slot) (*slot)->lpVtbl->Release(*slot);
  *slot = value;
}

// ---- IOleObject ------------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE Ole_SetClientSite(IOleObject* iface, IOleClientSite* site) {
  Replace(&Of(iface)->clientSite, site);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Ole_GetClientSite(IOleObject* iface, IOleClientSite** site) {
  if (!site) return E_POINTER;
  *site = Of(iface)->clientSite;
  if (*site) IOleClientSite_AddRef(*site);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Ole_SetHostNames(IOleObject*, LPCOLESTR, LPCOLESTR) { return S_OK; }

HRESULT STDMETHODCALLTYPE Ole_Close(IOleObject* iface, DWORD saveOption) {
  Control* self = Of(iface);
  InPlaceDeactivate(self);
  if (self->clientSite && self->portable.dirty() &&
      (saveOption == OLECLOSE_SAVEIFDIRTY || saveOption == OLECLOSE_PROMPTSAVE))
    IOleClientSite_SaveObject(self->clientSite);
  if (self->oleAdvise) IOleAdviseHolder_SendOnClose(self->oleAdvise);
  return S_OK;
}

// A control has no moniker, is not made from data and hands out no clipboard object.
HRESULT STDMETHODCALLTYPE Ole_SetMoniker(IOleObject*, DWORD, IMoniker*) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE Ole_GetMoniker(IOleObject*, DWORD, DWORD, IMoniker** moniker) {
  if (moniker) *moniker = nullptr;
  return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE Ole_InitFromData(IOleObject*, IDataObject*, BOOL, DWORD) {
  return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE Ole_GetClipboardData(IOleObject*, DWORD, IDataObject** data) {
  if (data) *data = nullptr;
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE Ole_DoVerb(IOleObject* iface, LONG verb, LPMSG, IOleClientSite* site,
                                     LONG, HWND parent, LPCRECT position) {
  Control* self = Of(iface);
  if (site && !self->clientSite) Replace(&self->clientSite, site);
  switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_UIACTIVATE: return InPlaceActivate(self, true, parent, position);
    case OLEIVERB_INPLACEACTIVATE: return InPlaceActivate(self, false, parent, position);
    case OLEIVERB_HIDE:
      UIDeactivate(self);
      if (HWND window = self->display.window()) ShowWindow(window, SW_HIDE);
      return S_OK;
    case OLEIVERB_OPEN:
    case OLEIVERB_DISCARDUNDOSTATE: return S_OK;
    case OLEIVERB_PROPERTIES:
      return E_NOTIMPL;  // the stock colour page is reached by the container
    default: return verb < 0 ? E_NOTIMPL : OLEOBJ_S_INVALIDVERB;
  }
}

HRESULT STDMETHODCALLTYPE Ole_EnumVerbs(IOleObject*, IEnumOLEVERB** verbs) {
  if (!verbs) return E_POINTER;
  return OleRegEnumVerbs(CLSID_PictavorCtl, verbs);
}

HRESULT STDMETHODCALLTYPE Ole_Update(IOleObject*) { return S_OK; }
HRESULT STDMETHODCALLTYPE Ole_IsUpToDate(IOleObject*) { return S_OK; }

HRESULT STDMETHODCALLTYPE Ole_GetUserClassID(IOleObject*, CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = CLSID_PictavorCtl;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Ole_GetUserType(IOleObject*, DWORD form, LPOLESTR* type) {
  return OleRegGetUserType(CLSID_PictavorCtl, form, type);
}

HRESULT STDMETHODCALLTYPE Ole_SetExtent(IOleObject* iface, DWORD aspect, SIZEL* size) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!size) return E_POINTER;
  Of(iface)->extent = *size;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Ole_GetExtent(IOleObject* iface, DWORD aspect, SIZEL* size) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!size) return E_POINTER;
  *size = Of(iface)->extent;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Ole_Advise(IOleObject* iface, IAdviseSink* sink, DWORD* connection) {
  Control* self = Of(iface);
  if (!self->oleAdvise) {
    const HRESULT hr = CreateOleAdviseHolder(&self->oleAdvise);
    if (FAILED(hr)) return hr;
  }
  return IOleAdviseHolder_Advise(self->oleAdvise, sink, connection);
}

HRESULT STDMETHODCALLTYPE Ole_Unadvise(IOleObject* iface, DWORD connection) {
  Control* self = Of(iface);
  return self->oleAdvise ? IOleAdviseHolder_Unadvise(self->oleAdvise, connection)
                         : OLE_E_NOCONNECTION;
}

HRESULT STDMETHODCALLTYPE Ole_EnumAdvise(IOleObject* iface, IEnumSTATDATA** advise) {
  if (!advise) return E_POINTER;
  *advise = nullptr;
  Control* self = Of(iface);
  return self->oleAdvise ? IOleAdviseHolder_EnumAdvise(self->oleAdvise, advise) : E_FAIL;
}

HRESULT STDMETHODCALLTYPE Ole_GetMiscStatus(IOleObject*, DWORD aspect, DWORD* status) {
  if (!status) return E_POINTER;
  *status = aspect == DVASPECT_CONTENT ? kMiscStatus : 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Ole_SetColorScheme(IOleObject*, LOGPALETTE*) { return E_NOTIMPL; }

// ---- IOleInPlaceObjectWindowless ---------------------------------------------------------

Control* Of(IOleInPlaceObjectWindowless* iface) { return impl_from<Control>(iface); }

HRESULT WindowOf(Control* self, HWND* window) {
  if (!window) return E_POINTER;
  *window = self->display.window();
  return *window ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE InPlace_GetWindow(IOleInPlaceObjectWindowless* iface, HWND* window) {
  return WindowOf(Of(iface), window);
}
HRESULT STDMETHODCALLTYPE InPlace_ContextSensitiveHelp(IOleInPlaceObjectWindowless*, BOOL) {
  return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE InPlace_InPlaceDeactivate(IOleInPlaceObjectWindowless* iface) {
  return InPlaceDeactivate(Of(iface));
}
HRESULT STDMETHODCALLTYPE InPlace_UIDeactivate(IOleInPlaceObjectWindowless* iface) {
  return UIDeactivate(Of(iface));
}

// Clipping to a rectangle smaller than the position is the container's: its window clips
// its children.
HRESULT STDMETHODCALLTYPE InPlace_SetObjectRects(IOleInPlaceObjectWindowless* iface,
                                                 LPCRECT position, LPCRECT) {
  if (!position) return E_POINTER;
  if (HWND window = Of(iface)->display.window())
    SetWindowPos(window, nullptr, position->left, position->top, position->right - position->left,
                 position->bottom - position->top, SWP_NOZORDER | SWP_NOACTIVATE);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE InPlace_ReactivateAndUndo(IOleInPlaceObjectWindowless*) {
  return E_NOTIMPL;
}

// Never windowless: the container sends messages to the window itself.
HRESULT STDMETHODCALLTYPE InPlace_OnWindowMessage(IOleInPlaceObjectWindowless*, UINT, WPARAM,
                                                  LPARAM, LRESULT*) {
  return S_FALSE;
}
HRESULT STDMETHODCALLTYPE InPlace_GetDropTarget(IOleInPlaceObjectWindowless*,
                                                IDropTarget** target) {
  if (target) *target = nullptr;
  return E_NOTIMPL;
}

// ---- IOleInPlaceActiveObject: no accelerators, no border tools -----------------------------

HRESULT STDMETHODCALLTYPE Active_GetWindow(IOleInPlaceActiveObject* iface, HWND* window) {
  return WindowOf(impl_from<Control>(iface), window);
}
HRESULT STDMETHODCALLTYPE Active_ContextSensitiveHelp(IOleInPlaceActiveObject*, BOOL) {
  return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE Active_TranslateAccelerator(IOleInPlaceActiveObject*, LPMSG) {
  return S_FALSE;
}
HRESULT STDMETHODCALLTYPE Active_OnFrameWindowActivate(IOleInPlaceActiveObject*, BOOL) {
  return S_OK;
}
HRESULT STDMETHODCALLTYPE Active_OnDocWindowActivate(IOleInPlaceActiveObject*, BOOL) {
  return S_OK;
}
HRESULT STDMETHODCALLTYPE Active_ResizeBorder(IOleInPlaceActiveObject*, LPCRECT,
                                              IOleInPlaceUIWindow*, BOOL) {
  return S_OK;
}
HRESULT STDMETHODCALLTYPE Active_EnableModeless(IOleInPlaceActiveObject*, BOOL) { return S_OK; }

// ---- IOleControl: no mnemonics; ambient properties are not read --------------------------

HRESULT STDMETHODCALLTYPE Control_GetControlInfo(IOleControl*, CONTROLINFO* info) {
  if (!info) return E_POINTER;
  if (info->cb != sizeof *info) return E_INVALIDARG;
  info->hAccel = nullptr;
  info->cAccel = 0;
  info->dwFlags = 0;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE Control_OnMnemonic(IOleControl*, LPMSG) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE Control_OnAmbientPropertyChange(IOleControl*, DISPID) { return S_OK; }
HRESULT STDMETHODCALLTYPE Control_FreezeEvents(IOleControl* iface, BOOL freeze) {
  Control* self = impl_from<Control>(iface);
  if (freeze)
    ++self->freezeCount;
  else if (self->freezeCount > 0)
    --self->freezeCount;
  return S_OK;
}

// Tells the frame and the document window which object is active (null: none).
void AnnounceActive(Control* self, IOleInPlaceActiveObject* active) {
  IOleInPlaceFrame* frame = nullptr;
  IOleInPlaceUIWindow* document = nullptr;
  RECT position, clip;
  OLEINPLACEFRAMEINFO frameInfo{};
  frameInfo.cb = sizeof frameInfo;
  if (FAILED(IOleInPlaceSite_GetWindowContext(self->inPlaceSite, &frame, &document, &position,
                                              &clip, &frameInfo)))
    return;
  if (frame) {
    IOleInPlaceFrame_SetActiveObject(frame, active, nullptr);
    IOleInPlaceFrame_Release(frame);
  }
  if (document) {
    IOleInPlaceUIWindow_SetActiveObject(document, active, nullptr);
    IOleInPlaceUIWindow_Release(document);
  }
}

// Asks the site for leave and for where to show the window; creates it there.
HRESULT ActivateWindow(Control* self, HWND parent, const RECT* position) {
  IOleInPlaceSite* site = nullptr;
  HRESULT hr = IOleClientSite_QueryInterface(self->clientSite, IID_IOleInPlaceSite,
                                             reinterpret_cast<void**>(&site));
  if (FAILED(hr)) return hr;
  if (IOleInPlaceSite_CanInPlaceActivate(site) != S_OK) {
    IOleInPlaceSite_Release(site);
    return E_FAIL;
  }
  IOleInPlaceSite_OnInPlaceActivate(site);
  self->inPlaceSite = site;
  RECT where = position ? *position : RECT{};
  IOleInPlaceFrame* frame = nullptr;
  IOleInPlaceUIWindow* document = nullptr;
  RECT clip;
  OLEINPLACEFRAMEINFO frameInfo{};
  frameInfo.cb = sizeof frameInfo;
  if (SUCCEEDED(
          IOleInPlaceSite_GetWindowContext(site, &frame, &document, &where, &clip, &frameInfo))) {
    if (frame) IOleInPlaceFrame_Release(frame);
    if (document) IOleInPlaceUIWindow_Release(document);
  }
  if (HWND siteWindow = nullptr;
      SUCCEEDED(IOleInPlaceSite_GetWindow(site, &siteWindow)) && siteWindow)
    parent = siteWindow;
  if (!CreateControlWindow(self, parent, where)) {
    InPlaceDeactivate(self);
    return E_FAIL;
  }
  return S_OK;
}

}  // namespace

HRESULT InPlaceActivate(Control* self, bool uiActivate, HWND parent, const RECT* position) {
  if (!self->clientSite) return E_UNEXPECTED;
  if (!self->inPlaceSite) {
    const HRESULT hr = ActivateWindow(self, parent, position);
    if (FAILED(hr)) return hr;
  }
  HWND window = self->display.window();
  ShowWindow(window, SW_SHOW);
  if (!uiActivate || self->uiActive) return S_OK;
  self->uiActive = true;
  IOleInPlaceSite_OnUIActivate(self->inPlaceSite);
  SetFocus(window);
  AnnounceActive(self, &self->inPlaceActiveObject.iface);
  return S_OK;
}

HRESULT UIDeactivate(Control* self) {
  if (!self->uiActive) return S_OK;
  self->uiActive = false;
  AnnounceActive(self, nullptr);
  IOleInPlaceSite_OnUIDeactivate(self->inPlaceSite, FALSE);
  return S_OK;
}

HRESULT InPlaceDeactivate(Control* self) {
  if (!self->inPlaceSite) return S_OK;
  UIDeactivate(self);
  if (HWND window = self->display.window()) DestroyWindow(window);
  IOleInPlaceSite* site = self->inPlaceSite;
  self->inPlaceSite = nullptr;
  IOleInPlaceSite_OnInPlaceDeactivate(site);
  IOleInPlaceSite_Release(site);
  return S_OK;
}

const IOleObjectVtbl kOleObjectVtbl = {
    PV_UNKNOWN(IOleObject),
    Ole_SetClientSite,
    Ole_GetClientSite,
    Ole_SetHostNames,
    Ole_Close,
    Ole_SetMoniker,
    Ole_GetMoniker,
    Ole_InitFromData,
    Ole_GetClipboardData,
    Ole_DoVerb,
    Ole_EnumVerbs,
    Ole_Update,
    Ole_IsUpToDate,
    Ole_GetUserClassID,
    Ole_GetUserType,
    Ole_SetExtent,
    Ole_GetExtent,
    Ole_Advise,
    Ole_Unadvise,
    Ole_EnumAdvise,
    Ole_GetMiscStatus,
    Ole_SetColorScheme,
};

const IOleInPlaceObjectWindowlessVtbl kInPlaceObjectVtbl = {
    PV_UNKNOWN(IOleInPlaceObjectWindowless),
    InPlace_GetWindow,
    InPlace_ContextSensitiveHelp,
    InPlace_InPlaceDeactivate,
    InPlace_UIDeactivate,
    InPlace_SetObjectRects,
    InPlace_ReactivateAndUndo,
    InPlace_OnWindowMessage,
    InPlace_GetDropTarget,
};

const IOleInPlaceActiveObjectVtbl kInPlaceActiveObjectVtbl = {
    PV_UNKNOWN(IOleInPlaceActiveObject),
    Active_GetWindow,
    Active_ContextSensitiveHelp,
    Active_TranslateAccelerator,
    Active_OnFrameWindowActivate,
    Active_OnDocWindowActivate,
    Active_ResizeBorder,
    Active_EnableModeless,
};

const IOleControlVtbl kOleControlVtbl = {
    PV_UNKNOWN(IOleControl),         Control_GetControlInfo, Control_OnMnemonic,
    Control_OnAmbientPropertyChange, Control_FreezeEvents,
};

}  // namespace pv::control
