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

// The colour table as GetPalette answers it, as COLORREFs: no image or no colour table gives
// its code. A table shorter than the bit count allows has only its own entries.
std::vector<int32_t> ColourTable(const ImageDocument& document, Result* result);

}  // namespace pv
