// PictavorCtl's object: every interface it answers, its embedding state and the portable
// control it wraps. Each group of interfaces fills its tables in its own file.
#pragma once

#include "automation/portable_control.h"
#include "control/com/com.h"
#include "control/com/connection_point.h"
#include "control/dialogs/window_dialogs.h"
#include "control/window/gdi_display.h"
#include "control/window/log_window.h"
#include "plugins/plugin_host.h"

namespace pv::control {

struct Control;

extern const IPictavorCtlVtbl kCtlVtbl;
extern const ISupportErrorInfoVtbl kErrorInfoVtbl;
extern const IProvideClassInfo2Vtbl kClassInfoVtbl;
extern const IConnectionPointContainerVtbl kPointsVtbl;
extern const IOleObjectVtbl kOleObjectVtbl;
extern const IOleInPlaceObjectWindowlessVtbl kInPlaceObjectVtbl;
extern const IOleInPlaceActiveObjectVtbl kInPlaceActiveObjectVtbl;
extern const IOleControlVtbl kOleControlVtbl;
extern const IViewObjectExVtbl kViewObjectVtbl;
extern const IPersistStreamInitVtbl kPersistStreamVtbl;
extern const IPersistStorageVtbl kPersistStorageVtbl;
extern const IPersistPropertyBagVtbl kPersistBagVtbl;
extern const IQuickActivateVtbl kQuickActivateVtbl;
extern const ISpecifyPropertyPagesVtbl kPropertyPagesVtbl;
extern const IDataObjectVtbl kDataObjectVtbl;

// The size a new control reports before a container sets one: two inches square, in HIMETRIC.
constexpr LONG kDefaultExtent = 5080;

struct Control {
  Control();
  ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  // IPictavorCtl is the primary table: its pointer is the object's identity, which the flat
  // exports rely on.
  Iface<IPictavorCtl, Control> ctl;
  Iface<ISupportErrorInfo, Control> errorInfo;
  Iface<IProvideClassInfo2, Control> classInfo;
  Iface<IConnectionPointContainer, Control> points;
  Iface<IOleObject, Control> oleObject;
  Iface<IOleInPlaceObjectWindowless, Control> inPlaceObject;
  Iface<IOleInPlaceActiveObject, Control> inPlaceActiveObject;
  Iface<IOleControl, Control> oleControl;
  Iface<IViewObjectEx, Control> viewObject;
  Iface<IPersistStreamInit, Control> persistStream;
  Iface<IPersistStorage, Control> persistStorage;
  Iface<IPersistPropertyBag, Control> persistBag;
  Iface<IQuickActivate, Control> quickActivate;
  Iface<ISpecifyPropertyPages, Control> propertyPages;
  Iface<IDataObject, Control> dataObject;
  LONG ref = 1;

  GdiDisplay display{this};  // outlives the document that draws into it
  PortableControl portable{&display};
  LogWindow logWindow{portable};  // observes the portable control's log: destroyed before it
  WindowDialogs dialogs{this};    // with or without the control's window
  // Loaded with the window. Destroyed before the portable control, which plugins unloading
  // at the control's end may still call.
  PluginHost plugins;
  ConnectionPoint events{&points.iface, DIID__IPictavorCtlEvents};
  ConnectionPoint propertyNotify{&points.iface, IID_IPropertyNotifySink};

  // Embedding: the container's site and sinks, the extent it gave, the activation state.
  IOleClientSite* clientSite = nullptr;
  IOleInPlaceSite* inPlaceSite = nullptr;  // held while in-place active
  IOleAdviseHolder* oleAdvise = nullptr;
  IDataAdviseHolder* dataAdvise = nullptr;
  IAdviseSink* viewSink = nullptr;
  DWORD viewSinkFlags = 0;
  SIZEL extent{kDefaultExtent, kDefaultExtent};
  bool uiActive = false;
  LONG freezeCount = 0;
  // The context menu's popup, only while it is tracked: mouse input is then no event.
  HMENU contextMenu = nullptr;

  bool MenuTracked() const { return contextMenu != nullptr; }

  IUnknown* identity() { return reinterpret_cast<IUnknown*>(&ctl.iface); }
  IDispatch* dispatch() { return reinterpret_cast<IDispatch*>(&ctl.iface); }
};

HRESULT QueryControl(Control* self, REFIID riid, void** ppv);
ULONG AddRefControl(Control* self);
ULONG ReleaseControl(Control* self);

// The IUnknown of every interface of the object: all lead to the one identity.
template <typename I>
HRESULT STDMETHODCALLTYPE Unknown_QueryInterface(I* iface, REFIID riid, void** ppv) {
  return QueryControl(impl_from<Control>(iface), riid, ppv);
}
template <typename I>
ULONG STDMETHODCALLTYPE Unknown_AddRef(I* iface) {
  return AddRefControl(impl_from<Control>(iface));
}
template <typename I>
ULONG STDMETHODCALLTYPE Unknown_Release(I* iface) {
  return ReleaseControl(impl_from<Control>(iface));
}
#define PV_UNKNOWN(I) Unknown_QueryInterface<I>, Unknown_AddRef<I>, Unknown_Release<I>

// Activation (ole_object.cpp): in place with or without the user interface, and back.
HRESULT InPlaceActivate(Control* self, bool uiActivate, HWND parent, const RECT* position);
HRESULT InPlaceDeactivate(Control* self);
HRESULT UIDeactivate(Control* self);

// Property-notification sinks: may `dispid` change, and it has changed.
bool RequestEdit(Control* self, DISPID dispid);
void NotifyChanged(Control* self, DISPID dispid);

}  // namespace pv::control
