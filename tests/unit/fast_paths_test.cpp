// The optimised paths against the straightforward ones they replace, on random images of every
// depth each path accepts: odd widths (padded rows), single rows and columns, tiny sizes.
#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <tuple>
#include <vector>

#include "formats/tiff_codec.h"
#include "formats/tiff_pixels.h"
#include "ops/byte_table.h"
#include "ops/filters.h"
#include "ops/octree.h"
#include "ops/resample.h"
#include "test_support.h"

namespace pv {
namespace {

using test::Bytes;

// Width × height pairs that catch edge handling: tiny, one row or column, odd widths; and rows
// longer than the stretches row forms work in.
const std::vector<std::pair<int32_t, int32_t>> kSizes = {
    {1, 1}, {2, 1},  {1, 2},  {3, 3},  {1, 17},   {17, 1},  {5, 4},
    {6, 7}, {31, 9}, {33, 2}, {64, 5}, {101, 13}, {259, 3}, {517, 4}};

Bytes RandomBytes(std::mt19937& random, size_t n) {
  Bytes bytes(n);
  for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
  return bytes;
}

// An 8-bit grey DIB (a grey-ramp table) of random pixels.
mem::Handle RandomGreyDib(std::mt19937& random, int32_t width, int32_t height) {
  return test::MakeDib(width, height, 8, test::GrayRamp(),
                       [&](int32_t, int32_t) { return random(); });
}

// A DIB of random pixels (random table colours below 16 bits, a random fourth byte at 32);
// padding bytes stay zero.
mem::Handle RandomDib(std::mt19937& random, int32_t width, int32_t height, int bits) {
  const Bytes table =
      bits <= 8 ? test::Table(size_t{1} << bits, [&](size_t) { return random(); }) : Bytes();
  Bytes dib =
      test::MakeDibBytes(width, height, bits, table, [&](int32_t, int32_t) { return random(); });
  if (bits == 32)
    for (size_t i = kDibHeaderBytes + 3; i < dib.size(); i += 4)
      dib[i] = static_cast<uint8_t>(random());
  return test::BlockOf(dib);
}

// Two copies of `dib`, one run through `fast`, one through `reference`; their bytes must agree.
template <typename Fast, typename Reference>
void ExpectSameInPlace(mem::Handle dib, Fast fast, Reference reference) {
  mem::Owned a(mem::AllocCopy(test::BytesOf(dib).data(), mem::Size(dib)));
  mem::Owned b(mem::AllocCopy(test::BytesOf(dib).data(), mem::Size(dib)));
  DibLock lockA(a.get()), lockB(b.get());
  const Result ra = fast(lockA.view()), rb = reference(lockB.view());
  EXPECT_EQ(ra, rb);
  EXPECT_EQ(test::BytesOf(a.get()), test::BytesOf(b.get()));
}

TEST(FilterFastPaths, RowFormsEqualThePixelByPixelFilter) {
  std::mt19937 random(4);
  const Filter filters[] = {Filter::Smooth, Filter::MaxDensity, Filter::MinDensity, Filter::Sobel};
  for (const Filter filter : filters)
    for (int bits : {8, 24, 32}) {
      if (filter != Filter::Smooth && bits != 8) continue;
      for (const auto& [width, height] : kSizes) {
        SCOPED_TRACE(testing::Message()
                     << "filter " << int(filter) << " " << width << "x" << height << "x" << bits);
        // Random bytes, and only the extremes (the largest sums, the clipping).
        mem::Owned dib(RandomDib(random, width, height, bits));
        mem::Owned extremes(
            test::MakeDib(width, height, bits, bits == 8 ? test::GrayRamp() : Bytes(),
                          [&](int32_t, int32_t) { return random() & 1 ? 0xFFFFFFu : 0u; }));
        for (mem::Handle h : {dib.get(), extremes.get()})
          ExpectSameInPlace(
              h, [&](const DibView& v) { return ApplyFilter(v, filter); },
              [&](const DibView& v) { return ApplyFilterPerPixel(v, filter); });
      }
    }
}

// Grey and colour-table 8 bits, 24 and 32 bits, through every box method (the grey-only ones
// refuse the others alike), at whole, fractional and mixed factors.
TEST(ResampleFastPaths, BoxEnlargementsEqualTheCoveredPixelSums) {
  std::mt19937 random(5);
  const std::pair<double, double> factors[] = {{2, 2},   {3, 1},   {1, 3},      {2, 5},
                                               {4, 4},   {7, 1},   {1.5, 2},    {2, 2.5},
                                               {0.5, 2}, {2, 0.5}, {1.25, 1.25}};
  for (int bits : {8, 24, 32, 0})  // 0: 8-bit grey
    for (const auto& [width, height] : kSizes) {
      mem::Owned dib(bits ? RandomDib(random, width, height, bits)
                          : RandomGreyDib(random, width, height));
      DibLock lock(dib.get());
      for (const auto& [sx, sy] : factors)
        for (int method : {kScaleAverage, kScaleLargest, kScaleSmallest}) {
          SCOPED_TRACE(testing::Message() << width << "x" << height << "x" << bits << " by " << sx
                                          << "," << sy << " method " << method);
          mem::Handle fast = nullptr, slow = nullptr;
          ASSERT_EQ(ScaleDib(lock.view(), sx, sy, method, &fast),
                    ScaleDibWithoutShortcuts(lock.view(), sx, sy, method, &slow));
          mem::Owned a(fast), b(slow);
          EXPECT_EQ(test::BytesOf(a.get()), test::BytesOf(b.get()));
        }
    }
}

// Scalings, and turns so small that rows stay level, at every depth (those below 8 bits are
// refused alike), with the backgrounds the edges fall back on.
TEST(ResampleFastPaths, LevelRowsEqualThePixelByPixelInterpolation) {
  std::mt19937 random(7);
  const Interpolation jobs[] = {{0.5, 0.5, 0, false, 0},  {2, 2, 0, false, 0},
                                {0.37, 1.6, 0, false, 0}, {3, 0.5, 0, false, 0},
                                {1, 1.5, 0, false, 0},    {1, 1, 0.01, false, 0x123456},
                                {1, 1, 0.01, true, 7},    {1, 1, 30, false, 0x0000FF}};
  for (int bits : {4, 8, 16, 24, 32, 0})  // 0: 8-bit grey
    for (const auto& [width, height] : kSizes) {
      mem::Owned dib(bits ? RandomDib(random, width, height, bits)
                          : RandomGreyDib(random, width, height));
      DibLock lock(dib.get());
      for (const Interpolation& job : jobs) {
        SCOPED_TRACE(testing::Message() << width << "x" << height << "x" << bits << " by " << job.sx
                                        << "," << job.sy << " turned " << job.angle);
        mem::Handle fast = nullptr, slow = nullptr;
        ASSERT_EQ(InterpolateDib(lock.view(), job, &fast),
                  InterpolateDibPerPixel(lock.view(), job, &slow));
        mem::Owned a(fast), b(slow);
        EXPECT_EQ(test::BytesOf(a.get()), test::BytesOf(b.get()));
      }
    }
}

// Turns on every side of the quarter turns, the canvas kept and grown, at every depth (those
// below 8 bits are refused alike): the runs without bounds checks, the background runs and the
// pixels between, against the pixel-by-pixel interpolation. Random sizes beside the fixed ones,
// some large enough for long interior runs.
TEST(ResampleFastPaths, TurnedRowsEqualThePixelByPixelInterpolation) {
  std::mt19937 random(8);
  std::vector<std::pair<int32_t, int32_t>> sizes = kSizes;
  for (int i = 0; i < 4; ++i)
    sizes.push_back(
        {1 + static_cast<int32_t>(random() % 60), 1 + static_cast<int32_t>(random() % 60)});
  sizes.push_back({160, 120});
  const double angles[] = {7.5, 30, 45, 89.9, 89.99, 135, 200, 315, -7.5, 0.2};
  // A grey value, COLORREF or table index; the last is no index, so a colour table refuses it.
  const std::pair<bool, int32_t> canvases[] = {{false, 200}, {true, 9}, {false, 0x203040}};
  for (int bits : {4, 8, 16, 24, 32, 0})  // 0: 8-bit grey
    for (const auto& [width, height] : sizes) {
      mem::Owned dib(bits ? RandomDib(random, width, height, bits)
                          : RandomGreyDib(random, width, height));
      DibLock lock(dib.get());
      // A colour table builds its octree on every call: four angles do for it.
      for (size_t i = 0; i < (bits == 8 ? 4 : std::size(angles)); ++i)
        for (const auto& [keep, background] : canvases) {
          const double angle = angles[i];
          SCOPED_TRACE(testing::Message() << width << "x" << height << "x" << bits << " turned "
                                          << angle << " keep " << keep << " on " << background);
          const Interpolation job{1, 1, angle, keep, background};
          mem::Handle fast = nullptr, slow = nullptr;
          ASSERT_EQ(InterpolateDib(lock.view(), job, &fast),
                    InterpolateDibPerPixel(lock.view(), job, &slow));
          mem::Owned a(fast), b(slow);
          ASSERT_EQ(test::BytesOf(a.get()), test::BytesOf(b.get()));
        }
    }
}

TEST(ByteTableFastPaths, OneTableEqualsThreeAndGroupsEqualSingleBytes) {
  std::mt19937 random(6);
  ByteTable table;
  for (uint8_t& entry : table) entry = static_cast<uint8_t>(random());
  for (size_t count = 0; count < 40; ++count) {
    const Bytes in = RandomBytes(random, count);
    Bytes out(count), expected(count);
    MapBytes(in.data(), out.data(), count, table);
    for (size_t i = 0; i < count; ++i) expected[i] = table[in[i]];
    EXPECT_EQ(out, expected) << count;
  }
  for (int bits : {8, 24, 32})
    for (const auto& [width, height] : kSizes) {
      SCOPED_TRACE(testing::Message() << width << "x" << height << "x" << bits);
      mem::Owned dib(RandomDib(random, width, height, bits));
      ExpectSameInPlace(
          dib.get(), [&](const DibView& v) { return MapPixels(v, table), Result::Ok; },
          [&](const DibView& v) { return MapPixels(v, table, table, table), Result::Ok; });
    }
}

// Trees reduced from few, clustered and scattered colours; every colour of a fine grid and
// every colour inserted is looked up both ways.
TEST(OctreeFastPaths, TableLookupsEqualWalks) {
  for (unsigned seed = 1; seed <= 4; ++seed) {
    SCOPED_TRACE(seed);
    std::mt19937 random(seed);
    OctreeQuantizer tree(3000, 2800);
    std::vector<uint32_t> colors;
    const size_t count = seed == 1 ? 40 : 20000;
    for (size_t i = 0; i < count; ++i)
      colors.push_back(seed % 2 ? random() & 0xFFFFFF
                                : (0x406080 + (random() & 0x0F1F3F) * (seed - 1)) & 0xFFFFFF);
    for (uint32_t c : colors) tree.Insert(c >> 16, (c >> 8) & 0xFF, c & 0xFF);
    tree.Reduce();
    for (int r = 0; r < 256; r += 5)
      for (int g = 0; g < 256; g += 3)
        for (int b = 0; b < 256; b += 7)
          ASSERT_EQ(tree.Lookup(r, g, b), tree.LookupByWalk(r, g, b)) << r << "," << g << "," << b;
    for (uint32_t c : colors) {
      const uint8_t r = c >> 16, g = (c >> 8) & 0xFF, b = c & 0xFF;
      ASSERT_EQ(tree.Lookup(r, g, b), tree.LookupByWalk(r, g, b)) << c;
    }
  }
}

TEST(SwapRedBlue, FastFormsEqualBytesAndStayInsideTheRun) {
  using Swap = void (*)(const uint8_t*, uint8_t*, size_t);
  std::mt19937 random(1);
  for (const Swap swap : {Swap{SwapRedBlue}, Swap{SwapRedBlueWords}})
    for (size_t pixels = 0; pixels < 40; ++pixels) {
      const Bytes in = RandomBytes(random, 3 * pixels + 1);
      Bytes fast(3 * pixels + 1, 0xA5), slow = fast;
      swap(in.data(), fast.data(), pixels);
      SwapRedBlueBytewise(in.data(), slow.data(), pixels);
      EXPECT_EQ(fast, slow) << pixels;
      EXPECT_EQ(fast.back(), 0xA5) << pixels;
    }
}

// The rows of a written file equal the DIB's rows top first, byte-swapped one sample at a time.
TEST(TiffFastPaths, WrittenRowsAndReadBackMatchTheDib) {
  std::mt19937 random(2);
  std::vector<std::pair<int32_t, int32_t>> sizes = kSizes;
  sizes.push_back({3001, 3});  // one row per strip, several strips
  for (const auto& [width, height] : sizes)
    for (int bits : {8, 24}) {
      SCOPED_TRACE(testing::Message() << width << "x" << height << "x" << bits);
      mem::Owned dib(RandomDib(random, width, height, bits));
      const Bytes file = test::WrittenBy<TiffCodec>(dib.get());
      DibLock lock(dib.get());
      const DibView& view = lock.view();
      const size_t rowBytes = static_cast<size_t>(width) * (bits / 8);
      const uint8_t* rows = file.data() + file.size() - rowBytes * height;
      for (int32_t y = 0; y < height; ++y) {
        Bytes expected(view.row(height - 1 - y), view.row(height - 1 - y) + rowBytes);
        if (bits == 24) SwapRedBlueBytewise(view.row(height - 1 - y), expected.data(), width);
        ASSERT_EQ(Bytes(rows + rowBytes * y, rows + rowBytes * (y + 1)), expected) << y;
      }
      mem::Owned back;
      ASSERT_EQ(test::ReadWith<TiffCodec>(file, &back), Result::Ok);
      const Bytes all = test::BytesOf(back.get()), original = test::BytesOf(dib.get());
      EXPECT_EQ(Bytes(all.begin() + kDibHeaderBytes, all.end()),
                Bytes(original.begin() + kDibHeaderBytes, original.end()));
    }
}

// A little-endian 24-bit TIFF whose strips hold `cut` bytes each (the last the rest), with no
// RowsPerStrip, so that strips start and end at every position inside pixels and rows.
Bytes CutStrips(const Bytes& rgb, uint32_t width, uint32_t height, uint32_t cut) {
  const uint32_t total = static_cast<uint32_t>(rgb.size()), strips = (total + cut - 1) / cut;
  const uint32_t entries = 7, offsets = 8 + 2 + 12 * entries + 4, counts = offsets + 4 * strips;
  const uint32_t pixels = counts + 4 * strips;
  Bytes file(pixels, 0);
  file[0] = file[1] = 'I';
  WriteU16(&file[2], 42);
  WriteU32(&file[4], 8);
  WriteU16(&file[8], entries);
  const uint32_t fields[entries][4] = {
      {256, 4, 1, width}, {257, 4, 1, height},       {258, 3, 1, 24},         {259, 3, 1, 1},
      {262, 3, 1, 2},     {273, 4, strips, offsets}, {279, 4, strips, counts}};
  for (uint32_t i = 0; i < entries; ++i) {
    uint8_t* e = &file[10 + 12 * i];
    WriteU16(e, static_cast<uint16_t>(fields[i][0]));
    WriteU16(e + 2, static_cast<uint16_t>(fields[i][1]));
    WriteU32(e + 4, fields[i][2]);
    WriteU32(e + 8, fields[i][3]);
  }
  if (strips == 1) {  // the single value sits in the entry itself
    WriteU32(&file[10 + 12 * 5 + 8], pixels);
    WriteU32(&file[10 + 12 * 6 + 8], total);
  }
  for (uint32_t s = 0; s < strips; ++s) {
    WriteU32(&file[offsets + 4 * s], pixels + s * cut);
    WriteU32(&file[counts + 4 * s], std::min(cut, total - s * cut));
  }
  file.insert(file.end(), rgb.begin(), rgb.end());
  return file;
}

TEST(TiffFastPaths, StripsCutAnywhereReadLikeOneStrip) {
  std::mt19937 random(3);
  for (const auto& [width, height] :
       {std::pair{1, 1}, std::pair{1, 5}, std::pair{7, 3}, std::pair{10, 4}}) {
    const Bytes rgb = RandomBytes(random, 3u * width * height);
    mem::Owned whole;
    ASSERT_EQ(test::ReadWith<TiffCodec>(
                  CutStrips(rgb, width, height, static_cast<uint32_t>(rgb.size())), &whole),
              Result::Ok);
    for (int32_t y = 0; y < height; ++y)
      for (int32_t x = 0; x < width; ++x) {
        const uint8_t* p = &rgb[3 * (static_cast<size_t>(y) * width + x)];
        ASSERT_EQ(test::ColorAt(whole.get(), x, y), uint32_t{p[0]} << 16 | p[1] << 8 | p[2]);
      }
    for (uint32_t cut = 1; cut <= 8; ++cut) {
      mem::Owned back;
      ASSERT_EQ(test::ReadWith<TiffCodec>(CutStrips(rgb, width, height, cut), &back), Result::Ok)
          << cut;
      EXPECT_EQ(test::BytesOf(back.get()), test::BytesOf(whole.get()))
          << width << "x" << height << " cut " << cut;
    }
  }
}

}  // namespace
}  // namespace pv
