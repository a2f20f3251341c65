// The context menu in the control's window: the portable menu made a real popup, tracked at
// the point of a right click, and the commands it sends back.
#pragma once

#include "control/com/com.h"

namespace pv::control {

struct Control;

// Builds the popup, tracks it at client point (x, y) until the user closes it, destroys it.
// While it is tracked the mouse handlers fire no events.
void ShowContextMenu(Control* self, int x, int y);

// Runs a WM_COMMAND of the menu; false when its ID is none of the menu's.
bool OnMenuCommand(Control* self, WPARAM wParam);

}  // namespace pv::control
