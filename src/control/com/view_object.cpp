// The view and the quick-activation path: IViewObject(2, Ex), IQuickActivate,
// ISpecifyPropertyPages and IDataObject. The control draws itself the same way into any device
// context; it offers no data formats of its own, only the advise connections a container
// may set up.
#include "control/com/control.h"

namespace pv::control {
namespace {

Control* Of(IViewObjectEx* iface) { return impl_from<Control>(iface); }

// ---- IViewObject, IViewObject2, IViewObjectEx -----------------------------------------------

// Draws the current view into `bounds`: what the window shows, for containers that print or
// render inactive controls.
HRESULT STDMETHODCALLTYPE View_Draw(IViewObjectEx* iface, DWORD aspect, LONG, void*,
                                    DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds, LPCRECTL,
                                    BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!dc || !bounds) return E_INVALIDARG;
  Control* self = Of(iface);
  self->portable.RefreshBackground();
  const RECT rect{bounds->left, bounds->top, bounds->right, bounds->bottom};
  self->display.PaintInto(dc, rect, self->portable.document().View());
  return S_OK;
}

HRESULT STDMETHODCALLTYPE View_GetColorSet(IViewObjectEx*, DWORD, LONG, void*, DVTARGETDEVICE*, HDC,
                                           LOGPALETTE** colors) {
  if (colors) *colors = nullptr;
  return E_NOTIMPL;  // no palette: the halftone stretch maps the colours
}
HRESULT STDMETHODCALLTYPE View_Freeze(IViewObjectEx*, DWORD, LONG, void*, DWORD*) {
  return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE View_Unfreeze(IViewObjectEx*, DWORD) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE View_SetAdvise(IViewObjectEx* iface, DWORD aspect, DWORD flags,
                                         IAdviseSink* sink) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  Control* self = Of(iface);
  if (sink) IAdviseSink_AddRef(sink);
  if (self->viewSink) IAdviseSink_Release(self->viewSink);
  self->viewSink = sink;
  self->viewSinkFlags = flags;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE View_GetAdvise(IViewObjectEx* iface, DWORD* aspect, DWORD* flags,
                                         IAdviseSink** sink) {
  Control* self = Of(iface);
  if (aspect) *aspect = DVASPECT_CONTENT;
  if (flags) *flags = self->viewSinkFlags;
  if (sink) {
    *sink = self->viewSink;
    if (*sink) IAdviseSink_AddRef(*sink);
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE View_GetExtent(IViewObjectEx* iface, DWORD aspect, LONG, DVTARGETDEVICE*,
                                         LPSIZEL size) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!size) return E_POINTER;
  *size = Of(iface)->extent;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE View_GetRect(IViewObjectEx*, DWORD, LPRECTL) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE View_GetViewStatus(IViewObjectEx*, DWORD* status) {
  if (!status) return E_POINTER;
  *status = VIEWSTATUS_OPAQUE | VIEWSTATUS_SOLIDBKGND;  // every paint covers the whole area
  return S_OK;
}

HRESULT STDMETHODCALLTYPE View_QueryHitPoint(IViewObjectEx*, DWORD aspect, LPCRECT bounds,
                                             POINT point, LONG, DWORD* result) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!bounds || !result) return E_POINTER;
  *result = PtInRect(bounds, point) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE View_QueryHitRect(IViewObjectEx*, DWORD aspect, LPCRECT bounds,
                                            LPCRECT rect, LONG, DWORD* result) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!bounds || !rect || !result) return E_POINTER;
  RECT common;
  *result = IntersectRect(&common, bounds, rect) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE View_GetNaturalExtent(IViewObjectEx*, DWORD, LONG, DVTARGETDEVICE*, HDC,
                                                DVEXTENTINFO*, LPSIZEL) {
  return E_NOTIMPL;  // any extent the container gives is drawn
}

// ---- IQuickActivate ----------------------------------------------------------------------

// Connects a sink to one of the object's connection points; 0 when it does not connect.
DWORD Connect(ConnectionPoint& point, IUnknown* sink) {
  DWORD cookie = 0;
  if (sink && FAILED(IConnectionPoint_Advise(point.iface(), sink, &cookie))) cookie = 0;
  return cookie;
}

HRESULT STDMETHODCALLTYPE Quick_QuickActivate(IQuickActivate* iface, QACONTAINER* container,
                                              QACONTROL* control) {
  if (!container || !control) return E_POINTER;
  if (container->cbSize < sizeof(QACONTAINER) || control->cbSize < sizeof(QACONTROL))
    return E_INVALIDARG;
  Control* self = impl_from<Control>(iface);
  IOleObject_SetClientSite(&self->oleObject.iface, container->pClientSite);
  if (container->pAdviseSink)
    View_SetAdvise(&self->viewObject.iface, DVASPECT_CONTENT, 0,
                   reinterpret_cast<IAdviseSink*>(container->pAdviseSink));
  control->dwMiscStatus = 131473;
  control->dwViewStatus = VIEWSTATUS_OPAQUE | VIEWSTATUS_SOLIDBKGND;
  control->dwEventCookie = Connect(self->events, container->pUnkEventSink);
  control->dwPropNotifyCookie =
      Connect(self->propertyNotify, reinterpret_cast<IUnknown*>(container->pPropertyNotifySink));
  control->dwPointerActivationPolicy = 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Quick_SetContentExtent(IQuickActivate* iface, LPSIZEL size) {
  if (!size) return E_POINTER;
  impl_from<Control>(iface)->extent = *size;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Quick_GetContentExtent(IQuickActivate* iface, LPSIZEL size) {
  if (!size) return E_POINTER;
  *size = impl_from<Control>(iface)->extent;
  return S_OK;
}

// ---- ISpecifyPropertyPages: the stock colour page, for BackColor --------------------------

// The platform's stock colour property page.
constexpr GUID kStockColorPage = {
    0x7ebdaae1, 0x8120, 0x11cf, {0x89, 0x9f, 0x00, 0xaa, 0x00, 0x68, 0x8b, 0x10}};

HRESULT STDMETHODCALLTYPE Pages_GetPages(ISpecifyPropertyPages*, CAUUID* pages) {
  if (!pages) return E_POINTER;
  pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID)));
  if (!pages->pElems) {
    pages->cElems = 0;
    return E_OUTOFMEMORY;
  }
  pages->cElems = 1;
  pages->pElems[0] = kStockColorPage;
  return S_OK;
}

// ---- IDataObject: data advise connections only ----------------------------------------------

Control* Of(IDataObject* iface) { return impl_from<Control>(iface); }

HRESULT STDMETHODCALLTYPE Data_GetData(IDataObject*, FORMATETC*, STGMEDIUM*) {
  return DV_E_FORMATETC;
}
HRESULT STDMETHODCALLTYPE Data_GetDataHere(IDataObject*, FORMATETC*, STGMEDIUM*) {
  return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE Data_QueryGetData(IDataObject*, FORMATETC*) { return DV_E_FORMATETC; }
HRESULT STDMETHODCALLTYPE Data_GetCanonicalFormatEtc(IDataObject*, FORMATETC*, FORMATETC* out) {
  if (out) out->ptd = nullptr;
  return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE Data_SetData(IDataObject*, FORMATETC*, STGMEDIUM*, BOOL) {
  return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE Data_EnumFormatEtc(IDataObject*, DWORD, IEnumFORMATETC** formats) {
  if (formats) *formats = nullptr;
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE Data_DAdvise(IDataObject* iface, FORMATETC* format, DWORD flags,
                                       IAdviseSink* sink, DWORD* connection) {
  Control* self = Of(iface);
  if (!self->dataAdvise) {
    const HRESULT hr = CreateDataAdviseHolder(&self->dataAdvise);
    if (FAILED(hr)) return hr;
  }
  return IDataAdviseHolder_Advise(self->dataAdvise, iface, format, flags, sink, connection);
}

HRESULT STDMETHODCALLTYPE Data_DUnadvise(IDataObject* iface, DWORD connection) {
  Control* self = Of(iface);
  return self->dataAdvise ? IDataAdviseHolder_Unadvise(self->dataAdvise, connection)
                          : OLE_E_NOCONNECTION;
}

HRESULT STDMETHODCALLTYPE Data_EnumDAdvise(IDataObject* iface, IEnumSTATDATA** advise) {
  if (!advise) return E_POINTER;
  *advise = nullptr;
  Control* self = Of(iface);
  return self->dataAdvise ? IDataAdviseHolder_EnumAdvise(self->dataAdvise, advise)
                          : OLE_E_ADVISENOTSUPPORTED;
}

}  // namespace

const IViewObjectExVtbl kViewObjectVtbl = {
    PV_UNKNOWN(IViewObjectEx),
    View_Draw,
    View_GetColorSet,
    View_Freeze,
    View_Unfreeze,
    View_SetAdvise,
    View_GetAdvise,
    View_GetExtent,
    View_GetRect,
    View_GetViewStatus,
    View_QueryHitPoint,
    View_QueryHitRect,
    View_GetNaturalExtent,
};

const IQuickActivateVtbl kQuickActivateVtbl = {
    PV_UNKNOWN(IQuickActivate),
    Quick_QuickActivate,
    Quick_SetContentExtent,
    Quick_GetContentExtent,
};

const ISpecifyPropertyPagesVtbl kPropertyPagesVtbl = {PV_UNKNOWN(ISpecifyPropertyPages),
                                                      Pages_GetPages};

const IDataObjectVtbl kDataObjectVtbl = {
    PV_UNKNOWN(IDataObject),
    Data_GetData,
    Data_GetDataHere,
    Data_QueryGetData,
    Data_GetCanonicalFormatEtc,
    Data_SetData,
    Data_EnumFormatEtc,
    Data_DAdvise,
    Data_DUnadvise,
    Data_EnumDAdvise,
};

}  // namespace pv::control
