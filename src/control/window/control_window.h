// The control's window: created when a container activates it in place, destroyed when it
// deactivates. Its messages lay out, paint and scroll the display.
#pragma once

#include "control/com/com.h"

namespace pv::control {

struct Control;

// A visible child of `parent` at `position`; null when the window cannot be made.
HWND CreateControlWindow(Control* control, HWND parent, const RECT& position);

}  // namespace pv::control
