#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <random>

#include "document/image_document.h"
#include "gray_plane.h"

namespace pv {
namespace {

using test::Bytes;
using test::Plane;
using Operation = Result (ImageDocument::*)();

struct NamedFilter {
  const char* name;
  Operation op;
};

const NamedFilter kFilters[] = {
    {"Smooth", &ImageDocument::Smooth},
    {"SmoothAsMaxDensity", &ImageDocument::SmoothAsMaxDensity},
    {"SmoothAsMinDensity", &ImageDocument::SmoothAsMinDensity},
    {"SobelFilter", &ImageDocument::SobelFilter},
    {"RobinsonFilter", &ImageDocument::RobinsonFilter},
    {"LaplacianFilter", &ImageDocument::LaplacianFilter},
};

// The filter's result on a plane, through the document.
Plane Filtered(const Plane& source, Operation op) {
  ImageDocument doc;
  test::Load(doc, source);
  EXPECT_EQ((doc.*op)(), Result::Ok);
  return test::PlaneOf(doc.dib());
}

// ---- reference, written from the definitions --------------------------------------------------

using Mask = std::array<int, 9>;
const Mask kSmoothing = {1, 1, 1, 1, 2, 1, 1, 1, 1};
const Mask kSobelX = {1, 0, -1, 2, 0, -2, 1, 0, -1};
const Mask kSobelY = {1, 2, 1, 0, 0, 0, -1, -2, -1};
const Mask kCompass[8] = {
    {1, 0, -1, 2, 0, -2, 1, 0, -1}, {-1, 0, 1, -2, 0, 2, -1, 0, 1}, {1, 2, 1, 0, 0, 0, -1, -2, -1},
    {-1, -2, -1, 0, 0, 0, 1, 2, 1}, {2, 1, 0, 1, 0, -1, 0, -1, -2}, {-2, -1, 0, -1, 0, 1, 0, 1, 2},
    {0, 1, 2, -1, 0, 1, -2, -1, 0}, {0, -1, -2, 1, 0, -1, 2, 1, 0},
};

int Weighted(const Mask& m, const int p[9]) {
  int sum = 0;
  for (int k = 0; k < 9; ++k) sum += m[k] * p[k];
  return sum;
}

int ReferenceValue(const char* name, const int p[9]) {
  const std::string filter = name;
  if (filter == "Smooth") return Weighted(kSmoothing, p) / 10;
  if (filter == "SmoothAsMaxDensity") return *std::max_element(p, p + 9);
  if (filter == "SmoothAsMinDensity") return *std::min_element(p, p + 9);
  if (filter == "SobelFilter")
    return std::max(std::min(std::abs(Weighted(kSobelX, p)), 255),
                    std::min(std::abs(Weighted(kSobelY, p)), 255));
  if (filter == "RobinsonFilter") {
    int best = 0;
    for (const Mask& m : kCompass) best = std::max(best, Weighted(m, p));
    return std::min(best, 255);
  }
  return std::clamp(p[1] + p[3] + p[5] + p[7] - 4 * p[4] + 128, 0, 255);
}

Plane Reference(const Plane& src, const char* name) {
  Plane out = src;
  for (int32_t r = 1; r + 1 < src.height; ++r)
    for (int32_t x = 1; x + 1 < src.width; ++x) {
      int p[9];
      for (int k = 0; k < 9; ++k) p[k] = src.at(r - 1 + k / 3, x - 1 + k % 3);
      out.at(r, x) = static_cast<uint8_t>(ReferenceValue(name, p));
    }
  return out;
}

// ---- values the filters are known by ----------------------------------------------------------

TEST(NeighbourhoodFilters, UniformImages) {
  for (uint8_t level : {0, 77, 255}) {
    const Plane flat = test::Filled(6, 5, level);
    for (const NamedFilter& f : kFilters) {
      Plane expected = flat;
      const std::string name = f.name;
      const int interior = name == "SobelFilter" || name == "RobinsonFilter" ? 0
                           : name == "LaplacianFilter"                       ? 128
                                                                             : level;
      for (int32_t r = 1; r < 4; ++r)
        for (int32_t x = 1; x < 5; ++x) expected.at(r, x) = static_cast<uint8_t>(interior);
      EXPECT_EQ(Filtered(flat, f.op), expected) << f.name << " level " << int{level};
    }
  }
}

TEST(NeighbourhoodFilters, SingleBrightPixel) {
  Plane dot = test::Filled(7, 7, 0);
  dot.at(3, 3) = 255;
  auto block = [](uint8_t centre, uint8_t ring, uint8_t corner) {
    Plane p = test::Filled(7, 7, 0);
    for (int dr = -1; dr <= 1; ++dr)
      for (int dx = -1; dx <= 1; ++dx)
        p.at(3 + dr, 3 + dx) = dr == 0 && dx == 0 ? centre : dr == 0 || dx == 0 ? ring : corner;
    return p;
  };
  EXPECT_EQ(Filtered(dot, &ImageDocument::Smooth), block(51, 25, 25));
  EXPECT_EQ(Filtered(dot, &ImageDocument::SmoothAsMaxDensity), block(255, 255, 255));
  EXPECT_EQ(Filtered(dot, &ImageDocument::SmoothAsMinDensity), test::Filled(7, 7, 0));
  Plane laplacian = test::Filled(7, 7, 128);
  for (int32_t i = 0; i < 7; ++i)
    laplacian.at(0, i) = laplacian.at(6, i) = laplacian.at(i, 0) = laplacian.at(i, 6) = 0;
  laplacian.at(3, 3) = 0;
  laplacian.at(2, 3) = laplacian.at(4, 3) = laplacian.at(3, 2) = laplacian.at(3, 4) = 255;
  EXPECT_EQ(Filtered(dot, &ImageDocument::LaplacianFilter), laplacian);
}

TEST(NeighbourhoodFilters, SobelMarksBothColumnsOfAStep) {
  Plane step = test::Filled(8, 5, 0);
  for (int32_t r = 0; r < 5; ++r)
    for (int32_t x = 4; x < 8; ++x) step.at(r, x) = 255;
  Plane expected = step;
  for (int32_t r = 1; r < 4; ++r)
    for (int32_t x = 1; x < 7; ++x) expected.at(r, x) = x == 3 || x == 4 ? 255 : 0;
  EXPECT_EQ(Filtered(step, &ImageDocument::SobelFilter), expected);
}

TEST(NeighbourhoodFilters, ThinImagesAndTheirBordersStayUnchanged) {
  std::mt19937 random(5);
  for (auto [w, h] : {std::pair{1, 1}, {1, 9}, {9, 1}, {2, 7}, {7, 2}, {2, 2}}) {
    const Plane p = test::RandomPlane(random, w, h);
    for (const NamedFilter& f : kFilters)
      EXPECT_EQ(Filtered(p, f.op), p) << f.name << " " << w << "x" << h;
  }
}

// ---- every pixel against the reference ---------------------------------------------------------

TEST(NeighbourhoodFilters, MatchTheReferenceOnRandomImages) {
  const Bytes levels[] = {{}, {0, 255}, {0, 1, 2, 254, 255}};
  for (uint32_t seed = 1; seed <= 300; ++seed) {
    std::mt19937 random(seed);
    const int32_t w = 1 + random() % 12, h = 1 + random() % 12;
    const Plane p = test::RandomPlane(random, w, h, levels[seed % 3]);
    for (const NamedFilter& f : kFilters) {
      ImageDocument doc;
      test::Load(doc, p);
      ASSERT_EQ((doc.*(f.op))(), Result::Ok);
      ASSERT_EQ(test::PlaneOf(doc.dib()), Reference(p, f.name)) << f.name << " seed " << seed;
      // Only pixels change: table and padding stay.
      mem::Owned original(test::DibOf(p));
      const Bytes before = test::BytesOf(original.get()), after = test::BytesOf(doc.dib());
      for (int32_t r = 0; r < h; ++r) {
        const size_t start = PixelOffset(8) + *DibStride(w, 8) * r + w,
                     end = PixelOffset(8) + *DibStride(w, 8) * (r + 1);
        ASSERT_TRUE(std::equal(before.begin() + start, before.begin() + end, after.begin() + start))
            << f.name;
      }
      ASSERT_TRUE(std::equal(before.begin(), before.begin() + PixelOffset(8), after.begin()));
    }
  }
}

// 24- and 32-bit pictures are smoothed channel by channel; the fourth byte stays.
TEST(NeighbourhoodFilters, SmoothTreatsColourChannelsApart) {
  for (int bits : {24, 32}) {
    for (uint32_t seed = 1; seed <= 40; ++seed) {
      std::mt19937 random(seed);
      const int32_t w = 1 + random() % 9, h = 1 + random() % 9;
      const int bytes = bits / 8;
      Bytes dib = test::MakeDibBytes(w, h, bits, {}, [](int32_t, int32_t) { return 0u; });
      const size_t stride = *DibStride(w, bits);
      for (size_t i = kDibHeaderBytes; i < dib.size(); ++i) dib[i] = static_cast<uint8_t>(random());
      Bytes expected = dib;
      for (int c = 0; c < bytes; ++c) {
        Plane channel = test::Filled(w, h, 0);
        for (int32_t r = 0; r < h; ++r)
          for (int32_t x = 0; x < w; ++x)
            channel.at(r, x) = dib[kDibHeaderBytes + stride * r + bytes * x + c];
        if (c < 3) channel = Reference(channel, "Smooth");
        for (int32_t r = 0; r < h; ++r)
          for (int32_t x = 0; x < w; ++x)
            expected[kDibHeaderBytes + stride * r + bytes * x + c] = channel.at(r, x);
      }
      ImageDocument doc;
      mem::Owned block(test::BlockOf(dib));
      ASSERT_EQ(doc.SetDIB(block.get()), Result::Ok);
      ASSERT_EQ(doc.Smooth(), Result::Ok);
      ASSERT_EQ(test::BytesOf(doc.dib()), expected) << bits << " bits, seed " << seed;
    }
  }
}

}  // namespace
}  // namespace pv
