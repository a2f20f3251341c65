// The outgoing events of _IPictavorCtlEvents, sent to the sinks connected to the control.
#pragma once

#include <initializer_list>

#include "control/com/connection_point.h"

namespace pv::control {

// The events by DISPID, as the type library declares them.
enum class Event : DISPID {
  MouseMove = 1,
  MouseDown = 2,
  MouseUp = 3,
  Draw = 4,
  Scroll = 5,
  MouseWheel = 6,
  DropFiles = 7,
  PreDropFiles = 8,
  MouseDoubleClick = 9,
};

// An event argument: a long, or a pointer-sized handle (VT_I8 in the 64-bit DLL).
struct EventArg {
  EventArg(LONG v) : type(VT_I4), value(v) {}  // NOLINT: implicit, events take longs
  static EventArg Handle(const void* handle) {
    EventArg arg(0);
    arg.type = sizeof(void*) == 8 ? VT_I8 : VT_I4;
    arg.value = reinterpret_cast<LONG_PTR>(handle);
    return arg;
  }
  VARTYPE type;
  LONG_PTR value;
};

// Calls the event on every connected sink in connection order, synchronously, with the
// arguments in the order given. Whatever a sink answers, or fails with, is dropped.
void FireEvent(const ConnectionPoint& events, Event event,
               std::initializer_list<EventArg> args = {});

}  // namespace pv::control
