#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "document/image_document.h"
#include "ops/octree.h"
#include "test_support.h"

namespace pv {
namespace {

using test::Bytes;

// A document holding a 24-bit picture of the given colours (0xRRGGBB), row-major from the top.
void Hold(ImageDocument& doc, int32_t width, int32_t height, const std::vector<uint32_t>& colors) {
  mem::Owned dib(test::MakeDib(width, height, 24, {}, [&](int32_t x, int32_t y) {
    return colors[(y * width + x) % colors.size()];
  }));
  ASSERT_EQ(doc.SetDIB(dib.get()), Result::Ok);
}

std::vector<uint32_t> Colors(const ImageDocument& doc) {
  std::vector<uint32_t> colors;
  for (int32_t y = 0; y < doc.GetHeight(); ++y)
    for (int32_t x = 0; x < doc.GetWidth(); ++x) colors.push_back(test::ColorAt(doc.dib(), x, y));
  return colors;
}

std::vector<uint32_t> TableColors(const ImageDocument& doc, int entries) {
  std::vector<uint32_t> table;
  for (int i = 0; i < entries; ++i) {
    int32_t c = 0;
    EXPECT_EQ(doc.GetPalette(i, &c), Result::Ok);
    table.push_back(static_cast<uint32_t>(c));  // COLORREF 0x00BBGGRR
  }
  return table;
}

// Counts the display bitmaps built, to see whether an operation laid out again.
class CountingDisplay : public HeadlessDisplay {
 public:
  Result BuildDisplayBitmap(mem::Handle dib) override {
    ++builds;
    return HeadlessDisplay::BuildDisplayBitmap(dib);
  }
  int builds = 0;
};

TEST(ColorRes, SameDepthChangesNothingAndDoesNotLayOut) {
  CountingDisplay display;
  ImageDocument doc(&display);
  Hold(doc, 3, 3, {0x123456, 0x654321});
  const Bytes before = test::BytesOf(doc.dib());
  const int builds = display.builds;
  EXPECT_EQ(doc.ColorRes(24, 0, 0, 0), Result::Ok);
  EXPECT_EQ(test::BytesOf(doc.dib()), before);
  EXPECT_EQ(display.builds, builds);
}

TEST(ColorRes, ChecksArgumentsAndImage) {
  ImageDocument doc;
  EXPECT_EQ(doc.ColorRes(3, 0, 0, 0), Result::BadParameter);
  EXPECT_EQ(doc.ColorRes(8, 0, 0, 0), Result::NoImage);
  Hold(doc, 2, 2, {0, 0xFFFFFF});
  ASSERT_EQ(doc.ColorRes(1, 0, 0, 0), Result::Ok);
  EXPECT_EQ(doc.ColorRes(2, 0, 0, 0), Result::BadParameter);
  EXPECT_EQ(doc.GetBitmapBits(), 1);
}

TEST(ColorRes, TwoColoursToOneBitSortByValue) {
  ImageDocument doc;
  Hold(doc, 5, 3, {0xFF0000, 0x0000FF});
  ASSERT_EQ(doc.ColorRes(1, 0, 0, 0), Result::Ok);
  EXPECT_EQ(doc.GetPaletteSize(), 8);
  EXPECT_EQ(TableColors(doc, 2), (std::vector<uint32_t>{0xFF0000, 0x0000FF}));  // blue, then red
  EXPECT_EQ(Colors(doc)[0], 0xFF0000u);
  EXPECT_EQ(Colors(doc)[1], 0x0000FFu);

  Hold(doc, 5, 3, {0xFF0000, 0x0000FF, 0x00FF00});
  const Bytes before = test::BytesOf(doc.dib());
  EXPECT_EQ(doc.ColorRes(1, 0, 0, 0), Result::TooManyColours);
  EXPECT_EQ(test::BytesOf(doc.dib()), before);
}

TEST(ColorRes, PaletteReductionKeepsEveryPixelsColour) {
  // An 8-bit picture using indices 0..n-1, whose table repeats colours in pairs.
  for (int used : {16, 17}) {
    const Bytes table =
        test::Table(256, [](size_t i) { return static_cast<uint32_t>((255 - i / 2) * 0x010203); });
    mem::Owned dib(test::MakeDib(used, 2, 8, table, [](int32_t x, int32_t) { return x; }));
    ImageDocument doc;
    ASSERT_EQ(doc.SetDIB(dib.get()), Result::Ok);
    const auto colors = Colors(doc);
    if (used == 17) {
      EXPECT_EQ(doc.ColorRes(4, 0, 0, 0), Result::TooManyColours);
      continue;
    }
    ASSERT_EQ(doc.ColorRes(4, 0, 0, 0), Result::Ok);
    EXPECT_EQ(Colors(doc), colors);
    const auto reduced = TableColors(doc, 16);
    // Ascending by value; equal colours stay separate entries.
    for (int k = 1; k < 16; ++k) {
      const uint32_t a = reduced[k - 1], b = reduced[k];
      const uint32_t va = (a & 0xFF) << 16 | (a & 0xFF00) | a >> 16,
                     vb = (b & 0xFF) << 16 | (b & 0xFF00) | b >> 16;
      EXPECT_LE(va, vb);
    }
    EXPECT_EQ(reduced[0], reduced[1]);
  }
}

TEST(ColorRes, SixteenBitsDropLowBitsAndThirtyTwoBitsKeepAll) {
  std::vector<uint32_t> colors;
  for (uint32_t i = 0; i < 64; ++i) colors.push_back((i * 0x0F1D2B + 0x070305) & 0xFFFFFF);
  ImageDocument doc;
  Hold(doc, 8, 8, colors);
  ASSERT_EQ(doc.ColorRes(32, 0, 0, 0), Result::Ok);
  ASSERT_EQ(doc.ColorRes(24, 0, 0, 0), Result::Ok);
  EXPECT_EQ(Colors(doc), colors);
  ASSERT_EQ(doc.ColorRes(16, 0, 0, 0), Result::Ok);
  ASSERT_EQ(doc.ColorRes(24, 0, 0, 0), Result::Ok);
  const auto rounded = Colors(doc);
  for (size_t i = 0; i < colors.size(); ++i) EXPECT_EQ(rounded[i], colors[i] & 0xF8FCF8) << i;
}

TEST(ColorRes, SixteenBitLayoutIsBlueHighGreenRedLow) {
  ImageDocument doc;
  Hold(doc, 1, 1, {0xFFFFFF});
  ASSERT_EQ(doc.ColorRes(16, 0, 0, 0), Result::Ok);
  Hold(doc, 1, 1, {0x123456});  // red 0x12, green 0x34, blue 0x56
  ASSERT_EQ(doc.ColorRes(16, 0, 0, 0), Result::Ok);
  DibLock lock(doc.dib());
  EXPECT_EQ(lock.view().bits[0], (0x56 & 0xF8) | (0x34 >> 5));
  EXPECT_EQ(lock.view().bits[1], ((0x34 & 0x1C) << 3) | (0x12 >> 3));
}

TEST(ColorRes, FewColoursQuantizeExactlyInTreeOrder) {
  std::vector<uint32_t> colors;
  std::mt19937 random(5);
  std::set<uint32_t> distinct;
  while (distinct.size() < 200) distinct.insert(random() & 0xFFFFFF);
  colors.assign(distinct.begin(), distinct.end());
  ImageDocument doc;
  Hold(doc, 20, 10, colors);
  ASSERT_EQ(doc.ColorRes(8, 0, 0, 0), Result::Ok);
  EXPECT_EQ(Colors(doc), colors);
  // Leaves are visited with red, green, blue bits interleaved from the top bit down.
  auto interleaved = [](uint32_t c) {
    uint32_t key = 0;
    for (int bit = 7; bit >= 0; --bit)
      key =
          key << 3 | ((c >> (16 + bit)) & 1) << 2 | ((c >> (8 + bit)) & 1) << 1 | ((c >> bit) & 1);
    return key;
  };
  std::sort(colors.begin(), colors.end(),
            [&](uint32_t a, uint32_t b) { return interleaved(a) < interleaved(b); });
  const auto table = TableColors(doc, 256);
  for (size_t k = 0; k < 256; ++k) {
    const uint32_t c = k < colors.size() ? colors[k] : 0;
    EXPECT_EQ(table[k], (c & 0xFF) << 16 | (c & 0xFF00) | c >> 16) << k;
  }
}

TEST(ColorRes, EveryRouteConvertsThePixels) {
  // Two colours that every depth holds exactly, so each conversion must keep every pixel.
  const std::vector<uint32_t> colors = {0x000000, 0xF8FCF8, 0xF8FCF8, 0x000000, 0x000000};
  const int depths[] = {1, 2, 4, 8, 16, 24, 32};
  for (int from : depths) {
    for (int to : depths) {
      SCOPED_TRACE(std::to_string(from) + " to " + std::to_string(to));
      // Two-bit images come only from reductions.
      ImageDocument doc;
      Hold(doc, 7, 3, colors);
      if (from == 2) {
        ASSERT_EQ(doc.ColorRes(4, 0, 0, 0), Result::Ok);
      }
      ASSERT_EQ(doc.ColorRes(static_cast<int16_t>(from), 0, 0, 0), Result::Ok);
      const auto before = Colors(doc);
      const Result converted = doc.ColorRes(static_cast<int16_t>(to), 0, 0, 0);
      if (from == 1 && to == 2) {
        EXPECT_EQ(converted, Result::BadParameter);
        continue;
      }
      ASSERT_EQ(converted, Result::Ok);
      EXPECT_EQ(doc.GetBitmapBits(), to);
      EXPECT_EQ(Colors(doc), before);
    }
  }
}

TEST(ColorRes, ExpansionsPadTheTableWithZeros) {
  ImageDocument doc;
  Hold(doc, 9, 2, {0x102030, 0x405060});
  ASSERT_EQ(doc.ColorRes(1, 0, 0, 0), Result::Ok);
  ASSERT_EQ(doc.ColorRes(4, 0, 0, 0), Result::Ok);
  EXPECT_EQ(doc.GetPaletteSize(), 64);
  EXPECT_EQ(TableColors(doc, 3), (std::vector<uint32_t>{0x302010, 0x605040, 0}));
  ASSERT_EQ(doc.ColorRes(8, 0, 0, 0), Result::Ok);
  EXPECT_EQ(doc.GetPaletteSize(), 1024);
  EXPECT_EQ(Colors(doc)[1], 0x405060u);
}

TEST(Octree, StaysWithinItsNodeLimit) {
  OctreeQuantizer tree;
  ASSERT_TRUE(tree.ok());
  std::mt19937 random(11);
  for (int i = 0; i < 400000; ++i) {
    const uint32_t c = random();
    tree.Insert(static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8),
                static_cast<uint8_t>(c >> 16));
    ASSERT_LE(tree.nodeCount(), OctreeQuantizer::kNodeLimit);
  }
  EXPECT_GT(tree.peakNodeCount(), OctreeQuantizer::kNodeTarget);
  tree.Reduce();
  EXPECT_LE(tree.leafCount(), 256u);
  uint8_t table[1024];
  tree.FillPalette(table);
  for (int i = 0; i < 1000; ++i) {
    const uint32_t c = random();
    EXPECT_LT(tree.Lookup(c & 0xFF, (c >> 8) & 0xFF, c >> 16 & 0xFF), tree.leafCount());
  }
}

TEST(Octree, SumsDoNotOverflowOnLargeBrightLeaves) {
  OctreeQuantizer tree;
  // More than 2^31 / 255 pixels of one bright colour.
  for (int i = 0; i < 8500000; ++i) tree.Insert(255, 254, 253);
  tree.Reduce();
  uint8_t table[1024];
  tree.FillPalette(table);
  EXPECT_EQ(table[0], 253);
  EXPECT_EQ(table[1], 254);
  EXPECT_EQ(table[2], 255);
}

}  // namespace
}  // namespace pv
