#include <gtest/gtest.h>

#include <array>
#include <functional>

#include "document/image_document.h"
#include "ops/binarization.h"
#include "test_support.h"

namespace pv {
namespace {

using test::Bytes;

// The threshold proposed for `counts`, or -1 when none is.
int32_t Proposed(const std::vector<std::pair<int, uint32_t>>& levels) {
  Histogram counts{};
  for (const auto& [level, count] : levels) counts[level] = count;
  int32_t t = -1;
  const bool found = DiscriminantThreshold(counts, &t);
  EXPECT_EQ(found, t != -1);
  return t;
}

TEST(DiscriminantThreshold, PicksTheFirstThresholdOfLargestVariance) {
  EXPECT_EQ(Proposed({{0, 8}, {255, 8}}), 1);
  EXPECT_EQ(Proposed({{50, 3}, {200, 3}}), 50);
  EXPECT_EQ(Proposed({{10, 10}, {20, 10}, {200, 1}}), 20);
  EXPECT_EQ(Proposed({{1, 1}, {2, 1}}), 1);   // class 0 is 0..t
  EXPECT_EQ(Proposed({{0, 1}, {1, 1}}), -1);  // would need t = 0
  EXPECT_EQ(Proposed({{254, 1}, {255, 1}}), 254);
  // Nothing to separate: no proposal.
  EXPECT_EQ(Proposed({{77, 1000}}), -1);
  EXPECT_EQ(Proposed({{255, 5}}), -1);
  EXPECT_EQ(Proposed({}), -1);
}

TEST(DiscriminantThreshold, ExactForPicturesOfManyBrightPixels) {
  // 255 × 20 million passes 32 bits; a wrapped product would move the split below 100.
  EXPECT_EQ(Proposed({{0, 20000000}, {100, 20000000}, {255, 20000000}}), 100);
}

// A document holding a picture; pixel(x, y) with y = 0 at the top.
void Hold(ImageDocument& doc, int32_t width, int32_t height, int bits,
          const std::function<uint32_t(int32_t, int32_t)>& pixel) {
  const Bytes table =
      test::Table(TableEntries(bits), [](size_t i) { return static_cast<uint32_t>(i * 0x010101); });
  mem::Owned dib(test::MakeDib(width, height, bits, table, pixel));
  ASSERT_EQ(doc.SetDIB(dib.get()), Result::Ok);
}

TEST(GetMonochromeThresh, CountsTheRectangleInMemoryRows) {
  ImageDocument doc;
  // Picture rows 0..2 alternate 50 and 200; the bottom row (memory row 0) is all 90.
  Hold(doc, 6, 4, 8, [](int32_t x, int32_t y) { return y == 3 ? 90u : (x & 1) ? 200u : 50u; });
  int32_t t = 7;
  EXPECT_EQ(doc.GetMonochromeThresh(0, 1, 6, 3, &t), Result::Ok);
  EXPECT_EQ(t, 50);
  t = 7;
  EXPECT_EQ(doc.GetMonochromeThresh(0, 0, 6, 1, &t), Result::Ok);  // uniform: untouched
  EXPECT_EQ(t, 7);
  EXPECT_EQ(doc.GetMonochromeThresh(5, 3, 1, 1, &t), Result::Ok);
  EXPECT_EQ(t, 7);
  EXPECT_EQ(doc.GetMonochromeThresh(0, 0, 2, 2, &t), Result::Ok);  // 90, 90, 50, 200
  EXPECT_EQ(t, 90);
}

TEST(GetMonochromeThresh, RefusesRectanglesOutsideTheImageAndOtherDepths) {
  ImageDocument empty;
  int32_t t = 7;
  EXPECT_EQ(empty.GetMonochromeThresh(0, 0, 1, 1, &t), Result::NoImage);

  ImageDocument doc;
  Hold(doc, 6, 4, 8, [](int32_t x, int32_t) { return x * 40u; });
  for (const auto& r : std::vector<std::array<int32_t, 4>>{{-1, 0, 2, 2},
                                                           {0, -1, 2, 2},
                                                           {5, 0, 2, 1},
                                                           {0, 3, 1, 2},
                                                           {0, 0, 0, 1},
                                                           {0, 0, 1, 0},
                                                           {0, 0, INT32_MAX, 1},
                                                           {INT32_MAX, 0, 1, 1},
                                                           {0, 1, 1, INT32_MAX}})
    EXPECT_EQ(doc.GetMonochromeThresh(r[0], r[1], r[2], r[3], &t), Result::BadParameter)
        << r[0] << r[1] << r[2] << r[3];
  EXPECT_EQ(t, 7);
  EXPECT_EQ(doc.GetMonochromeThresh(0, 0, 6, 4, &t), Result::Ok);

  // Any 8-bit image, grey or not; nothing else.
  for (int bits : {1, 2, 4, 16, 24, 32}) {
    ImageDocument other;
    Hold(other, 4, 4, bits, [](int32_t x, int32_t) { return static_cast<uint32_t>(x & 1); });
    EXPECT_EQ(other.GetMonochromeThresh(0, 0, 1, 1, &t), Result::BadBitDepth) << bits;
  }
  ImageDocument colour;
  mem::Owned palette(
      test::MakeDib(4, 1, 8, test::Table(256, [](size_t i) { return static_cast<uint32_t>(i); }),
                    [](int32_t x, int32_t) { return x < 2 ? 3u : 9u; }));
  ASSERT_EQ(colour.SetDIB(palette.get()), Result::Ok);
  EXPECT_EQ(colour.GetMonochromeThresh(0, 0, 4, 1, &t), Result::Ok);
  EXPECT_EQ(t, 3);
}

TEST(Monochrome, ThresholdsAtTheEdgesOfItsRange) {
  for (int32_t th : {1, 254}) {
    ImageDocument doc;
    Hold(doc, 256, 1, 8, [](int32_t x, int32_t) { return static_cast<uint32_t>(x); });
    ASSERT_EQ(doc.Monochrome(th), Result::Ok);
    DibLock lock(doc.dib());
    for (int v = 0; v < 256; ++v)
      EXPECT_EQ(lock.view().bits[v], v < th ? 0 : 255) << th << " " << v;
  }
}

}  // namespace
}  // namespace pv
