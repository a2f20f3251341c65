// Operations on two-level 8-bit images, in place: isolated points, expansion and contraction,
// outlines and labeling. `back` names the background: 0 means background 0 and foreground
// 255, anything else background 255 and foreground 0. Values other than 0 and 255 are never
// background. All refuse depths other than 8 bits with 8 and report 7 without work memory.
#pragma once

#include <cstdint>

#include "dib/dib.h"

namespace pv {

inline uint8_t BackgroundOf(int32_t back) { return back != 0 ? 255 : 0; }

// Interior pixels that are not background and whose eight neighbours all are become background.
Result RemoveAlonePoints(const DibView& dib, int32_t back);

enum class Morph { Expand, Contract };

// Every pixel, border included, with a neighbour of the target value (foreground when
// expanding, background when contracting) takes that value.
Result ExpandOrContract(const DibView& dib, int32_t back, Morph mode);

// Leaves only the traced outlines of the regions, in foreground on background.
Result TraceOutlines(const DibView& dib, int32_t back);

// Numbers the 8-connected regions whose pixel count lies in min .. max 1, 2, … in the order in
// which a scan from the bottom row meets them; every other pixel becomes 0. min −1 means 0 and
// max −1 the whole image; 1 for an empty range; 14 (pixels unchanged) when more than 255
// regions would be kept.
Result LabelRegions(const DibView& dib, int32_t min, int32_t max, int32_t back);

}  // namespace pv
