// The pictures the benchmarks work on.
#pragma once

#include <cstdlib>
#include <cstring>
#include <random>

#include "image/dib.h"
#include "image/image_document.h"

namespace bench {

// A smooth 24-bit picture with noise (many colours), or one of `colors` flat colours.
inline pv::mem::Handle Picture(int32_t width, int32_t height, int colors) {
  pv::DibHeader h;
  h.width = width;
  h.height = height;
  pv::DibBuilder dib(h, 24);
  std::mt19937 random(1);
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* row = dib.view().row(y);
    for (int32_t x = 0; x < width; ++x) {
      uint8_t* p = row + 3 * x;
      if (colors > 0) {
        const uint32_t c = ((x / 64 + y / 64) % colors) * 0x0F0D0B;
        std::memcpy(p, &c, 3);
      } else {
        p[0] = static_cast<uint8_t>(x * 255 / width + (random() & 7));
        p[1] = static_cast<uint8_t>(y * 255 / height + (random() & 7));
        p[2] = static_cast<uint8_t>((x + y) * 127 / (width + height) + (random() & 7));
      }
    }
  }
  return dib.Release();
}

// The picture file named by PICTAVOR_BENCH_PICTURE when set (so that other tools can be timed
// on the same picture), else the generated picture of that size.
inline pv::mem::Handle PictureOrFile(int32_t width, int32_t height) {
  const char* path = std::getenv("PICTAVOR_BENCH_PICTURE");
  if (!path || !*path) return Picture(width, height, 0);
  pv::ImageDocument doc;
  if (doc.Load(path, 24, 0) != pv::Result::Ok) return nullptr;
  return doc.GetDIB();
}

}  // namespace bench
