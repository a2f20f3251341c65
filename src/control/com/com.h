// Shared ground of the COM objects in Pictavor.dll: C-style interfaces (CINTERFACE, as Wine
// writes them), the interface header generated from resources/pictavor.idl, and the link from
// an interface pointer back to the object that implements it.
#pragma once

#ifndef CINTERFACE
#error "the control's sources are compiled with CINTERFACE"
#endif

#include <ole2.h>
#include <olectl.h>
#include <windows.h>

#include "pictavor_h.h"

namespace pv::control {

// One interface of an object: its table pointer first, so that the interface pointer handed
// out is the address of this struct and leads back to the object.
template <typename Interface, typename Object>
struct Iface {
  Interface iface;
  Object* object;
};

template <typename Object, typename Interface>
Object* impl_from(Interface* iface) {
  return reinterpret_cast<Iface<Interface, Object>*>(iface)->object;
}

}  // namespace pv::control
