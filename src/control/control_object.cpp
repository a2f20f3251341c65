#include "control/control_object.h"

#include <cstddef>
#include <new>

#include "control/control.h"
#include "control/member_route.h"
#include "control/module.h"
#include "control/script_arguments.h"

namespace pv::control {

Control::Control()
    : ctl{{&kCtlVtbl}, this},
      errorInfo{{&kErrorInfoVtbl}, this},
      classInfo{{&kClassInfoVtbl}, this},
      points{{&kPointsVtbl}, this},
      oleObject{{&kOleObjectVtbl}, this},
      inPlaceObject{{&kInPlaceObjectVtbl}, this},
      inPlaceActiveObject{{&kInPlaceActiveObjectVtbl}, this},
      oleControl{{&kOleControlVtbl}, this},
      viewObject{{&kViewObjectVtbl}, this},
      persistStream{{&kPersistStreamVtbl}, this},
      persistStorage{{&kPersistStorageVtbl}, this},
      persistBag{{&kPersistBagVtbl}, this},
      quickActivate{{&kQuickActivateVtbl}, this},
      propertyPages{{&kPropertyPagesVtbl}, this},
      dataObject{{&kDataObjectVtbl}, this} {
  LockModule();
}

Control::~Control() {
  if (HWND window = display.window()) DestroyWindow(window);
  for (IUnknown* held : {reinterpret_cast<IUnknown*>(inPlaceSite), reinterpret_cast<IUnknown*>(clientSite),
                         reinterpret_cast<IUnknown*>(oleAdvise), reinterpret_cast<IUnknown*>(dataAdvise),
                         reinterpret_cast<IUnknown*>(viewSink)})
    if (held) IUnknown_Release(held);
  UnlockModule();
}

// ---- IUnknown, shared by every interface of the object ----------------------------------

namespace {

// The interface table of each IID the object answers, in the order they are asked for most.
void* InterfaceFor(Control* self, REFIID riid) {
  const struct {
    const IID& iid;
    void* iface;
  } answers[] = {
      {IID_IPictavorCtl, &self->ctl.iface},
      {IID_IDispatch, &self->ctl.iface},
      {IID_IViewObjectEx, &self->viewObject.iface},
      {IID_IViewObject2, &self->viewObject.iface},
      {IID_IViewObject, &self->viewObject.iface},
      {IID_IOleInPlaceObjectWindowless, &self->inPlaceObject.iface},
      {IID_IOleInPlaceObject, &self->inPlaceObject.iface},
      {IID_IOleWindow, &self->inPlaceObject.iface},
      {IID_IOleInPlaceActiveObject, &self->inPlaceActiveObject.iface},
      {IID_IOleControl, &self->oleControl.iface},
      {IID_IOleObject, &self->oleObject.iface},
      {IID_IPersistStreamInit, &self->persistStream.iface},
      {IID_IPersist, &self->persistStream.iface},
      {IID_ISupportErrorInfo, &self->errorInfo.iface},
      {IID_IConnectionPointContainer, &self->points.iface},
      {IID_ISpecifyPropertyPages, &self->propertyPages.iface},
      {IID_IQuickActivate, &self->quickActivate.iface},
      {IID_IPersistStorage, &self->persistStorage.iface},
      {IID_IDataObject, &self->dataObject.iface},
      {IID_IProvideClassInfo, &self->classInfo.iface},
      {IID_IProvideClassInfo2, &self->classInfo.iface},
      {IID_IPersistPropertyBag, &self->persistBag.iface},
      {IID_IUnknown, &self->ctl.iface},
  };
  for (const auto& answer : answers)
    if (IsEqualIID(riid, answer.iid)) return answer.iface;
  return nullptr;
}

}  // namespace

HRESULT QueryControl(Control* self, REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = InterfaceFor(self, riid);
  if (!*ppv) return E_NOINTERFACE;
  AddRefControl(self);
  return S_OK;
}

ULONG AddRefControl(Control* self) { return static_cast<ULONG>(InterlockedIncrement(&self->ref)); }

ULONG ReleaseControl(Control* self) {
  const LONG ref = InterlockedDecrement(&self->ref);
  if (ref == 0) delete self;
  return static_cast<ULONG>(ref);
}

// ---- property notification -------------------------------------------------------------

bool RequestEdit(Control* self, DISPID dispid) {
  for (IUnknown* sink : self->propertyNotify.sinks())
    if (sink && IPropertyNotifySink_OnRequestEdit(reinterpret_cast<IPropertyNotifySink*>(sink), dispid) == S_FALSE)
      return false;
  return true;
}

void NotifyChanged(Control* self, DISPID dispid) {
  for (IUnknown* sink : self->propertyNotify.sinks())
    if (sink) IPropertyNotifySink_OnChanged(reinterpret_cast<IPropertyNotifySink*>(sink), dispid);
}

namespace {

// ---- IDispatch, through the type library ------------------------------------------------

HRESULT STDMETHODCALLTYPE Ctl_GetTypeInfoCount(IPictavorCtl*, UINT* count) {
  if (!count) return E_POINTER;
  *count = 1;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Ctl_GetTypeInfo(IPictavorCtl*, UINT index, LCID, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  return GetTypeInfoOf(IID_IPictavorCtl, info);
}

HRESULT STDMETHODCALLTYPE Ctl_GetIDsOfNames(IPictavorCtl*, REFIID riid, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) {
  if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  ITypeInfo* info = nullptr;
  HRESULT hr = GetInterfaceTypeInfo(&info);
  if (FAILED(hr)) return hr;
  hr = DispGetIDsOfNames(info, names, count, ids);
  ITypeInfo_Release(info);
  return hr;
}

// The type library calls the vtable slot of the member, which leads to its row.
HRESULT STDMETHODCALLTYPE Ctl_Invoke(IPictavorCtl* iface, DISPID member, REFIID riid, LCID, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) {
  if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  if (!params) return E_INVALIDARG;
  ITypeInfo* info = nullptr;
  HRESULT hr = GetInterfaceTypeInfo(&info);
  if (FAILED(hr)) return hr;
  try {
    ScriptArguments arguments(info, member, flags, *params);
    hr = ITypeInfo_Invoke(info, iface, member, flags, arguments.params(), result, exception, argumentError);
    if (SUCCEEDED(hr)) arguments.WriteBack();
  } catch (const std::bad_alloc&) {
    hr = E_OUTOFMEMORY;
  }
  ITypeInfo_Release(info);
  return hr;
}


// ---- ISupportErrorInfo ------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE ErrorInfo_InterfaceSupportsErrorInfo(ISupportErrorInfo*, REFIID riid) {
  return IsEqualIID(riid, IID_IPictavorCtl) ? S_OK : S_FALSE;
}


// ---- IProvideClassInfo2 -----------------------------------------------------------------

HRESULT STDMETHODCALLTYPE ClassInfo_GetClassInfo(IProvideClassInfo2*, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  return GetTypeInfoOf(CLSID_PictavorCtl, info);
}

HRESULT STDMETHODCALLTYPE ClassInfo_GetGUID(IProvideClassInfo2*, DWORD kind, GUID* guid) {
  if (!guid) return E_POINTER;
  *guid = GUID_NULL;
  if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
  *guid = DIID__IPictavorCtlEvents;
  return S_OK;
}


// ---- IConnectionPointContainer ----------------------------------------------------------

HRESULT STDMETHODCALLTYPE Points_EnumConnectionPoints(IConnectionPointContainer*, IEnumConnectionPoints** points) {
  if (points) *points = nullptr;
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE Points_FindConnectionPoint(IConnectionPointContainer* iface, REFIID riid,
                                                     IConnectionPoint** point) {
  if (!point) return E_POINTER;
  *point = nullptr;
  Control* self = impl_from<Control>(iface);
  for (ConnectionPoint* candidate : {&self->events, &self->propertyNotify}) {
    if (!candidate->Serves(riid)) continue;
    *point = candidate->iface();
    IConnectionPoint_AddRef(*point);
    return S_OK;
  }
  return CONNECT_E_NOCONNECTION;
}


}  // namespace

const IPictavorCtlVtbl kCtlVtbl = {
    .QueryInterface = Unknown_QueryInterface<IPictavorCtl>,
    .AddRef = Unknown_AddRef<IPictavorCtl>,
    .Release = Unknown_Release<IPictavorCtl>,
    .GetTypeInfoCount = Ctl_GetTypeInfoCount,
    .GetTypeInfo = Ctl_GetTypeInfo,
    .GetIDsOfNames = Ctl_GetIDsOfNames,
    .Invoke = Ctl_Invoke,
    PV_ROUTE(put_BackColor), PV_ROUTE(get_BackColor), PV_ROUTE(get_AutoRepaint),
    PV_ROUTE(put_AutoRepaint), PV_ROUTE(get_AutoScroll), PV_ROUTE(put_AutoScroll),
    PV_ROUTE(get_PaintSizeMode), PV_ROUTE(put_PaintSizeMode), PV_ROUTE(get_DrawPenColor),
    PV_ROUTE(put_DrawPenColor), PV_ROUTE(get_DrawPenStyle), PV_ROUTE(put_DrawPenStyle),
    PV_ROUTE(get_DrawPenWidth), PV_ROUTE(put_DrawPenWidth), PV_ROUTE(get_DrawFillColor),
    PV_ROUTE(put_DrawFillColor), PV_ROUTE(get_DrawFillStyle), PV_ROUTE(put_DrawFillStyle),
    PV_ROUTE(get_DrawFontColor), PV_ROUTE(put_DrawFontColor), PV_ROUTE(Load), PV_ROUTE(Save),
    PV_ROUTE(Copy), PV_ROUTE(Paste), PV_ROUTE(SetDIB), PV_ROUTE(GetDIB), PV_ROUTE(LoadMemory),
    PV_ROUTE(SaveMemory), PV_ROUTE(Grayscale), PV_ROUTE(Trim), PV_ROUTE(Mosaic), PV_ROUTE(ColorRes),
    PV_ROUTE(DrawRectangle), PV_ROUTE(Monochrome), PV_ROUTE(LoadRawData), PV_ROUTE(SaveRawData),
    PV_ROUTE(GetImageData), PV_ROUTE(SetBITMAP), PV_ROUTE(GetBITMAP), PV_ROUTE(GetWidth),
    PV_ROUTE(GetHeight), PV_ROUTE(GetSize), PV_ROUTE(GetBitmapBits), PV_ROUTE(GetPaletteSize),
    PV_ROUTE(GetBitmapInfo), PV_ROUTE(SetSize), PV_ROUTE(Rotate), PV_ROUTE(TurnOver),
    PV_ROUTE(GetHistogram), PV_ROUTE(DispHistogram), PV_ROUTE(OperateMonochrome), PV_ROUTE(SobelFilter),
    PV_ROUTE(RobinsonFilter), PV_ROUTE(SetImageScale), PV_ROUTE(AccentForHistogram), PV_ROUTE(Smooth),
    PV_ROUTE(GetMonochromeThresh), PV_ROUTE(SetDispScale), PV_ROUTE(DrawText), PV_ROUTE(SetFontName),
    PV_ROUTE(SetFontInfo), PV_ROUTE(DrawLine), PV_ROUTE(DrawEllipse), PV_ROUTE(GetPalette),
    PV_ROUTE(SetPalette), PV_ROUTE(GetClientDC), PV_ROUTE(ReleaseClientDC), PV_ROUTE(ForceRepaint),
    PV_ROUTE(ClearDrawData), PV_ROUTE(CommitDrawData), PV_ROUTE(UndoDrawData), PV_ROUTE(ShowImageMenu),
    PV_ROUTE(get_DropFiles), PV_ROUTE(put_DropFiles), PV_ROUTE(GetDispScale),
    PV_ROUTE(ClientToDIBPosition), PV_ROUTE(GetProfile), PV_ROUTE(DispProfile),
    PV_ROUTE(RemoveAlonePoint), PV_ROUTE(Labeling), PV_ROUTE(SamplingOutline), PV_ROUTE(Expansion),
    PV_ROUTE(Contraction), PV_ROUTE(LaplacianFilter), PV_ROUTE(SmoothAsMaxDensity),
    PV_ROUTE(SmoothAsMinDensity), PV_ROUTE(Contrast), PV_ROUTE(Gamma), PV_ROUTE(RGBGamma),
    PV_ROUTE(get_PreDropFiles), PV_ROUTE(put_PreDropFiles), PV_ROUTE(GetRGBHistogram),
    PV_ROUTE(get_ContrastLow), PV_ROUTE(put_ContrastLow), PV_ROUTE(get_ContrastHi),
    PV_ROUTE(put_ContrastHi), PV_ROUTE(get_DrawType), PV_ROUTE(put_DrawType), PV_ROUTE(get_WndWidth),
    PV_ROUTE(put_WndWidth), PV_ROUTE(get_WndHeight), PV_ROUTE(put_WndHeight), PV_ROUTE(DispLogDialog),
    PV_ROUTE(LoadLog), PV_ROUTE(SaveLog), PV_ROUTE(DeleteLog), PV_ROUTE(StartLog), PV_ROUTE(StopLog),
    PV_ROUTE(RemoveLog), PV_ROUTE(ExecuteLog), PV_ROUTE(SaveLogText), PV_ROUTE(DispImageInfo),
    PV_ROUTE(OperateRotate), PV_ROUTE(OperateTrim), PV_ROUTE(OperateSetSize),
    PV_ROUTE(OperateSetImageScale), PV_ROUTE(OperateSetPalette), PV_ROUTE(OperateMosaic),
    PV_ROUTE(OperateGamma), PV_ROUTE(OperateContrast), PV_ROUTE(OperateLoad), PV_ROUTE(OperateSave),
    PV_ROUTE(OperateLoadLog), PV_ROUTE(OperateSaveLog), PV_ROUTE(OperateSaveLogText),
    PV_ROUTE(GetPluginNumber), PV_ROUTE(GetPluginList), PV_ROUTE(SetPluginEnable),
    PV_ROUTE(GetPluginEnable), PV_ROUTE(ExecutePlugin), PV_ROUTE(GetImageScrollRange),
    PV_ROUTE(get_PaintScaleMode), PV_ROUTE(put_PaintScaleMode), PV_ROUTE(SetCursorOfArrow),
    PV_ROUTE(SetCursorOfCross), PV_ROUTE(SetCursorOfWait), PV_ROUTE(GetCursorID), PV_ROUTE(SetCursorID),
    PV_ROUTE(get_EnableMenu), PV_ROUTE(put_EnableMenu),
};

const ISupportErrorInfoVtbl kErrorInfoVtbl = {
    Unknown_QueryInterface<ISupportErrorInfo>, Unknown_AddRef<ISupportErrorInfo>,
    Unknown_Release<ISupportErrorInfo>, ErrorInfo_InterfaceSupportsErrorInfo,
};

const IProvideClassInfo2Vtbl kClassInfoVtbl = {
    Unknown_QueryInterface<IProvideClassInfo2>, Unknown_AddRef<IProvideClassInfo2>,
    Unknown_Release<IProvideClassInfo2>, ClassInfo_GetClassInfo, ClassInfo_GetGUID,
};

const IConnectionPointContainerVtbl kPointsVtbl = {
    Unknown_QueryInterface<IConnectionPointContainer>, Unknown_AddRef<IConnectionPointContainer>,
    Unknown_Release<IConnectionPointContainer>, Points_EnumConnectionPoints, Points_FindConnectionPoint,
};

PortableControl& PortableOf(IPictavorCtl* iface) { return impl_from<Control>(iface)->portable; }

HRESULT CreateControl(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  Control* control = nullptr;
  try {
    control = new Control;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
  const HRESULT hr = QueryControl(control, riid, ppv);
  ReleaseControl(control);
  return hr;
}

}  // namespace pv::control
