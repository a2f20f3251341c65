// Binarisation of 8-bit images, and the threshold proposed by discriminant analysis.
#pragma once

#include "dib/dib.h"
#include "ops/histogram.h"

namespace pv {

// Every byte of the rows, padding included, becomes 0 below `threshold` and 255 otherwise.
Result Threshold(const DibView& dib, int threshold);

// The smallest t in 1..254 whose split of `counts` into 0..t and t+1..255 has the largest
// between-class variance; false, leaving *threshold alone, when no t gives a positive variance.
bool DiscriminantThreshold(const Histogram& counts, int32_t* threshold);

// Proposes a threshold for a rectangle of an 8-bit image given in memory rows. BadBitDepth for
// other depths, BadParameter for a rectangle that is empty or leaves the picture.
Result ProposeThreshold(const DibView& dib, const PixelRect& memoryRect, int32_t* threshold);

}  // namespace pv
