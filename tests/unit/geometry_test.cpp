#include <gtest/gtest.h>

#include "automation/members.h"
#include "automation/ole_color.h"
#include "document/image_document.h"
#include "geometry_fixture.h"
#include "test_support.h"

namespace pv {
namespace {

using test::Bytes;
using test::ColorAt;
using test::Doc;
using test::Pattern;

TEST(TurnOver, MirrorsWholePixelsAndTwiceRestores) {
  for (int bits : {8, 16, 24, 32}) {
    Doc d(5, 3, bits, [&](int32_t x, int32_t y) {
      return bits == 8    ? (x * 3 + y * 40)
             : bits == 16 ? 0x0101 * (x + 10 * y) + 0x20
                          : Pattern(x, y);
    });
    const Bytes original = d.bytes();
    const uint32_t corner = d.At(0, 0), opposite = d.At(4, 2);
    ASSERT_EQ(d.doc.TurnOver(1), Result::Ok) << bits;
    EXPECT_EQ(d.At(4, 0), corner) << bits;  // byte order inside each pixel kept
    ASSERT_EQ(d.doc.TurnOver(0), Result::Ok);
    EXPECT_EQ(d.At(0, 0), opposite) << bits;
    ASSERT_EQ(d.doc.TurnOver(0), Result::Ok);
    ASSERT_EQ(d.doc.TurnOver(1), Result::Ok);
    EXPECT_EQ(d.bytes(), original) << bits;
  }
}

TEST(TurnOver, RefusesSmallDepthsBadDirectionsAndNoImage) {
  ImageDocument empty;
  EXPECT_EQ(empty.TurnOver(0), Result::BadParameter);
  Doc one(9, 2, 1, [](int32_t x, int32_t) { return x & 1; });
  EXPECT_EQ(one.doc.TurnOver(0), Result::BadBitDepth);
  EXPECT_EQ(one.doc.TurnOver(7), Result::BadBitDepth);  // the depth is judged first
  Doc gray(3, 3, 8, [](int32_t x, int32_t y) { return x + 3 * y; });
  const Bytes before = gray.bytes();
  EXPECT_EQ(gray.doc.TurnOver(2), Result::BadParameter);
  EXPECT_EQ(gray.bytes(), before);
}

TEST(Trim, CutsAndExtendsWithTheBackgroundColour) {
  Doc d(100, 100, 24, Pattern);
  ASSERT_EQ(d.doc.Trim(10, 10, 20, 20), Result::Ok);
  EXPECT_EQ(d.doc.GetWidth(), 20);
  EXPECT_EQ(d.doc.GetHeight(), 20);
  EXPECT_EQ(d.At(0, 0), Pattern(10, 10));
  EXPECT_EQ(d.At(19, 19), Pattern(29, 29));

  Doc wide(100, 100, 24, Pattern);
  wide.doc.set_background_color(0x00332211);  // COLORREF: red 0x11, green 0x22, blue 0x33
  ASSERT_EQ(wide.doc.Trim(-5, 0, 110, 100), Result::Ok);
  ASSERT_EQ(wide.doc.GetWidth(), 110);
  for (int32_t x : {0, 4, 105, 109}) EXPECT_EQ(wide.At(x, 50), 0x112233u) << x;
  EXPECT_EQ(wide.At(5, 50), Pattern(0, 50));
  EXPECT_EQ(wide.At(104, 99), Pattern(99, 99));

  // A rectangle beside or above the picture holds only the background.
  for (auto [left, top] :
       {std::pair{200.0f, 0.0f}, {-30.0f, 0.0f}, {0.0f, 200.0f}, {0.0f, -30.0f}}) {
    Doc apart(100, 100, 24, Pattern);
    apart.doc.set_background_color(0x00332211);
    ASSERT_EQ(apart.doc.Trim(left, top, 30, 30), Result::Ok);
    EXPECT_EQ(apart.At(0, 0), 0x112233u);
    EXPECT_EQ(apart.At(29, 29), 0x112233u);
  }

  // Arguments are truncated toward zero.
  Doc a(4, 4, 24, Pattern), b(4, 4, 24, Pattern);
  ASSERT_EQ(a.doc.Trim(0.9f, 0.9f, 1.9f, 1.9f), Result::Ok);
  ASSERT_EQ(b.doc.Trim(0, 0, 1, 1), Result::Ok);
  EXPECT_EQ(a.bytes(), b.bytes());
}

TEST(Trim, FillsPaletteImagesWithAnIndexAndRefusesEmptyRectangles) {
  Doc d(4, 4, 8, [](int32_t, int32_t) { return 9; });
  d.doc.set_background_color(0x00C0B0A7);
  ASSERT_EQ(d.doc.Trim(2, 0, 4, 4), Result::Ok);
  EXPECT_EQ(d.At(1, 3), 0x090909u);
  EXPECT_EQ(d.At(2, 3), 0xA7A7A7u);  // index = the red component

  const Bytes before = d.bytes();
  EXPECT_EQ(d.doc.Trim(0, 0, 0, 4), Result::BadParameter);
  EXPECT_EQ(d.doc.Trim(0, 0, 4, -1), Result::BadParameter);
  EXPECT_EQ(d.doc.Trim(0, 0, 1e30f, 4), Result::BadParameter);
  EXPECT_EQ(d.bytes(), before);
  ImageDocument empty;
  EXPECT_EQ(empty.Trim(0, 0, 1, 1), Result::NoImage);
}

TEST(Trim, MovesBitsAndNibblesOfSmallDepths) {
  for (int bits : {1, 2, 4}) {
    const uint32_t mask = (1u << bits) - 1;
    auto pixel = [&](int32_t x, int32_t y) { return static_cast<uint32_t>(x * 3 + y) & mask; };
    Doc d(13, 5, bits, pixel);
    d.doc.set_background_color(0x00FFFF00 | (mask - 1));  // fill index: the low bits
    ASSERT_EQ(d.doc.Trim(-3, 1, 11, 3), Result::Ok);
    ASSERT_EQ(d.doc.GetBitmapBits(), bits);
    for (int32_t y = 0; y < 3; ++y)
      for (int32_t x = 0; x < 11; ++x) {
        const uint32_t index = x < 3 ? mask - 1 : pixel(x - 3, y + 1);
        EXPECT_EQ(d.At(x, y), index * 0x111111u) << bits << " " << x << "," << y;
      }
  }
}

TEST(SetSize, PlacesThePictureByTheFlags) {
  Doc d(100, 100, 24, Pattern);
  ASSERT_EQ(d.doc.SetSize(120, 80, 0x202, 0x00445566), Result::Ok);
  ASSERT_EQ(d.doc.GetWidth(), 120);
  ASSERT_EQ(d.doc.GetHeight(), 80);
  for (int32_t x : {0, 9, 110, 119}) EXPECT_EQ(d.At(x, 40), 0x665544u) << x;
  EXPECT_EQ(d.At(10, 0), Pattern(0, 10));
  EXPECT_EQ(d.At(109, 79), Pattern(99, 89));

  Doc corner(10, 10, 24, Pattern);
  ASSERT_EQ(corner.doc.SetSize(4, 4, 0x404, 0), Result::Ok);  // bottom right
  EXPECT_EQ(corner.At(0, 0), Pattern(6, 6));
  ASSERT_EQ(corner.doc.SetSize(6, 6, 0x101, 0), Result::Ok);  // top left, growing
  EXPECT_EQ(corner.At(3, 3), Pattern(9, 9));
  EXPECT_EQ(corner.At(4, 4), 0u);

  Doc gray(3, 3, 8, [](int32_t, int32_t) { return 1; });
  for (int32_t bad : {0x203, 0x302, 0x2, 0x200, 0})
    EXPECT_EQ(gray.doc.SetSize(5, 5, bad, 0), Result::BadParameter) << bad;
  EXPECT_EQ(gray.doc.SetSize(0, 5, 0x101, 0), Result::BadParameter);
  ImageDocument empty;
  EXPECT_EQ(empty.SetSize(5, 5, 0x101, 0), Result::BadParameter);
}

TEST(SetSize, FillValueLayoutPerDepth) {
  Doc d16(1, 1, 16, [](int32_t, int32_t) { return 0; });
  ASSERT_EQ(d16.doc.SetSize(2, 1, 0x101, 0x00ABCDEF), Result::Ok);
  DibLock lock16(d16.doc.dib());
  EXPECT_EQ(Bytes(lock16.view().row(0) + 2, lock16.view().row(0) + 4), (Bytes{0xCD, 0xEF}));
  Doc d32(1, 1, 32, [](int32_t, int32_t) { return 0; });
  ASSERT_EQ(d32.doc.SetSize(2, 1, 0x101, 0x7FABCDEF), Result::Ok);
  DibLock lock32(d32.doc.dib());
  EXPECT_EQ(Bytes(lock32.view().row(0) + 4, lock32.view().row(0) + 8),
            (Bytes{0xAB, 0xCD, 0xEF, 0}));
}

TEST(Mosaic, AveragesBlocksFromTheTopLeft) {
  Doc d(10, 10, 24, Pattern);
  const Bytes original = d.bytes();
  ASSERT_EQ(d.doc.Mosaic(1), Result::Ok);
  EXPECT_EQ(d.bytes(), original);

  ASSERT_EQ(d.doc.Mosaic(4), Result::Ok);
  // Blocks 4, 4, 2 wide and high: each pixel holds the integer mean of its block.
  const int32_t starts[] = {0, 4, 8}, sizes[] = {4, 4, 2};
  for (int by = 0; by < 3; ++by)
    for (int bx = 0; bx < 3; ++bx) {
      uint32_t sums[3] = {0, 0, 0};
      for (int32_t y = starts[by]; y < starts[by] + sizes[by]; ++y)
        for (int32_t x = starts[bx]; x < starts[bx] + sizes[bx]; ++x)
          for (int c = 0; c < 3; ++c) sums[c] += (Pattern(x, y) >> (8 * c)) & 0xFF;
      const uint32_t n = sizes[bx] * sizes[by];
      const uint32_t mean = sums[2] / n << 16 | sums[1] / n << 8 | sums[0] / n;
      for (int32_t y = starts[by]; y < starts[by] + sizes[by]; ++y)
        for (int32_t x = starts[bx]; x < starts[bx] + sizes[bx]; ++x)
          EXPECT_EQ(d.At(x, y), mean) << x << "," << y;
    }
}

TEST(Mosaic, RefusesOtherDepthsAndBlockSizes) {
  Doc gray(4, 4, 8, [](int32_t x, int32_t) { return x; });
  EXPECT_EQ(gray.doc.Mosaic(4), Result::BadParameter);
  ImageDocument empty;  // the block size is judged before the image
  EXPECT_EQ(empty.Mosaic(0), Result::BadParameter);
  // The block size is a 16-bit value at the interface.
  PortableControl control;
  Call call;
  call.args.resize(1);
  call.args[0].i = 0x10000;
  FindMember("Mosaic")->handler(control, call);
  EXPECT_EQ(call.pVal, 1);
}

// The profile of a line as picture (x, y) pairs, read back through a known pattern.
std::vector<std::pair<int, int>> ProfilePoints(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  Doc d(16, 16, 24, [](int32_t x, int32_t y) { return static_cast<uint32_t>(x << 16 | y << 8); });
  mem::Handle block = nullptr;
  int32_t size = -1;
  EXPECT_EQ(d.doc.GetProfile(x0, y0, x1, y1, &block, &size), Result::Ok);
  mem::Owned owned(block);
  const Bytes bytes = test::BytesOf(block);
  EXPECT_LE(static_cast<size_t>(size) * 3, bytes.size());
  std::vector<std::pair<int, int>> points;
  for (int32_t i = 0; i < size; ++i)
    points.emplace_back(bytes[3 * i], bytes[3 * i + 1]);  // red = x, green = y
  return points;
}

TEST(GetProfile, SamplesRunLeftToRightWithRowGapsFilled) {
  using Points = std::vector<std::pair<int, int>>;
  Points row;
  for (int x = 0; x < 10; ++x) row.emplace_back(x, 0);
  EXPECT_EQ(ProfilePoints(0, 0, 9, 0), row);
  EXPECT_EQ(ProfilePoints(9, 0, 0, 0), row);
  EXPECT_EQ(ProfilePoints(3, 2, 3, 7), (Points{{3, 2}, {3, 3}, {3, 4}, {3, 5}, {3, 6}, {3, 7}}));
  EXPECT_EQ(ProfilePoints(3, 7, 3, 2), ProfilePoints(3, 2, 3, 7));
  // Steep: each column's sample, then the rows up to the next column's.
  EXPECT_EQ(
      ProfilePoints(0, 0, 1, 9),
      (Points{{0, 0}, {1, 9}, {0, 1}, {0, 2}, {0, 3}, {0, 4}, {1, 5}, {1, 6}, {1, 7}, {1, 8}}));
  EXPECT_EQ(ProfilePoints(1, 0, 0, 4),
            (Points{{0, 4}, {1, 0}, {0, 3}, {1, 2}, {1, 1}}));  // falling
  EXPECT_EQ(ProfilePoints(0, 0, 3, 3), (Points{{0, 0}, {1, 1}, {2, 2}, {3, 3}}));
  EXPECT_EQ(ProfilePoints(15, 15, 15, 15), (Points{{15, 15}}));
}

TEST(GetProfile, SampleBytesPerDepth) {
  for (int bits : {1, 2, 4, 8}) {
    const uint32_t mask = bits == 8 ? 0xFF : (1u << bits) - 1;
    Doc d(12, 2, bits, [&](int32_t x, int32_t y) { return static_cast<uint32_t>(x + y) & mask; });
    mem::Handle block = nullptr;
    int32_t size = 0;
    ASSERT_EQ(d.doc.GetProfile(0, 1, 11, 1, &block, &size), Result::Ok);
    mem::Owned owned(block);
    ASSERT_EQ(size, 12);
    const Bytes bytes = test::BytesOf(block);
    for (int32_t x = 0; x < 12; ++x) EXPECT_EQ(bytes[x], (x + 1) & mask) << bits << " " << x;
  }
  Doc d32(3, 1, 32, Pattern);
  mem::Handle block = nullptr;
  int32_t size = 0;
  ASSERT_EQ(d32.doc.GetProfile(2, 0, 2, 0, &block, &size), Result::Ok);
  mem::Owned owned(block);
  EXPECT_EQ(test::BytesOf(block), (Bytes{15, 2, 2}));  // red, green, blue
}

TEST(GetProfile, RefusesPointsOutsideSixteenBits) {
  Doc d(4, 4, 8, [](int32_t, int32_t) { return 0; });
  mem::Handle block = nullptr;
  int32_t size = 0;
  EXPECT_EQ(d.doc.GetProfile(0, 0, 4, 0, &block, &size), Result::BadParameter);
  EXPECT_EQ(d.doc.GetProfile(-1, 0, 3, 0, &block, &size), Result::BadParameter);
  EXPECT_EQ(d.doc.GetProfile(0, 0, 0, 4, &block, &size), Result::BadParameter);
  EXPECT_EQ(block, nullptr);
}

TEST(BackColor, TranslatesLikeOleWithoutAPalette) {
  uint32_t ref = 0;
  ASSERT_TRUE(TranslateOleColor(0x00123456, &ref));
  EXPECT_EQ(ref, 0x00123456u);
  ASSERT_TRUE(TranslateOleColor(0x80000005, &ref));  // window background
  EXPECT_EQ(ref, 0x00FFFFFFu);
  ASSERT_TRUE(TranslateOleColor(0x8000000F, &ref));  // button face
  EXPECT_EQ(ref, 0x00C8D0D4u);
  ASSERT_TRUE(TranslateOleColor(0x01000007, &ref));
  EXPECT_EQ(ref, 0x01000007u);
  EXPECT_FALSE(TranslateOleColor(0x8000001F, &ref));
  EXPECT_FALSE(TranslateOleColor(0x40000000, &ref));
}

TEST(BackColor, TrimTakesItsBackgroundFromTheControl) {
  PortableControl control;
  Doc d(2, 1, 24, Pattern);
  mem::Owned dib(d.doc.GetDIB());
  ASSERT_EQ(control.document().SetDIB(dib.get()), Result::Ok);
  auto run = [&](const char* name, std::vector<Arg> args) {
    Call call;
    call.args = std::move(args);
    FindMember(name)->handler(control, call);
    return call.pVal;
  };
  Arg color;
  color.i = static_cast<int32_t>(0x80000005);
  run("put_BackColor", {color});
  EXPECT_EQ(run("get_BackColor", {}), 0x80000005);
  EXPECT_EQ(control.document().background_color(), 0u);  // translated only when used
  run("ForceRepaint", {});
  EXPECT_EQ(control.document().background_color(), 0xFFFFFFu);
  Arg l, t, w, h;
  w.d = 3;
  h.d = 1;
  ASSERT_EQ(run("Trim", {l, t, w, h}), 0);
  EXPECT_EQ(ColorAt(control.document().dib(), 2, 0), 0xFFFFFFu);
  // A colour that does not translate keeps the last background.
  color.i = 0x7F000000;
  run("put_BackColor", {color});
  w.d = 4;
  ASSERT_EQ(run("Trim", {l, t, w, h}), 0);
  EXPECT_EQ(ColorAt(control.document().dib(), 3, 0), 0xFFFFFFu);
}

}  // namespace
}  // namespace pv
