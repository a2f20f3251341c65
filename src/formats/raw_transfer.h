// Raw pixel buffers: top-down rows described by a kind code, width, height and size.
#pragma once

#include <cstdint>

#include "dib/dib.h"

namespace pv {

// Raw kinds: 1 RGBx (32 bits), 2 RGB (24), 3 16-bit, 4 8-bit, 5 8-bit grey, 6 4-bit, 7 1-bit.
int RawKindBitCount(int32_t kind);

// A new DIB from a raw buffer of `size` bytes (`available` bytes are readable).
Result DibFromRaw(const uint8_t* raw, size_t available, int32_t kind, int32_t width, int32_t height,
                  int32_t size, mem::Handle* dib);

struct RawImage {
  mem::Handle block = nullptr;
  int32_t kind = 0, width = 0, height = 0, size = 0;
};
// The DIB's rows as a raw buffer, top row first (8 bits and more).
Result RawFromDib(const DibView& dib, RawImage* raw);

}  // namespace pv
