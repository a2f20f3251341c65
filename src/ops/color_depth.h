// Colour-depth conversion between 1, 2, 4, 8, 16, 24 and 32 bits per pixel.
#pragma once

#include "dib/dib.h"

namespace pv {

// Converts to `bitCount` bits into a new DIB. 10 when the depth is already `bitCount`; 50 when
// a reduction to 1, 2 or 4 bits meets more colours than the target holds.
Result ConvertColorDepth(const DibView& source, int bitCount, mem::Handle* out);

}  // namespace pv
