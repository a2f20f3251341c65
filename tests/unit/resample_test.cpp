#include <gtest/gtest.h>

#include <cmath>

#include "dib/dib_pixels.h"
#include "geometry_fixture.h"

namespace pv {
namespace {

using test::Bytes;
using test::Doc;
using test::Pattern;

// Memory rows of the document's DIB, pixel bytes only.
std::vector<Bytes> MemoryRows(const ImageDocument& doc) {
  DibLock lock(doc.dib());
  const DibView& v = lock.view();
  std::vector<Bytes> rows;
  const size_t used = (static_cast<size_t>(v.width()) * v.bitCount() + 7) / 8;
  for (int32_t r = 0; r < v.height(); ++r) rows.emplace_back(v.row(r), v.row(r) + used);
  return rows;
}

// An 8-bit colour image: entry i is a colour that no grey ramp has.
Bytes ColourTable() {
  return test::Table(256, [](size_t i) {
    return static_cast<uint32_t>((i * 37 % 256) << 16 | (i * 11 % 256) << 8 | (255 - i));
  });
}

TEST(SetImageScale, DecimationTakesTheNearestPixelFromTheBottomLeft) {
  // Pixel value = memory row × 16 + column.
  Doc d(4, 4, 8, [](int32_t x, int32_t y) { return static_cast<uint32_t>((3 - y) * 16 + x); });
  ASSERT_EQ(d.doc.SetImageScale(0.5, 0.5, 4), Result::Ok);
  EXPECT_EQ(MemoryRows(d.doc), (std::vector<Bytes>{{0, 2}, {32, 34}}));

  for (int bits : {1, 2, 4}) {
    const uint32_t mask = (1u << bits) - 1;
    auto pixel = [&](int32_t x, int32_t y) { return static_cast<uint32_t>(x / 2 + y) & mask; };
    Doc packed(13, 3, bits, pixel);
    ASSERT_EQ(packed.doc.SetImageScale(0.5, 1, 4), Result::Ok);
    ASSERT_EQ(packed.doc.GetWidth(), 7);  // trunc(6.5 + 0.5)
    for (int32_t x = 0; x < 7; ++x)
      EXPECT_EQ(packed.At(x, 1), pixel(2 * x, 1) * 0x111111u) << bits << " " << x;
  }
}

TEST(SetImageScale, DecimationLeavesTheFourthByteZeroAndRefusesSixteenBits) {
  Bytes bytes = test::MakeDibBytes(2, 1, 32, {}, test::Pattern);
  bytes[kDibHeaderBytes + 3] = bytes[kDibHeaderBytes + 7] = 0xFF;
  mem::Owned dib(test::BlockOf(bytes));
  ImageDocument doc;
  ASSERT_EQ(doc.SetDIB(dib.get()), Result::Ok);
  ASSERT_EQ(doc.SetImageScale(2, 1, 4), Result::Ok);
  EXPECT_EQ(MemoryRows(doc)[0], (Bytes{0, 2, 1, 0, 0, 2, 1, 0, 1, 2, 8, 0, 1, 2, 8, 0}));
  Doc d16(2, 2, 16, [](int32_t, int32_t) { return 0x1234; });
  EXPECT_EQ(d16.doc.SetImageScale(2, 2, 4), Result::BadParameter);
}

TEST(SetImageScale, LinearWeightsAddUpTo255) {
  Doc d(4, 4, 8, [](int32_t, int32_t) { return 255; });
  ASSERT_EQ(d.doc.SetImageScale(2.0, 2.0, 0), Result::Ok);
  const std::vector<Bytes> rows = MemoryRows(d.doc);
  ASSERT_EQ(rows.size(), 8u);
  // Source positions x / 2: whole for even x, half way for odd; the last two columns and rows
  // have no right or upper neighbour and take the plain mean of those inside.
  for (int r = 0; r < 8; ++r)
    for (int x = 0; x < 8; ++x) {
      int expected = 255;
      if (x < 6 && r < 6) expected = x % 2 == 0 ? 253 : r % 2 ? 251 : 252;  // rows blend last
      EXPECT_EQ(rows[r][x], expected) << x << "," << r;
    }
}

TEST(SetImageScale, ArgumentChecksComeBeforeTheImage) {
  ImageDocument empty;
  EXPECT_EQ(empty.SetImageScale(0, 1, 0), Result::BadParameter);
  EXPECT_EQ(empty.SetImageScale(1, -1, 0), Result::BadParameter);
  EXPECT_EQ(empty.SetImageScale(NAN, 1, 0), Result::BadParameter);
  EXPECT_EQ(empty.SetImageScale(1, INFINITY, 0), Result::BadParameter);
  EXPECT_EQ(empty.SetImageScale(1, 1, 5), Result::BadParameter);
  EXPECT_EQ(empty.SetImageScale(1, 1, -1), Result::BadParameter);
  EXPECT_EQ(empty.SetImageScale(1, 1, 0x1FFFF), Result::BadParameter);
  EXPECT_EQ(empty.SetImageScale(1, 1, 0x20004),
            Result::NoImage);  // bits above the flag are ignored

  Doc colour(4, 4, 24, Pattern);
  EXPECT_EQ(colour.doc.SetImageScale(0.5, 0.5, 2), Result::BadParameter);
  EXPECT_EQ(colour.doc.SetImageScale(1, 1, 3), Result::BadParameter);
  EXPECT_EQ(colour.doc.SetImageScale(0.1, 1, 0), Result::BadParameter);  // no pixel left
  EXPECT_EQ(colour.doc.GetWidth(), 4);
}

TEST(SetImageScale, AbsoluteSizeFlagGivesPixels) {
  Doc d(600, 400, 24, Pattern);
  ASSERT_EQ(d.doc.SetImageScale(300, 200, 0x10000), Result::Ok);
  EXPECT_EQ(d.doc.GetWidth(), 300);
  EXPECT_EQ(d.doc.GetHeight(), 200);
  ASSERT_EQ(d.doc.SetImageScale(301, 7, 0x10004), Result::Ok);
  EXPECT_EQ(d.doc.GetWidth(), 301);
  EXPECT_EQ(d.doc.GetHeight(), 7);
}

TEST(SetImageScale, FactorsOfOneCopyAtAnyDepth) {
  for (int method : {0, 1, 4}) {
    Doc d(5, 3, 16, [](int32_t x, int32_t y) { return 0x0102u * (x + y); });
    const Bytes before = d.bytes();
    ASSERT_EQ(d.doc.SetImageScale(1, 1, method), Result::Ok) << method;
    EXPECT_EQ(d.bytes(), before);
  }
  Doc one(9, 2, 1, [](int32_t x, int32_t) { return x & 1; });
  EXPECT_EQ(one.doc.SetImageScale(1, 1, 1), Result::Ok);
  EXPECT_EQ(one.doc.SetImageScale(1, 1, 2), Result::BadParameter);
  EXPECT_EQ(one.doc.SetImageScale(2, 2, 1), Result::BadParameter);
}

TEST(SetImageScale, BoxMethodsCoverTheirSourceRectangles) {
  auto gray = [](int32_t x, int32_t y) { return static_cast<uint32_t>(x * 10 + y * 50); };
  for (int method : {1, 2, 3}) {
    Doc d(4, 4, 8, gray);
    ASSERT_EQ(d.doc.SetImageScale(0.5, 0.5, method), Result::Ok);
    // Output (0, 0) covers picture columns 0-1 and rows 0-1: values 0, 10, 50 and 60.
    const uint32_t expected[] = {0, 120 / 4, 60, 0};
    EXPECT_EQ(d.At(0, 0) & 0xFF, expected[method]) << method;
  }
  Doc colour(3, 3, 24, Pattern);
  ASSERT_EQ(colour.doc.SetImageScale(0.5, 0.5, 1), Result::Ok);  // 2 × 2: boxes of 2 and 1
  ASSERT_EQ(colour.doc.GetWidth(), 2);
  uint32_t sums[3] = {0, 0, 0};
  for (int32_t y = 1; y < 3; ++y)
    for (int32_t x = 0; x < 2; ++x)
      for (int c = 0; c < 3; ++c) sums[c] += (Pattern(x, y) >> (8 * c)) & 0xFF;
  EXPECT_EQ(colour.At(0, 1), sums[2] / 4 << 16 | sums[1] / 4 << 8 | sums[0] / 4);
  EXPECT_EQ(colour.At(1, 0), Pattern(2, 0));
}

TEST(SetImageScale, PaletteResultsIndexTheirOwnTable) {
  const Bytes table = ColourTable();
  mem::Owned dib(test::MakeDib(4, 4, 8, table, [](int32_t x, int32_t y) {
    return static_cast<uint32_t>(x / 2 * 3 + y / 2 * 100);
  }));
  auto entry = [&](size_t i) {
    return static_cast<uint32_t>(table[4 * i + 2] << 16 | table[4 * i + 1] << 8 | table[4 * i]);
  };
  ImageDocument doc;
  ASSERT_EQ(doc.SetDIB(dib.get()), Result::Ok);
  ASSERT_EQ(doc.SetImageScale(0.5, 0.5, 1), Result::Ok);
  EXPECT_EQ(test::ColorAt(doc.dib(), 0, 0), entry(0));
  EXPECT_EQ(test::ColorAt(doc.dib(), 1, 0), entry(3));
  EXPECT_EQ(test::ColorAt(doc.dib(), 0, 1), entry(100));
  EXPECT_EQ(test::ColorAt(doc.dib(), 1, 1), entry(103));

  // Linear interpolation: the right-hand edge pixels are plain means of one colour, so they
  // keep it.
  ASSERT_EQ(doc.SetDIB(dib.get()), Result::Ok);
  ASSERT_EQ(doc.SetImageScale(2, 2, 0), Result::Ok);
  EXPECT_EQ(test::ColorAt(doc.dib(), 7, 0), entry(3));
  EXPECT_EQ(test::ColorAt(doc.dib(), 7, 7), entry(103));
}

TEST(SetImageScale, InterpolationOfSmallDepthsIsRefusedAndSixteenBitsWorksAtTrueColour) {
  for (int bits : {1, 2, 4}) {
    Doc d(8, 8, bits, [](int32_t x, int32_t) { return x & 1; });
    EXPECT_EQ(d.doc.SetImageScale(2, 2, 0), Result::BadBitDepth) << bits;
    EXPECT_EQ(d.doc.Rotate(30, 1, 0), Result::BadBitDepth) << bits;
  }
  Doc d16(3, 3, 16, [](int32_t, int32_t) { return 0xE31Cu; });
  ASSERT_EQ(d16.doc.SetImageScale(2, 2, 0), Result::Ok);
  EXPECT_EQ(d16.doc.GetBitmapBits(), 16);
  EXPECT_EQ(d16.doc.GetWidth(), 6);
  EXPECT_EQ(MemoryRows(d16.doc)[5][10], 0x1C);  // an edge pixel: the same colour packed back
  EXPECT_EQ(MemoryRows(d16.doc)[5][11], 0xE3);
}

}  // namespace
}  // namespace pv
