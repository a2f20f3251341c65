#include "control/com/control_object.h"

#include <cstddef>
#include <new>

#include "control/com/control.h"
#include "control/com/member_route.h"
#include "control/com/module.h"
#include "control/com/script_arguments.h"

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
  portable.set_dialogs(&dialogs);
  LockModule();
}

Control::~Control() {
  if (HWND window = display.window()) DestroyWindow(window);
  for (IUnknown* held :
       {reinterpret_cast<IUnknown*>(inPlaceSite), reinterpret_cast<IUnknown*>(clientSite),
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
  for (IUnknown* sink : self->propertyNotify.Connected())
    if (IPropertyNotifySink_OnRequestEdit(reinterpret_cast<IPropertyNotifySink*>(sink), dispid) ==
        S_FALSE)
      return false;
  return true;
}

void NotifyChanged(Control* self, DISPID dispid) {
  for (IUnknown* sink : self->propertyNotify.Connected())
    IPropertyNotifySink_OnChanged(reinterpret_cast<IPropertyNotifySink*>(sink), dispid);
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

HRESULT STDMETHODCALLTYPE Ctl_GetIDsOfNames(IPictavorCtl*, REFIID riid, LPOLESTR* names, UINT count,
                                            LCID, DISPID* ids) {
  if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  ITypeInfo* info = nullptr;
  HRESULT hr = GetInterfaceTypeInfo(&info);
  if (FAILED(hr)) return hr;
  hr = DispGetIDsOfNames(info, names, count, ids);
  ITypeInfo_Release(info);
  return hr;
}

// The type library calls the vtable slot of the member, which leads to its row.
HRESULT STDMETHODCALLTYPE Ctl_Invoke(IPictavorCtl* iface, DISPID member, REFIID riid, LCID,
                                     WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT* argumentError) {
  if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  if (!params) return E_INVALIDARG;
  ITypeInfo* info = nullptr;
  HRESULT hr = GetInterfaceTypeInfo(&info);
  if (FAILED(hr)) return hr;
  try {
    ScriptArguments arguments(info, member, flags, *params);
    hr = ITypeInfo_Invoke(info, iface, member, flags, arguments.params(), result, exception,
                          argumentError);
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

HRESULT STDMETHODCALLTYPE Points_EnumConnectionPoints(IConnectionPointContainer*,
                                                      IEnumConnectionPoints** points) {
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
#include "slot_routes.inc"
};

const ISupportErrorInfoVtbl kErrorInfoVtbl = {
    Unknown_QueryInterface<ISupportErrorInfo>,
    Unknown_AddRef<ISupportErrorInfo>,
    Unknown_Release<ISupportErrorInfo>,
    ErrorInfo_InterfaceSupportsErrorInfo,
};

const IProvideClassInfo2Vtbl kClassInfoVtbl = {
    Unknown_QueryInterface<IProvideClassInfo2>,
    Unknown_AddRef<IProvideClassInfo2>,
    Unknown_Release<IProvideClassInfo2>,
    ClassInfo_GetClassInfo,
    ClassInfo_GetGUID,
};

const IConnectionPointContainerVtbl kPointsVtbl = {
    Unknown_QueryInterface<IConnectionPointContainer>,
    Unknown_AddRef<IConnectionPointContainer>,
    Unknown_Release<IConnectionPointContainer>,
    Points_EnumConnectionPoints,
    Points_FindConnectionPoint,
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
