// Rotation: exact quarter and half turns, any other angle by interpolation.
#pragma once

#include <cstdint>

#include "dib/dib.h"

namespace pv {

// Clockwise as displayed: width and height swap; whole pixels, bits and nibbles move exactly.
Result QuarterTurn(const DibView& src, mem::Handle* out);

// Turns by `angle` degrees clockwise. 90 and 270 are exact (with `resize` 0 the canvas goes back
// to the old size, centred, new area `background` as SetSize fills it); 180 and 270 mirror, and
// refuse depths below 8 bits with 8; other angles interpolate, keeping the canvas when
// `resize` is 0 and growing it to the turned picture otherwise. A whole turn copies.
Result RotateDib(const DibView& src, float angle, int32_t resize, int32_t background,
                 mem::Handle* out);

}  // namespace pv
