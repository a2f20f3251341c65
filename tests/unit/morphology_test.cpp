#include <gtest/gtest.h>

#include <random>

#include "document/image_document.h"
#include "gray_plane.h"

namespace pv {
namespace {

using test::Bytes;
using test::Plane;
using Operation = Result (ImageDocument::*)(int32_t);

Plane Applied(const Plane& source, Operation op, int32_t back) {
  ImageDocument doc;
  test::Load(doc, source);
  EXPECT_EQ((doc.*op)(back), Result::Ok);
  return test::PlaneOf(doc.dib());
}

// A plane of `back` with `fore` pixels at the given (row, column) places.
Plane Dots(int32_t w, int32_t h, uint8_t back, uint8_t fore,
           std::initializer_list<std::pair<int, int>> dots) {
  Plane p = test::Filled(w, h, back);
  for (auto [r, x] : dots) p.at(r, x) = fore;
  return p;
}

Plane Rectangle(int32_t w, int32_t h, uint8_t back, uint8_t fore, int r0, int x0, int rows,
                int cols) {
  Plane p = test::Filled(w, h, back);
  for (int r = r0; r < r0 + rows; ++r)
    for (int x = x0; x < x0 + cols; ++x) p.at(r, x) = fore;
  return p;
}

// ---- references from the definitions -----------------------------------------------------------

// Values of the in-image 8-neighbours of (r, x).
std::vector<uint8_t> Neighbours(const Plane& p, int32_t r, int32_t x) {
  std::vector<uint8_t> values;
  for (int dr = -1; dr <= 1; ++dr)
    for (int dx = -1; dx <= 1; ++dx) {
      const int32_t rr = r + dr, xx = x + dx;
      if ((dr || dx) && rr >= 0 && rr < p.height && xx >= 0 && xx < p.width)
        values.push_back(p.at(rr, xx));
    }
  return values;
}

Plane ReferenceMorph(const Plane& src, bool expand, uint8_t b) {
  const uint8_t v = expand ? 255 - b : b;
  Plane out = src;
  for (int32_t r = 0; r < src.height; ++r)
    for (int32_t x = 0; x < src.width; ++x) {
      const auto n = Neighbours(src, r, x);
      if (std::count(n.begin(), n.end(), v)) out.at(r, x) = v;
    }
  return out;
}

Plane ReferenceAlone(const Plane& src, uint8_t b) {
  Plane out = src;
  for (int32_t r = 1; r + 1 < src.height; ++r)
    for (int32_t x = 1; x + 1 < src.width; ++x) {
      const auto n = Neighbours(src, r, x);
      if (src.at(r, x) != b && std::count(n.begin(), n.end(), b) == 8) out.at(r, x) = b;
    }
  return out;
}

// ---- isolated points, expansion, contraction --------------------------------------------------

TEST(Morphology, RemoveAlonePointKeepsNeighboursAndTheBorder) {
  EXPECT_EQ(Applied(Dots(5, 5, 0, 255, {{2, 2}}), &ImageDocument::RemoveAlonePoint, 0),
            test::Filled(5, 5, 0));
  for (auto pair : {Dots(5, 5, 0, 255, {{2, 2}, {2, 3}}), Dots(5, 5, 0, 255, {{1, 1}, {2, 2}}),
                    Dots(5, 5, 0, 255, {{0, 2}}), Dots(5, 5, 0, 255, {{4, 4}})})
    EXPECT_EQ(Applied(pair, &ImageDocument::RemoveAlonePoint, 0), pair);
  // Background 255: a lone 0 goes; so does a lone grey, which is not background either way.
  EXPECT_EQ(Applied(Dots(5, 5, 255, 0, {{2, 2}}), &ImageDocument::RemoveAlonePoint, 1),
            test::Filled(5, 5, 255));
  EXPECT_EQ(Applied(Dots(5, 5, 255, 90, {{2, 2}}), &ImageDocument::RemoveAlonePoint, -7),
            test::Filled(5, 5, 255));
}

TEST(Morphology, ExpansionAndContractionByOnePixel) {
  const Plane dot = Dots(5, 5, 0, 255, {{2, 2}});
  const Plane block = Rectangle(5, 5, 0, 255, 1, 1, 3, 3);
  EXPECT_EQ(Applied(dot, &ImageDocument::Expansion, 0), block);
  EXPECT_EQ(Applied(block, &ImageDocument::Contraction, 0), dot);
  EXPECT_EQ(Applied(Dots(4, 3, 0, 255, {{0, 0}}), &ImageDocument::Expansion, 0),
            Dots(4, 3, 0, 255, {{0, 0}, {0, 1}, {1, 0}, {1, 1}}));
  // With background 255 the foreground is 0.
  EXPECT_EQ(Applied(Dots(5, 5, 255, 0, {{2, 2}}), &ImageDocument::Expansion, 1),
            Rectangle(5, 5, 255, 0, 1, 1, 3, 3));
}

TEST(Morphology, MatchTheReferenceOnRandomImages) {
  const Bytes levels[] = {{0, 255}, {0, 255, 255, 255}, {0, 0, 0, 255}, {0, 17, 255}};
  for (uint32_t seed = 1; seed <= 300; ++seed) {
    std::mt19937 random(seed);
    const int32_t w = 1 + random() % 11, h = 1 + random() % 11;
    const Plane p = test::RandomPlane(random, w, h, levels[seed % 4]);
    for (int32_t back : {0, 1}) {
      const uint8_t b = back ? 255 : 0;
      ASSERT_EQ(Applied(p, &ImageDocument::Expansion, back), ReferenceMorph(p, true, b))
          << "seed " << seed;
      ASSERT_EQ(Applied(p, &ImageDocument::Contraction, back), ReferenceMorph(p, false, b))
          << "seed " << seed;
      ASSERT_EQ(Applied(p, &ImageDocument::RemoveAlonePoint, back), ReferenceAlone(p, b))
          << "seed " << seed;
    }
  }
}

// ---- outlines ----------------------------------------------------------------------------------

TEST(Outline, FilledRectanglesKeepTheirEdges) {
  const Plane square = Rectangle(9, 8, 0, 255, 2, 2, 5, 5);
  Plane edges = square;
  for (int r = 3; r <= 5; ++r)
    for (int x = 3; x <= 5; ++x) edges.at(r, x) = 0;
  EXPECT_EQ(Applied(square, &ImageDocument::SamplingOutline, 0), edges);
  // The same on a white background, and filling the whole image.
  Plane inverted = square, invertedEdges = edges;
  for (uint8_t& v : inverted.pixels) v = static_cast<uint8_t>(255 - v);
  for (uint8_t& v : invertedEdges.pixels) v = static_cast<uint8_t>(255 - v);
  EXPECT_EQ(Applied(inverted, &ImageDocument::SamplingOutline, 1), invertedEdges);
  EXPECT_EQ(Applied(test::Filled(5, 5, 255), &ImageDocument::SamplingOutline, 0),
            Rectangle(5, 5, 255, 0, 1, 1, 3, 3));
  // Lines and single pixels are all outline, up to the image edges.
  for (auto [w, h] : {std::pair{1, 1}, {1, 6}, {6, 1}, {2, 2}})
    EXPECT_EQ(Applied(test::Filled(w, h, 255), &ImageDocument::SamplingOutline, 0),
              test::Filled(w, h, 255));
}

TEST(Outline, HolesGetAnOutlineOfTheirOwn) {
  // A ring three pixels thick: its outer edge, and the eight-neighbour ring around the hole
  // (the trace goes round the hole's corners); its middle layer goes.
  Plane ring = Rectangle(11, 11, 0, 255, 1, 1, 9, 9);
  for (int r = 4; r <= 6; ++r)
    for (int x = 4; x <= 6; ++x) ring.at(r, x) = 0;
  Plane expected = ring;
  for (int i = 2; i <= 8; ++i)
    expected.at(2, i) = expected.at(8, i) = expected.at(i, 2) = expected.at(i, 8) = 0;
  EXPECT_EQ(Applied(ring, &ImageDocument::SamplingOutline, 0), expected);
}

// Random images of every small shape: outlines lie on the regions, and nothing outside the
// buffers is touched (the sanitizer build checks that).
TEST(Outline, StaysOnTheRegionsOfRandomImages) {
  for (uint32_t seed = 1; seed <= 300; ++seed) {
    std::mt19937 random(seed);
    const int32_t w = 1 + random() % (seed % 5 ? 12 : 1), h = 1 + random() % (seed % 7 ? 12 : 1);
    const Plane p =
        test::RandomPlane(random, w, h, seed % 2 ? Bytes{0, 255} : Bytes{0, 255, 255, 40});
    const int32_t back = seed % 3 ? 0 : 1;
    const uint8_t b = back ? 255 : 0;
    const Plane out = Applied(p, &ImageDocument::SamplingOutline, back);
    bool firstOfRowMarked = true;
    for (int32_t r = 0; r < h; ++r) {
      for (int32_t x = 0; x < w; ++x) {
        ASSERT_TRUE(out.at(r, x) == b || (out.at(r, x) == 255 - b && p.at(r, x) != b))
            << "seed " << seed;
        // A region entered from the background starts a trace at that pixel.
        if (p.at(r, x) != b && (x == 0 || p.at(r, x - 1) == b))
          firstOfRowMarked &= out.at(r, x) != b;
      }
    }
    EXPECT_TRUE(firstOfRowMarked) << "seed " << seed;
  }
}

}  // namespace
}  // namespace pv
