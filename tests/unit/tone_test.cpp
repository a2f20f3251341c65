#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <limits>
#include <map>
#include <numeric>
#include <utility>

#include "automation/invoke.h"
#include "automation/replay.h"
#include "document/image_document.h"
#include "ops/tone.h"
#include "test_support.h"

namespace pv {
namespace {

using test::Bytes;

constexpr uint8_t kPadding = 0xAB, kFourth = 0xCD;

// A picture with varied bytes whose row padding and fourth bytes of 32-bit pixels hold markers.
Bytes MarkedPicture(int32_t width, int32_t height, int bits) {
  const Bytes table =
      bits <= 8 ? test::Table(TableEntries(bits),
                              [](size_t i) { return static_cast<uint32_t>(i * 0x010101); })
                : Bytes{};
  Bytes dib = test::MakeDibBytes(width, height, bits, table, [&](int32_t x, int32_t y) -> uint32_t {
    const uint32_t n = static_cast<uint32_t>(x * 37 + y * 101) * 2654435761u;
    return bits <= 8 ? (n >> 24) % TableEntries(bits) : n >> 8;
  });
  const size_t stride = *DibStride(width, bits), used = (static_cast<size_t>(width) * bits + 7) / 8;
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* row = dib.data() + PixelOffset(bits) + stride * y;
    std::fill(row + used, row + stride, kPadding);
    if (bits == 32)
      for (int32_t x = 0; x < width; ++x) row[4 * x + 3] = kFourth;
  }
  return dib;
}

void Hold(ImageDocument& doc, const Bytes& dib) {
  mem::Owned block(test::BlockOf(dib));
  ASSERT_EQ(doc.SetDIB(block.get()), Result::Ok);
}

// Checks that every colour byte went through its channel's table and nothing else moved.
void ExpectMapped(const Bytes& before, const Bytes& after, int32_t width, int bits,
                  const ByteTable& blue, const ByteTable& green, const ByteTable& red) {
  ASSERT_EQ(before.size(), after.size());
  const size_t offset = PixelOffset(bits), stride = *DibStride(width, bits), bytes = bits / 8;
  const ByteTable* channel[4] = {&blue, &green, &red, nullptr};
  for (size_t i = 0; i < before.size(); ++i) {
    const size_t inRow = (i - offset) % stride;
    const bool colour = i >= offset && inRow < width * bytes && (bits == 8 || inRow % bytes < 3);
    const uint8_t expected =
        colour ? (*channel[bits == 8 ? 0 : inRow % bytes])[before[i]] : before[i];
    ASSERT_EQ(after[i], expected) << "byte " << i;
  }
}

TEST(GammaTable, DocumentedValues) {
  const ByteTable identity = GammaTable(1.0f);
  for (int v = 0; v < 256; ++v) EXPECT_EQ(identity[v], v);
  const ByteTable brighter = GammaTable(2.2f);
  EXPECT_EQ(brighter[0], 0);
  EXPECT_EQ(brighter[1], 20);
  EXPECT_EQ(brighter[128], 186);
  EXPECT_EQ(brighter[255], 255);
  const ByteTable darker = GammaTable(0.4f);
  EXPECT_EQ(darker[64], 8);
  EXPECT_EQ(darker[254], 252);
  EXPECT_TRUE(std::is_sorted(brighter.begin(), brighter.end()) &&
              std::is_sorted(darker.begin(), darker.end()));
}

TEST(Gamma, MapsTheColourBytesOfEveryDepthItTakes) {
  for (int bits : {8, 24, 32}) {
    ImageDocument doc;
    const Bytes before = MarkedPicture(5, 3, bits);
    Hold(doc, before);
    ASSERT_EQ(doc.Gamma(2.2f), Result::Ok);
    const ByteTable t = GammaTable(2.2f);
    ExpectMapped(before, test::BytesOf(doc.dib()), 5, bits, t, t, t);
  }
  ImageDocument doc;
  const Bytes before = MarkedPicture(3, 2, 32);
  Hold(doc, before);
  ASSERT_EQ(doc.RGBGamma(1.0f, 1.0f, 1.0f), Result::Ok);
  EXPECT_EQ(test::BytesOf(doc.dib()), before);
  ASSERT_EQ(doc.RGBGamma(2.2f, 1.0f, 0.4f), Result::Ok);
  ExpectMapped(before, test::BytesOf(doc.dib()), 3, 32, GammaTable(0.4f), GammaTable(1.0f),
               GammaTable(2.2f));
}

TEST(Gamma, RefusesFactorsThatAreNotPositive) {
  ImageDocument doc;
  const Bytes before = MarkedPicture(4, 4, 24);
  Hold(doc, before);
  const float inf = std::numeric_limits<float>::infinity(),
              nan = std::numeric_limits<float>::quiet_NaN();
  for (float bad : {0.0f, -0.0f, -1.0f, inf, nan}) {
    EXPECT_EQ(doc.Gamma(bad), Result::BadParameter) << bad;
    EXPECT_EQ(doc.RGBGamma(1.0f, bad, 1.0f), Result::BadParameter) << bad;
  }
  EXPECT_EQ(test::BytesOf(doc.dib()), before);
  ImageDocument empty;
  EXPECT_EQ(empty.Gamma(1.0f), Result::BadParameter);
  EXPECT_EQ(empty.RGBGamma(1.0f, 1.0f, 1.0f), Result::BadParameter);
}

TEST(ContrastTable, PiecewiseLinearThroughTheLevels) {
  const ByteTable stretch = ContrastTable({64, 192, 0, 255});
  for (int v = 0; v < 64; ++v) EXPECT_EQ(stretch[v], 0);
  for (int v = 64; v < 192; ++v) EXPECT_EQ(stretch[v], (v - 64) * 255 / 128) << v;
  EXPECT_EQ(stretch[191], 253);
  for (int v = 192; v < 256; ++v) EXPECT_EQ(stretch[v], 255);

  // Output levels inside the range: three slopes, each product truncated before the offset.
  const ByteTable curve = ContrastTable({100, 200, 50, 150});
  EXPECT_EQ(curve[99], 49);
  EXPECT_EQ(curve[100], 50);
  EXPECT_EQ(curve[199], 149);
  EXPECT_EQ(curve[200], 150);
  EXPECT_EQ(curve[254], 150 + 54 * 105 / 55);
  EXPECT_EQ(curve[255], 255);
  // Input levels at the ends of the range leave no first or last segment.
  const ByteTable ends = ContrastTable({0, 255, 10, 20});
  EXPECT_EQ(ends[0], 10);
  EXPECT_EQ(ends[254], 10 + 254 * 10 / 255);
  EXPECT_EQ(ends[255], 255);
}

using test::Invoke;

TEST(Contrast, TakesItsOutputLevelsFromTheControl) {
  PortableControl control;
  EXPECT_EQ(Invoke(control, "get_ContrastLow"), 0);
  EXPECT_EQ(Invoke(control, "get_ContrastHi"), 255);
  for (double ignored : {256.0, -1.0}) Invoke(control, "put_ContrastLow", {ignored});
  EXPECT_EQ(Invoke(control, "get_ContrastLow"), 0);
  Invoke(control, "put_ContrastLow", {200});
  Invoke(control, "put_ContrastHi", {100});  // no check between the two
  EXPECT_EQ(Invoke(control, "get_ContrastLow"), 200);
  EXPECT_EQ(Invoke(control, "get_ContrastHi"), 100);

  const Bytes before = MarkedPicture(6, 3, 8);
  Hold(control.document(), before);
  EXPECT_EQ(Invoke(control, "Contrast", {64, 192}), 1);  // output levels out of order
  EXPECT_EQ(test::BytesOf(control.document().dib()), before);
  Invoke(control, "put_ContrastLow", {20});
  Invoke(control, "put_ContrastHi", {230});
  ASSERT_EQ(Invoke(control, "Contrast", {64, 192}), 0);
  const ByteTable t = ContrastTable({64, 192, 20, 230});
  ExpectMapped(before, test::BytesOf(control.document().dib()), 6, 8, t, t, t);
}

TEST(Contrast, RefusesLevelsOutOfOrderOrRange) {
  ImageDocument doc;
  EXPECT_EQ(doc.Contrast(64, 192, 0, 255), Result::BadParameter);
  const Bytes before = MarkedPicture(4, 4, 8);
  Hold(doc, before);
  for (const auto& c : std::vector<ContrastLevels>{{64, 64, 0, 255},
                                                   {192, 64, 0, 255},
                                                   {-1, 64, 0, 255},
                                                   {64, 256, 0, 255},
                                                   {64, 192, 9, 9},
                                                   {64, 192, 0, 256}})
    EXPECT_EQ(doc.Contrast(c.low, c.high, c.outLow, c.outHigh), Result::BadParameter);
  EXPECT_EQ(test::BytesOf(doc.dib()), before);
  EXPECT_EQ(doc.Contrast(0, 255, 0, 1), Result::Ok);
}

// An 8-bit picture of every level once, and `extra` more pixels of some levels.
Bytes LevelsPicture(const std::vector<std::pair<int, int>>& extra) {
  std::vector<uint32_t> pixels(256);
  std::iota(pixels.begin(), pixels.end(), 0u);
  for (const auto& [level, count] : extra) pixels.insert(pixels.end(), count, level);
  const int32_t width = 16, height = static_cast<int32_t>((pixels.size() + 15) / 16);
  for (uint32_t level = 0; pixels.size() % width; ++level)
    pixels.push_back(level);  // at most twice
  return test::MakeDibBytes(width, height, 8, test::GrayRamp(),
                            [&](int32_t x, int32_t y) { return pixels[y * width + x]; });
}

TEST(AccentForHistogram, StretchesTheBusyLevelsIntoBands) {
  ImageDocument doc;
  // Levels 50 and 200 (and 120) hold more than 10 pixels: lo 50, hi 200, step 150 / 15 = 10.
  Hold(doc, LevelsPicture({{50, 10}, {120, 20}, {200, 10}, {30, 9}}));
  mem::Owned before(doc.GetDIB());
  ASSERT_EQ(doc.AccentForHistogram(15, 10), Result::Ok);
  std::map<uint32_t, uint32_t> mapped;
  for (int32_t y = 0; y < doc.GetHeight(); ++y)
    for (int32_t x = 0; x < doc.GetWidth(); ++x)
      mapped[test::ColorAt(before.get(), x, y) & 0xFF] = test::ColorAt(doc.dib(), x, y) & 0xFF;
  for (uint32_t v = 0; v <= 59; ++v) EXPECT_EQ(mapped[v], 0u) << v;
  EXPECT_EQ(mapped[60], 1u);
  EXPECT_EQ(mapped[200], 15u);
  EXPECT_EQ(mapped[255], 20u);
}

TEST(AccentForHistogram, RefusesBandsNarrowerThanOneLevel) {
  ImageDocument doc;
  EXPECT_EQ(doc.AccentForHistogram(1, 1), Result::BadParameter);
  const Bytes before = LevelsPicture({{50, 10}, {60, 10}});  // busy levels 50..60
  Hold(doc, before);
  EXPECT_EQ(doc.AccentForHistogram(11, 10), Result::BadParameter);  // 10 / 11 = 0
  EXPECT_EQ(doc.AccentForHistogram(5, 11), Result::BadParameter);   // no level above 11
  EXPECT_EQ(doc.AccentForHistogram(0, 10), Result::BadParameter);
  EXPECT_EQ(doc.AccentForHistogram(5, 0), Result::BadParameter);
  EXPECT_EQ(test::BytesOf(doc.dib()), before);
  EXPECT_EQ(doc.AccentForHistogram(10, 10), Result::Ok);
}

// The 256 counts of a histogram block.
std::vector<uint32_t> Counts(mem::Handle block) {
  const Bytes bytes = test::BytesOf(block);
  EXPECT_EQ(bytes.size(), 1024u);
  std::vector<uint32_t> counts(256);
  for (size_t v = 0; v < 256 && bytes.size() == 1024; ++v) counts[v] = ReadU32(&bytes[4 * v]);
  return counts;
}

TEST(GetHistogram, CountsTheRectangleInPictureRows) {
  ImageDocument doc;
  Hold(doc, test::MakeDibBytes(5, 3, 8, test::GrayRamp(),
                               [](int32_t x, int32_t y) { return y * 5u + x + 1; }));
  mem::Handle block = nullptr;
  ASSERT_EQ(doc.GetHistogram(0, 0, 1, 1, &block), Result::Ok);  // the top-left pixel
  mem::Owned topLeft(block);
  std::vector<uint32_t> expected(256, 0);
  expected[1] = 1;
  EXPECT_EQ(Counts(block), expected);

  ASSERT_EQ(doc.GetHistogram(3, 1, 2, 2, &block), Result::Ok);
  mem::Owned corner(block);
  expected.assign(256, 0);
  for (uint32_t v : {9, 10, 14, 15}) expected[v] = 1;
  EXPECT_EQ(Counts(block), expected);

  ASSERT_EQ(doc.GetHistogram(0, 0, 5, 3, &block), Result::Ok);  // padding is not counted
  mem::Owned whole(block);
  EXPECT_EQ(Counts(block)[0], 0u);
}

TEST(GetHistogram, RefusesRectanglesOutsideThePicture) {
  ImageDocument doc;
  mem::Handle block = nullptr;
  EXPECT_EQ(doc.GetHistogram(0, 0, 1, 1, &block), Result::BadParameter);
  Hold(doc, MarkedPicture(5, 3, 8));
  for (const auto& r : std::vector<std::array<int32_t, 4>>{{0, 0, 6, 1},
                                                           {0, 0, 1, 4},
                                                           {4, 0, 2, 1},
                                                           {0, 2, 1, 2},
                                                           {-1, 0, 1, 1},
                                                           {0, -1, 1, 1},
                                                           {0, 0, 0, 1},
                                                           {0, 0, 1, 0},
                                                           {INT32_MAX, 0, 1, 1},
                                                           {0, 1, 1, INT32_MAX}})
    EXPECT_EQ(doc.GetHistogram(r[0], r[1], r[2], r[3], &block), Result::BadParameter);
  EXPECT_EQ(doc.GetHistogram(0, 0, 1, 1, nullptr), Result::BadParameter);
  mem::Handle red = nullptr, green = nullptr, blue = nullptr;
  EXPECT_EQ(doc.GetRGBHistogram(0, 0, 6, 1, &red, &green, &blue), Result::BadParameter);
  EXPECT_EQ(doc.GetRGBHistogram(0, 0, 1, 1, &red, nullptr, &blue), Result::BadParameter);
  EXPECT_EQ(block, nullptr);
  EXPECT_TRUE(!red && !green && !blue);
}

TEST(GetRGBHistogram, CountsEachChannelAndNotTheFourthByte) {
  ImageDocument doc;
  Bytes dib = test::MakeDibBytes(
      3, 2, 32, {}, [](int32_t x, int32_t y) { return y ? 0x112233u : 0x445566u + x; });
  for (size_t p = 40 + 3; p < dib.size(); p += 4) dib[p] = kFourth;
  Hold(doc, dib);
  mem::Handle red = nullptr, green = nullptr, blue = nullptr;
  ASSERT_EQ(doc.GetRGBHistogram(1, 0, 2, 2, &red, &green, &blue), Result::Ok);
  mem::Owned r(red), g(green), b(blue);
  std::vector<uint32_t> expected(256, 0);
  expected[0x11] = 2, expected[0x44] = 2;
  EXPECT_EQ(Counts(red), expected);
  expected.assign(256, 0);
  expected[0x22] = 2, expected[0x55] = 2;
  EXPECT_EQ(Counts(green), expected);
  expected.assign(256, 0);
  expected[0x33] = 2, expected[0x67] = 1, expected[0x68] = 1;
  EXPECT_EQ(Counts(blue), expected);
}

TEST(ToneMembers, LogTheirArgumentsAndReplayTheStoredContrastLevels) {
  PortableControl control;
  control.log().StartLogging();
  Hold(control.document(), MarkedPicture(6, 3, 24));
  ASSERT_EQ(Invoke(control, "RGBGamma", {1.5, 1.0, 0.5}), 0);
  ASSERT_EQ(Invoke(control, "Gamma", {2.2}), 0);
  ASSERT_EQ(Invoke(control, "Grayscale", {6, 0.25, 0.5, 0.125}), 0);
  Invoke(control, "put_ContrastLow", {20});
  Invoke(control, "put_ContrastHi", {230});
  const Bytes before = test::BytesOf(control.document().dib());
  ASSERT_EQ(Invoke(control, "Contrast", {64, 192}), 0);
  const Bytes contrasted = test::BytesOf(control.document().dib());
  ASSERT_EQ(Invoke(control, "Gamma", {0.0}), 1);  // refused: not logged

  const std::vector<LogEntry>& entries = control.log().entries();
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[0].code, 79);
  float red = 0;
  std::memcpy(&red, entries[0].parameters.data(), 4);
  EXPECT_EQ(red, 1.5f);
  EXPECT_EQ(entries[1].code, 78);
  EXPECT_EQ(entries[1].parameters.size(), 4u);
  EXPECT_EQ(entries[2].code, 19);
  ASSERT_EQ(entries[2].parameters.size(), 32u);
  double blue = 0;
  std::memcpy(&blue, &entries[2].parameters[24], 8);
  EXPECT_EQ(blue, 0.125);
  EXPECT_EQ(entries[3].code, 77);
  const Bytes levels = {64, 0, 0, 0, 192, 0, 0, 0, 20, 0, 0, 0, 230, 0, 0, 0};
  EXPECT_EQ(entries[3].parameters, levels);

  // Replay takes the levels stored in the entry, not the control's present ones.
  Invoke(control, "put_ContrastLow", {0});
  Invoke(control, "put_ContrastHi", {255});
  Hold(control.document(), before);
  ASSERT_EQ(ReplayEntry(control, entries[3]), Result::Ok);
  EXPECT_EQ(test::BytesOf(control.document().dib()), contrasted);
}

}  // namespace
}  // namespace pv
