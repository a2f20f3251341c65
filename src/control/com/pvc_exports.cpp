// The flat C API: PVC_<member>(control, arguments..., pVal), standard-call, one export per
// member of IPictavorCtl that has one. Each calls the member through the pointer's vtable
// slot; a null control pointer is refused with E_POINTER instead of being called through.
// The forwarders are generated from pictavor.idl (scripts/interface.py).
#include "control/com/com.h"
#include "control/com/member_route.h"

#define PV_UNPAREN(...) __VA_ARGS__
#define PVC_FORWARD(name, params, args)                                                   \
  extern "C" HRESULT STDMETHODCALLTYPE PVC_##name(IPictavorCtl* ctl, PV_UNPAREN params) { \
    return ctl ? ctl->lpVtbl->name(ctl, PV_UNPAREN args) : E_POINTER;                     \
  }

#include "pvc_forwarders.inc"

// The field itself, read and written: no property sinks asked or told, no dirty flag, no repaint
// (the new colour shows at the next paint), and no status.
extern "C" void STDMETHODCALLTYPE PVC_get_BackColor(IPictavorCtl* ctl, OLE_COLOR* color) {
  if (ctl && color) *color = pv::control::PortableOf(ctl).properties().backColor;
}

extern "C" void STDMETHODCALLTYPE PVC_put_BackColor(IPictavorCtl* ctl, OLE_COLOR color) {
  if (ctl) pv::control::PortableOf(ctl).properties().backColor = color;
}
