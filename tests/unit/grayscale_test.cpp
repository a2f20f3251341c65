#include <gtest/gtest.h>

#include <algorithm>

#include "dib/dib_pixels.h"
#include "document/image_document.h"
#include "test_support.h"

namespace pv {
namespace {

using test::Bytes;

// Grey levels of the picture, row-major from the top; empty unless it is an 8-bit grey-ramp DIB.
std::vector<int> GrayLevels(mem::Handle dib) {
  DibLock lock(dib);
  const DibView& v = lock.view();
  if (lock.status() != Result::Ok || DibGetKind(&v.header, v.table) != kKind8BitGray) return {};
  std::vector<int> levels;
  for (int32_t y = 0; y < v.height(); ++y)
    for (int32_t x = 0; x < v.width(); ++x) levels.push_back(v.row(v.height() - 1 - y)[x]);
  return levels;
}

// Converts `colors` (0xRRGGBB) held as a 24-bit row with the method; the grey levels.
std::vector<int> Convert(const std::vector<uint32_t>& colors, int16_t method, double r = 0,
                         double g = 0, double b = 0) {
  ImageDocument doc;
  mem::Owned dib(test::MakeDib(static_cast<int32_t>(colors.size()), 1, 24, {},
                               [&](int32_t x, int32_t) { return colors[x]; }));
  EXPECT_EQ(doc.SetDIB(dib.get()), Result::Ok);
  EXPECT_EQ(doc.Grayscale(method, r, g, b), Result::Ok);
  return GrayLevels(doc.dib());
}

TEST(Grayscale, MethodsGiveTheirDocumentedValues) {
  const uint32_t white = 0xFFFFFF, mixed = 0xC86400;  // mixed: red 200, green 100, blue 0
  EXPECT_EQ(Convert({white, mixed}, 0),
            (std::vector<int>{254, (313431 * 200 + 615106 * 100) >> 20}));
  EXPECT_EQ(Convert({white, mixed}, 1), (std::vector<int>{255, 800 / 7}));
  EXPECT_EQ(Convert({white, mixed}, 2), (std::vector<int>{255, 100}));
  EXPECT_EQ(Convert({mixed, 0x0A141E}, 3), (std::vector<int>{200, 10}));
  EXPECT_EQ(Convert({mixed, 0x0A141E}, 4), (std::vector<int>{100, 20}));
  EXPECT_EQ(Convert({mixed, 0x0A141E}, 5), (std::vector<int>{0, 30}));
  EXPECT_EQ(Convert({mixed, 0x0A141F}, 7), (std::vector<int>{100, 20}));
  // Method 6: the low byte of the truncated sum, no clamping; a zero weight is fine.
  EXPECT_EQ(Convert({mixed}, 6, 1, 1, 1), (std::vector<int>{300 & 0xFF}));
  EXPECT_EQ(Convert({0x000007, 0x0000FF}, 6, 0, 0, 0.5), (std::vector<int>{3, 127}));
  EXPECT_EQ(Convert({mixed}, 6, -0.25, 0, 0), (std::vector<int>{256 - 50}));
  // A sum beyond 32 bits truncates to the integer-indefinite value, whose low byte is 0.
  EXPECT_EQ(Convert({mixed, 0}, 6, 1e12, 0, 0), (std::vector<int>{0, 0}));
}

TEST(Grayscale, GreyImagesKeepTheirLevelsExceptUnderMethodZero) {
  std::vector<uint32_t> ramp(256);
  for (uint32_t i = 0; i < 256; ++i) ramp[i] = i * 0x010101;
  for (int16_t method : {1, 2, 3, 4, 5, 7}) {
    const std::vector<int> levels = Convert(ramp, method);
    ASSERT_EQ(levels.size(), 256u);
    for (int i = 0; i < 256; ++i) EXPECT_EQ(levels[i], i) << "method " << method;
  }
  const std::vector<int> lowered = Convert(ramp, 0);
  for (int i = 1; i < 256; ++i) EXPECT_EQ(lowered[i], i - 1);
  EXPECT_EQ(lowered[0], 0);
}

// A picture of every depth with varied colours: palette indices or raw 16-bit or RGB values.
mem::Handle Picture(int bits) {
  const size_t entries = TableEntries(bits);
  const Bytes table =
      test::Table(entries, [](size_t i) { return static_cast<uint32_t>(i * 0x3A1F07 + 0x102030); });
  return test::MakeDib(13, 5, bits, table, [&](int32_t x, int32_t y) -> uint32_t {
    const uint32_t n = static_cast<uint32_t>(x * 7 + y * 29);
    if (entries) return n % entries;
    return bits == 16 ? (n * 2654435761u) & 0xFFFF : (n * 2654435761u) & 0xFFFFFF;
  });
}

TEST(Grayscale, EveryDepthBecomesAnEightBitGreyImage) {
  for (int bits : {1, 2, 4, 8, 16, 24, 32}) {
    mem::Owned source(Picture(bits));
    ImageDocument doc;
    ASSERT_EQ(doc.SetDIB(source.get()), Result::Ok);
    ASSERT_EQ(doc.Grayscale(7, 0, 0, 0), Result::Ok) << bits;
    DibLock lock(doc.dib());
    const DibHeader& h = lock.view().header;
    EXPECT_EQ(DibGetKind(&h, lock.view().table), kKind8BitGray) << bits;
    EXPECT_EQ(h.width, 13);
    EXPECT_EQ(h.height, 5);
    EXPECT_EQ(h.clrUsed, 256u);
    EXPECT_EQ(h.clrImportant, 256u);
    EXPECT_EQ(h.sizeImage, 16u * 5);
    EXPECT_EQ(lock.blockBytes(), 40u + 1024 + 16 * 5);
    // Each pixel is the desaturated colour of the source pixel, 2 and 16 bits decoded too.
    const std::vector<int> levels = GrayLevels(doc.dib());
    for (int32_t y = 0; y < 5; ++y)
      for (int32_t x = 0; x < 13; ++x) {
        const uint32_t c = test::ColorAt(source.get(), x, y);
        const int r = c >> 16, g = (c >> 8) & 0xFF, b = c & 0xFF;
        EXPECT_EQ(levels[y * 13 + x], (std::max({r, g, b}) + std::min({r, g, b})) / 2)
            << bits << " " << x << "," << y;
      }
  }
}

TEST(Grayscale, OneBitBlackAndWhite) {
  const Bytes table = test::Table(2, [](size_t i) { return i ? 0xFFFFFFu : 0u; });
  mem::Owned dib(test::MakeDib(
      9, 2, 1, table, [](int32_t x, int32_t y) { return static_cast<uint32_t>((x + y) & 1); }));
  ImageDocument doc;
  ASSERT_EQ(doc.SetDIB(dib.get()), Result::Ok);
  ASSERT_EQ(doc.Grayscale(0, 0, 0, 0), Result::Ok);
  const std::vector<int> levels = GrayLevels(doc.dib());
  ASSERT_EQ(levels.size(), 18u);
  for (int i = 0; i < 18; ++i) EXPECT_EQ(levels[i], ((i % 9 + i / 9) & 1) ? 254 : 0);
}

TEST(Grayscale, RefusalsLeaveTheImage) {
  ImageDocument empty;
  EXPECT_EQ(empty.Grayscale(0, 0, 0, 0), Result::BadParameter);  // 1, not 9, for no image

  ImageDocument doc;
  mem::Owned dib(Picture(24));
  ASSERT_EQ(doc.SetDIB(dib.get()), Result::Ok);
  const Bytes before = test::BytesOf(doc.dib());
  EXPECT_EQ(doc.Grayscale(8, 0, 0, 0), Result::BadParameter);
  EXPECT_EQ(doc.Grayscale(-1, 0, 0, 0), Result::BadParameter);
  EXPECT_EQ(doc.Grayscale(6, 0, 0, 0), Result::BadParameter);
  EXPECT_EQ(doc.Grayscale(6, -0.0, 0, 0), Result::BadParameter);
  EXPECT_EQ(test::BytesOf(doc.dib()), before);
  // The other methods ignore the weights.
  EXPECT_EQ(doc.Grayscale(5, 0, 0, 0), Result::Ok);
}

}  // namespace
}  // namespace pv
