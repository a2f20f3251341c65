// A document holding a small generated image, for the geometry, resampling and rotation tests.
#pragma once

#include <gtest/gtest.h>

#include "document/image_document.h"
#include "test_support.h"

namespace pv::test {

// Colours that differ between neighbours: 0xRRGGBB from the position.
inline uint32_t Pattern(int32_t x, int32_t y) {
  return static_cast<uint32_t>(((x * 7 + 1) & 0xFF) << 16 | ((y * 5 + 2) & 0xFF) << 8 |
                               ((x + y * 3) & 0xFF));
}

// A width × height image of `bits`: the grey ramp at 8 bits, entry i = i × 0x111111 below.
struct Doc {
  Doc(int32_t width, int32_t height, int bits,
      const std::function<uint32_t(int32_t, int32_t)>& pixel) {
    Bytes table;
    if (bits == 8) table = GrayRamp();
    if (bits < 8)
      table =
          Table(size_t{1} << bits, [](size_t i) { return static_cast<uint32_t>(i * 0x111111); });
    mem::Owned dib(MakeDib(width, height, bits, table, pixel));
    EXPECT_EQ(doc.SetDIB(dib.get()), Result::Ok);
  }
  uint32_t At(int32_t x, int32_t y) const { return ColorAt(doc.dib(), x, y); }
  Bytes bytes() const { return BytesOf(doc.dib()); }
  ImageDocument doc;
};

}  // namespace pv::test
