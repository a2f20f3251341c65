// What the user does to the control's window (the mouse, the wheel, the scroll bars, files
// dropped on it) turned into the control's events and the plugins' notifications.
#pragma once

#include "control/com/com.h"

namespace pv::control {

struct Control;

// Handles `message` when it is user input; false for every other message.
bool HandleUserInput(Control* self, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace pv::control
