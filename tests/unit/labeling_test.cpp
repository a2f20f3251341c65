#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "document/image_document.h"
#include "gray_plane.h"

namespace pv {
namespace {

using test::Bytes;
using test::Plane;

// A plane from text rows, top row of the picture first: '.' is 0, '#' 255, a digit its value.
Plane FromText(std::initializer_list<const char*> rows) {
  const std::vector<std::string> lines(rows.begin(), rows.end());
  Plane p =
      test::Filled(static_cast<int32_t>(lines[0].size()), static_cast<int32_t>(lines.size()), 0);
  for (int32_t r = 0; r < p.height; ++r)
    for (int32_t x = 0; x < p.width; ++x) {
      const char c = lines[p.height - 1 - r][x];
      p.at(r, x) = c == '#' ? 255 : c == '.' ? 0 : static_cast<uint8_t>(c - '0');
    }
  return p;
}

struct Labelled {
  Result result;
  Bytes dib;  // the whole DIB afterwards
  Plane plane;
};

Labelled Label(const Plane& p, int32_t min, int32_t max, int32_t back) {
  ImageDocument doc;
  test::Load(doc, p);
  const Result result = doc.Labeling(min, max, back);
  return {result, test::BytesOf(doc.dib()), test::PlaneOf(doc.dib())};
}

// Reference from the definition: regions by flood fill over the 8-neighbourhood, numbered in the
// order of their first pixel in memory order; false when more than 255 would be kept.
bool ReferenceLabels(const Plane& src, int64_t min, int64_t max, uint8_t b, Plane* out) {
  std::vector<int> region(src.pixels.size(), -1);
  std::vector<std::vector<size_t>> members;
  for (size_t start = 0; start < src.pixels.size(); ++start) {
    if (src.pixels[start] == b || region[start] >= 0) continue;
    std::vector<size_t> todo = {start}, all;
    region[start] = static_cast<int>(members.size());
    while (!todo.empty()) {
      const size_t i = todo.back();
      todo.pop_back();
      all.push_back(i);
      const int32_t r = static_cast<int32_t>(i / src.width),
                    x = static_cast<int32_t>(i % src.width);
      for (int dr = -1; dr <= 1; ++dr)
        for (int dx = -1; dx <= 1; ++dx) {
          const int32_t rr = r + dr, xx = x + dx;
          if (rr < 0 || rr >= src.height || xx < 0 || xx >= src.width) continue;
          const size_t j = static_cast<size_t>(rr) * src.width + xx;
          if (src.pixels[j] != b && region[j] < 0) {
            region[j] = region[start];
            todo.push_back(j);
          }
        }
    }
    members.push_back(all);
  }
  *out = test::Filled(src.width, src.height, 0);
  int kept = 0;
  for (const auto& m : members) {
    if (static_cast<int64_t>(m.size()) < min || static_cast<int64_t>(m.size()) > max) continue;
    if (++kept > 255) return false;
    for (size_t i : m) out->pixels[i] = static_cast<uint8_t>(kept);
  }
  return true;
}

TEST(Labeling, NumbersRegionsFromTheBottomRowJoiningDiagonals) {
  const Labelled out = Label(FromText({
                                 "##.....",
                                 "#......",
                                 "...#...",
                                 ".#..#..",
                                 ".....##",
                             }),
                             -1, -1, 0);
  ASSERT_EQ(out.result, Result::Ok);
  EXPECT_EQ(out.plane, FromText({
                           "33.....",
                           "3......",
                           "...1...",
                           ".2..1..",
                           ".....11",
                       }));
}

TEST(Labeling, RowEndsDoNotWrap) {
  // In memory order the right end of one row is followed by the left end of the next.
  EXPECT_EQ(Label(FromText({"#...", "...#"}), -1, -1, 0).plane, FromText({"2...", "...1"}));
  EXPECT_EQ(Label(FromText({"#..#", "#..#"}), -1, -1, 0).plane, FromText({"1..2", "1..2"}));
}

// The equivalence table must keep every join: here the region is met as three provisional
// labels whose joins arrive in an order that a one-step lookup would lose.
TEST(Labeling, ARegionJoinedLateStaysOneRegion) {
  const Labelled out = Label(FromText({".##.###.", ".#.#####", ".#....#."}), -1, -1, 0);
  ASSERT_EQ(out.result, Result::Ok);
  EXPECT_EQ(out.plane, FromText({".11.111.", ".1.11111", ".1....1."}));
}

TEST(Labeling, SizeFilterAndBackground) {
  const Plane p = FromText({"###....#", "###.....", "###..##.", "....###."});
  EXPECT_EQ(Label(p, 6, -1, 0).plane, FromText({"111.....", "111.....", "111.....", "........"}));
  EXPECT_EQ(Label(p, 2, 5, 0).plane, FromText({"........", "........", ".....11.", "....111."}));
  EXPECT_EQ(Label(p, -1, 1, 0).plane, FromText({".......1", "........", "........", "........"}));
  EXPECT_EQ(Label(p, 10, -1, 0).plane, test::Filled(8, 4, 0));
  // Background 255: the 0 pixels are the regions; everything else ends as 0, other values count
  // as foreground.
  EXPECT_EQ(Label(FromText({"##0###", "#00#7#", "######"}), -1, -1, 1).plane,
            FromText({"..1...", ".11.2.", "......"}));
}

TEST(Labeling, KeepsAtMost255Regions) {
  // Isolated pixels on every other column of every other row.
  auto spots = [](int count) {
    Plane p = test::Filled(32, 2 * ((count + 15) / 16), 0);
    for (int i = 0; i < count; ++i) p.at(2 * (i / 16), 2 * (i % 16)) = 255;
    return p;
  };
  const Labelled most = Label(spots(255), -1, -1, 0);
  ASSERT_EQ(most.result, Result::Ok);
  for (int i = 0; i < 255; ++i) ASSERT_EQ(most.plane.at(2 * (i / 16), 2 * (i % 16)), i + 1);

  const Plane many = spots(256);
  mem::Owned original(test::DibOf(many));
  const Labelled refused = Label(many, -1, -1, 0);
  EXPECT_EQ(refused.result, Result::TooManyLabels);
  EXPECT_EQ(refused.dib, test::BytesOf(original.get()));  // padding included
  // Filtered down to 255 it is fine again.
  Plane plus = many;
  plus.at(1, 0) = 255;
  EXPECT_EQ(Label(plus, 2, -1, 0).result, Result::Ok);
}

TEST(Labeling, MatchesTheReferenceOnRandomImages) {
  for (uint32_t seed = 1; seed <= 400; ++seed) {
    std::mt19937 random(seed);
    // Now and then a picture big and sparse enough for more than 255 regions.
    const bool large = seed % 10 == 0;
    const int32_t w = large ? 70 : 1 + random() % (seed % 9 ? 40 : 1);
    const int32_t h = large ? 50 : 1 + random() % (seed % 11 ? 30 : 1);
    const int density = static_cast<int>(random() % (large ? 30 : 100));
    const int32_t back = seed % 4 == 0;
    const uint8_t b = back ? 255 : 0;
    Plane p = test::Filled(w, h, b);
    for (uint8_t& v : p.pixels)
      if (static_cast<int>(random() % 100) < density)
        v = seed % 5 ? static_cast<uint8_t>(255 - b) : 99;
    const int32_t min = seed % 3 ? -1 : static_cast<int32_t>(random() % 8);
    const int32_t max = seed % 7 ? -1 : std::max(min, 0) + static_cast<int32_t>(1 + random() % 20);
    const int64_t low = min == -1 ? 0 : min, high = max == -1 ? int64_t{w} * h : max;
    const Labelled out = Label(p, min, max, back);
    if (low > high) {  // a size filter larger than the image
      EXPECT_EQ(out.result, Result::BadParameter) << "seed " << seed;
      continue;
    }
    Plane expected;
    const bool fits = ReferenceLabels(p, low, high, b, &expected);
    if (!fits) {
      EXPECT_EQ(out.result, Result::TooManyLabels) << "seed " << seed;
      EXPECT_EQ(out.plane, p) << "seed " << seed;
      continue;
    }
    ASSERT_EQ(out.result, Result::Ok) << "seed " << seed;
    ASSERT_EQ(out.plane, expected) << "seed " << seed;
    const size_t stride = *DibStride(w, 8);
    for (int32_t r = 0; r < h; ++r)
      for (size_t x = w; x < stride; ++x)
        ASSERT_EQ(out.dib[PixelOffset(8) + stride * r + x], 0) << "padding";
  }
}

TEST(Labeling, RefusesBadRanges) {
  const Plane p = FromText({"#.#", "..."});
  for (auto [min, max] : {std::pair{5, 3}, {-2, -1}, {0, 0}, {-1, -5}, {2, 1}})
    EXPECT_EQ(Label(p, min, max, 0).result, Result::BadParameter) << min << " " << max;
  EXPECT_EQ(Label(p, 1, 1, 0).result, Result::Ok);
  ImageDocument empty;  // the image is looked for before the range
  EXPECT_EQ(empty.Labeling(5, 3, 0), Result::NoImage);
}

}  // namespace
}  // namespace pv
