// 8-bit grey images as plain pixel vectors in memory order (memory row 0, the bottom row of the
// picture, first), for the tests of operations that work on pixel bytes.
#pragma once

#include <cstdint>
#include <ostream>
#include <random>
#include <vector>

#include "document/image_document.h"
#include "test_support.h"

namespace pv::test {

struct Plane {
  int32_t width = 0;
  int32_t height = 0;
  Bytes pixels;  // width × height, memory order

  uint8_t& at(int32_t row, int32_t col) { return pixels[static_cast<size_t>(row) * width + col]; }
  uint8_t at(int32_t row, int32_t col) const {
    return pixels[static_cast<size_t>(row) * width + col];
  }
  bool operator==(const Plane& o) const {
    return width == o.width && height == o.height && pixels == o.pixels;
  }
};

// Failure messages show the picture, top row first.
inline void PrintTo(const Plane& p, std::ostream* os) {
  *os << p.width << "x" << p.height;
  for (int32_t row = p.height - 1; row >= 0; --row) {
    *os << "\n";
    for (int32_t col = 0; col < p.width; ++col) *os << " " << int{p.at(row, col)};
  }
}

inline Plane Filled(int32_t width, int32_t height, uint8_t value) {
  return {width, height, Bytes(static_cast<size_t>(width) * height, value)};
}

// Values drawn from `values` (all of 0..255 when empty).
inline Plane RandomPlane(std::mt19937& random, int32_t width, int32_t height,
                         const Bytes& values = {}) {
  Plane p = Filled(width, height, 0);
  for (uint8_t& v : p.pixels)
    v = values.empty() ? static_cast<uint8_t>(random()) : values[random() % values.size()];
  return p;
}

// An 8-bit grey DIB holding the plane; padding bytes are 0xA5 so that changes to them show.
inline mem::Handle DibOf(const Plane& p) {
  Bytes dib = MakeDibBytes(p.width, p.height, 8, GrayRamp(), [](int32_t, int32_t) { return 0u; });
  const size_t stride = *DibStride(p.width, 8);
  for (int32_t row = 0; row < p.height; ++row) {
    uint8_t* out = dib.data() + PixelOffset(8) + stride * row;
    std::fill(out, out + stride, 0xA5);
    std::copy_n(p.pixels.begin() + static_cast<size_t>(row) * p.width, p.width, out);
  }
  return BlockOf(dib);
}

inline Plane PlaneOf(mem::Handle dib) {
  DibLock lock(dib);
  const DibView& v = lock.view();
  Plane p = Filled(v.width(), v.height(), 0);
  for (int32_t row = 0; row < v.height(); ++row) std::copy_n(v.row(row), v.width(), &p.at(row, 0));
  return p;
}

// A document holding the plane as an 8-bit grey DIB.
inline void Load(ImageDocument& doc, const Plane& p) {
  mem::Owned dib(DibOf(p));
  doc.SetDIB(dib.get());
}

}  // namespace pv::test
