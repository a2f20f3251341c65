// The picture the benchmarks work on: smooth gradients with noise, so that colours vary.
#pragma once

#include <cstdlib>
#include <random>

#include "dib/dib.h"
#include "document/image_document.h"

namespace bench {

// `bits` bits per pixel (8: with the grey-ramp table).
inline pv::mem::Handle Picture(int32_t width, int32_t height, int bits) {
  pv::DibHeader h;
  h.width = width;
  h.height = height;
  pv::DibBuilder dib(h, bits);
  if (bits == 8) pv::WriteGrayRamp(dib.view().table);
  std::mt19937 random(1);
  const int bytes = bits / 8;
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* row = dib.view().row(y);
    for (int32_t x = 0; x < width; ++x)
      for (int c = 0; c < bytes; ++c)
        row[x * bytes + c] =
            static_cast<uint8_t>((x + c * y) * 255 / (width + height) + (random() & 15));
  }
  return dib.Release();
}

// The picture file named by PICTAVOR_BENCH_PICTURE, as 24 bits, when set (so that other tools
// can be timed on the same picture); else the generated 24-bit picture of that size.
inline pv::mem::Handle PictureOrFile(int32_t width, int32_t height) {
  const char* path = std::getenv("PICTAVOR_BENCH_PICTURE");
  if (!path || !*path) return Picture(width, height, 24);
  pv::ImageDocument doc;
  if (doc.Load(path, 24, 0) != pv::Result::Ok) return nullptr;
  return doc.GetDIB();
}

}  // namespace bench
