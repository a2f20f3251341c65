// The members that open the window's dialogs (they need the window) and the context menu's own
// dialog command.
#pragma once

#include <vector>

#include "automation/members.h"

namespace pv {

void AddDialogMembers(std::vector<Member>* table);

// The custom grayscale dialog; on "決定" the image is made gray with its ratios and recorded.
// Whether the user confirmed.
bool RunCustomGrayscale(PortableControl& control);

}  // namespace pv
