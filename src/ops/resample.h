// Resampling by five methods, and the bilinear interpolation that rotation shares.
#pragma once

#include <cstdint>

#include "dib/dib.h"

namespace pv {

enum ScaleMethod : int16_t {
  kScaleLinear = 0,    // bilinear interpolation
  kScaleAverage = 1,   // mean of the covered source pixels
  kScaleLargest = 2,   // largest covered grey value
  kScaleSmallest = 3,  // smallest covered grey value
  kScaleDecimate = 4,  // nearest source pixel from the bottom-left
  kScaleMethodCount = 5,
};

// New DIB of trunc(width × sx + 0.5) × trunc(height × sy + 0.5) pixels. Factors of exactly 1
// copy the rows. 1 for a depth the method does not take or a size below one pixel; 8 for 1-,
// 2- and 4-bit images to interpolation.
Result ScaleDib(const DibView& src, double sx, double sy, int method, mem::Handle* out);
// The same with every box method summing the covered pixels, never copying them through the
// one-pixel shortcut: the reference that shortcut is tested against.
Result ScaleDibWithoutShortcuts(const DibView& src, double sx, double sy, int method,
                                mem::Handle* out);

// Bilinear resampling in 1/1024-pixel steps through a product table: scaling by sx, sy when
// the angle is 0, else turning by `angle` degrees (clockwise as displayed) about the centre.
struct Interpolation {
  double sx = 1.0, sy = 1.0;
  double angle = 0.0;
  bool keepSize = false;   // output as large as the source; else scaled or the turned bounding box
  int32_t background = 0;  // COLORREF at 16 to 32 bits, grey value, or colour-table index
};

// 8 for 1-, 2- and 4-bit images; 1 for a colour-table background outside 0..255. 16-bit
// images are worked at 24 bits and packed back.
Result InterpolateDib(const DibView& src, const Interpolation& job, mem::Handle* out);
// The same with every pixel's rows, weights and bounds found on its own: the reference the
// per-row shortcuts of scaling and turning are tested against.
Result InterpolateDibPerPixel(const DibView& src, const Interpolation& job, mem::Handle* out);

}  // namespace pv
