#include <gtest/gtest.h>

#include <cmath>

#include "geometry_fixture.h"

namespace pv {
namespace {

using test::Bytes;
using test::Doc;
using test::Pattern;

constexpr int kEveryDepth[] = {1, 2, 4, 8, 16, 24, 32};

// A pixel value that fits the depth and differs between neighbours.
uint32_t ValueAt(int bits, int32_t x, int32_t y) {
  if (bits < 8) return static_cast<uint32_t>(x * 3 + y * 5 + x * y) & ((1u << bits) - 1);
  if (bits == 8) return static_cast<uint32_t>(x * 13 + y * 7) & 0xFF;
  if (bits == 16) return static_cast<uint32_t>(x * 0x0931 + y * 0x1207) & 0xFFFF;
  return Pattern(x, y);
}

Doc Sample(int bits, int32_t width = 13, int32_t height = 7) {
  return Doc(width, height, bits, [bits](int32_t x, int32_t y) { return ValueAt(bits, x, y); });
}

TEST(Rotate, QuarterTurnsAreClockwiseAndExactAtEveryDepth) {
  for (int bits : kEveryDepth) {
    Doc source = Sample(bits), d = Sample(bits);
    ASSERT_EQ(d.doc.Rotate(90, 1, 0), Result::Ok) << bits;
    ASSERT_EQ(d.doc.GetWidth(), 7);
    ASSERT_EQ(d.doc.GetHeight(), 13);
    for (int32_t y = 0; y < 7; ++y)
      for (int32_t x = 0; x < 13; ++x)
        ASSERT_EQ(d.At(6 - y, x), source.At(x, y)) << bits << " " << x << "," << y;
    for (int turn = 0; turn < 3; ++turn) ASSERT_EQ(d.doc.Rotate(90, 1, 0), Result::Ok);
    EXPECT_EQ(d.bytes(), source.bytes()) << bits;
  }
}

TEST(Rotate, HalfAndThreeQuarterTurnsMirror) {
  for (int bits : {8, 16, 24, 32}) {
    Doc half = Sample(bits), mirrored = Sample(bits);
    ASSERT_EQ(half.doc.Rotate(180, 1, 0), Result::Ok);
    ASSERT_EQ(mirrored.doc.TurnOver(0), Result::Ok);
    ASSERT_EQ(mirrored.doc.TurnOver(1), Result::Ok);
    EXPECT_EQ(half.bytes(), mirrored.bytes()) << bits;

    Doc minus = Sample(bits), three = Sample(bits), twice = Sample(bits);
    ASSERT_EQ(minus.doc.Rotate(-90, 1, 0), Result::Ok);
    ASSERT_EQ(three.doc.Rotate(270, 1, 0), Result::Ok);
    ASSERT_EQ(twice.doc.Rotate(90, 1, 0), Result::Ok);
    ASSERT_EQ(twice.doc.Rotate(180, 1, 0), Result::Ok);
    EXPECT_EQ(minus.bytes(), three.bytes()) << bits;
    EXPECT_EQ(three.bytes(), twice.bytes()) << bits;
  }
  for (int bits : {1, 2, 4}) {
    Doc d = Sample(bits);
    const Bytes before = d.bytes();
    EXPECT_EQ(d.doc.Rotate(180, 1, 0), Result::BadBitDepth) << bits;
    EXPECT_EQ(d.doc.Rotate(270, 0, 0), Result::BadBitDepth) << bits;
    EXPECT_EQ(d.bytes(), before);
  }
}

TEST(Rotate, QuarterTurnKeepingTheCanvasCentresTheTurnedPicture) {
  Doc source(200, 100, 24, Pattern), d(200, 100, 24, Pattern);
  ASSERT_EQ(d.doc.Rotate(90, 0, 0x00332211), Result::Ok);
  ASSERT_EQ(d.doc.GetWidth(), 200);
  ASSERT_EQ(d.doc.GetHeight(), 100);
  for (int32_t y = 0; y < 100; y += 9) {
    for (int32_t x : {0, 49, 150, 199}) EXPECT_EQ(d.At(x, y), 0x112233u) << x << "," << y;
    for (int32_t x = 50; x < 150; x += 7)
      EXPECT_EQ(d.At(x, y), source.At(y + 50, 149 - x)) << x << "," << y;
  }
}

TEST(Rotate, OtherAnglesGrowToTheTurnedBoundingBox) {
  struct Case {
    float angle;
    int32_t width, height, turnedWidth, turnedHeight;
  };
  for (const Case& c :
       {Case{45, 100, 100, 141, 141}, Case{30, 200, 100, 223, 187}, Case{120, 200, 100, 187, 223},
        Case{-30, 200, 100, 223, 187}, Case{1, 1, 1, 1, 1}}) {
    Doc d(c.width, c.height, 8, [](int32_t, int32_t) { return 200; });
    ASSERT_EQ(d.doc.Rotate(c.angle, 1, 0x1234), Result::Ok) << c.angle;
    EXPECT_EQ(d.doc.GetWidth(), c.turnedWidth) << c.angle;
    EXPECT_EQ(d.doc.GetHeight(), c.turnedHeight) << c.angle;
  }
  Doc colour(100, 100, 32, Pattern);
  ASSERT_EQ(colour.doc.Rotate(45, 1, 0x00332211), Result::Ok);
  for (auto [x, y] : {std::pair{0, 0}, {140, 0}, {0, 140}, {140, 140}})
    EXPECT_EQ(colour.At(x, y), 0x112233u);
  Doc gray(100, 100, 8, [](int32_t, int32_t) { return 200; });
  ASSERT_EQ(gray.doc.Rotate(45, 1, 0x1234), Result::Ok);
  EXPECT_EQ(gray.At(0, 0), 0x343434u);      // the low byte
  EXPECT_EQ(gray.At(70, 70) & 0xFF, 198u);  // inside: 200 through weights that add up to 255
}

TEST(Rotate, KeepingTheCanvasAndWholeTurns) {
  Doc d(60, 40, 24, Pattern);
  const Bytes before = d.bytes();
  ASSERT_EQ(d.doc.Rotate(30, 0, 0), Result::Ok);
  EXPECT_EQ(d.doc.GetWidth(), 60);
  EXPECT_EQ(d.doc.GetHeight(), 40);
  for (float whole : {0.0f, 360.0f, -360.0f, 720.0f}) {
    Doc same(60, 40, 24, Pattern);
    ASSERT_EQ(same.doc.Rotate(whole, 1, 0), Result::Ok) << whole;
    EXPECT_EQ(same.bytes(), before) << whole;
  }
}

TEST(Rotate, RefusesWhatItCannotTurn) {
  ImageDocument empty;
  EXPECT_EQ(empty.Rotate(30, 1, 0), Result::BadParameter);
  Doc d(10, 10, 24, Pattern);
  EXPECT_EQ(d.doc.Rotate(NAN, 1, 0), Result::BadParameter);
  EXPECT_EQ(d.doc.Rotate(INFINITY, 1, 0), Result::BadParameter);
  EXPECT_EQ(d.doc.Rotate(3.6e30f, 1, 0), Result::Ok);  // reduced in one step, not 10^28 of them

  // A colour-table background must be an index of the table.
  const Bytes table =
      test::Table(256, [](size_t i) { return static_cast<uint32_t>(i << 16 | 0x80); });
  mem::Owned dib(
      test::MakeDib(10, 10, 8, table, [](int32_t x, int32_t) { return static_cast<uint32_t>(x); }));
  ImageDocument palette;
  ASSERT_EQ(palette.SetDIB(dib.get()), Result::Ok);
  EXPECT_EQ(palette.Rotate(30, 1, 256), Result::BadParameter);
  EXPECT_EQ(palette.Rotate(30, 1, -1), Result::BadParameter);
  ASSERT_EQ(palette.Rotate(30, 1, 255), Result::Ok);
  EXPECT_EQ(test::ColorAt(palette.dib(), 0, 0), 0xFF0080u);  // a corner: the background's colour
}

}  // namespace
}  // namespace pv
