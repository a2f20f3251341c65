// 3 × 3 neighbourhood filters, in place; the one-pixel border keeps its values.
#pragma once

#include "dib/dib.h"

namespace pv {

enum class Filter {
  Smooth,      // weighted mean, centre counted twice, / 10; 8, 24 and 32 bits (each channel alone)
  MaxDensity,  // largest of the nine
  MinDensity,  // smallest of the nine
  Sobel,       // larger of the horizontal and vertical gradient magnitudes, up to 255
  Robinson,    // largest of the eight compass sums, 0 .. 255
  Laplacian,   // four direct neighbours − 4 × centre + 128, clamped to 0 .. 255
};

// 8 for a depth the filter does not take (all but Smooth take only 8 bits); 7 without memory
// for the copy of the rows.
Result ApplyFilter(const DibView& dib, Filter filter);
// The same, every pixel computed on its own from its nine values: the reference the faster
// whole-row forms are tested against.
Result ApplyFilterPerPixel(const DibView& dib, Filter filter);

}  // namespace pv
