// The picture the benchmarks work on: smooth gradients with noise, so that colours vary.
#pragma once

#include <cstring>
#include <random>

#include "image/dib.h"

namespace bench {

// `bits` bits per pixel (8: with the grey-ramp table).
inline pv::mem::Handle Picture(int32_t width, int32_t height, int bits) {
  pv::DibHeader h;
  h.width = width;
  h.height = height;
  pv::DibBuilder dib(h, bits);
  for (int i = 0; bits == 8 && i < 256; ++i) std::memset(dib.view().table + 4 * i, i, 3);
  std::mt19937 random(1);
  const int bytes = bits / 8;
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* row = dib.view().row(y);
    for (int32_t x = 0; x < width; ++x)
      for (int c = 0; c < bytes; ++c)
        row[x * bytes + c] = static_cast<uint8_t>((x + c * y) * 255 / (width + height) + (random() & 15));
  }
  return dib.Release();
}

}  // namespace bench
