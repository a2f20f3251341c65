// Binarisation of 8-bit images.
#pragma once

#include "image/dib.h"

namespace pv {

// Every byte of the rows, padding included, becomes 0 below `threshold` and 255 otherwise.
Result Threshold(const DibView& dib, int threshold);

}  // namespace pv
