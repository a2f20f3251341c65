// The quantizer against a straightforward octree written from its definition, with pointers.
// Literally, a cut-back or the reduction is a series of merge passes, each a whole post-order
// traversal merging every node whose children are all leaves and whose count is at most the
// pass's threshold. A child's count is at most its parent's, and a pass at threshold t comes
// after passes that merged every inner node of count below t (by induction, as each of those
// then had only leaves below it when its turn came); so a pass merges exactly the inner nodes
// of count up to t, in traversal order. The reference thus works either way: by passes, or
// from one list of the inner nodes in traversal order, stably sorted by count, which makes
// large pictures with large counts cheap. Both are held to the same answers on small pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>

#include "ops/octree.h"

namespace pv {
namespace {

class ReferenceOctree {
 public:
  struct Node {
    Node* parent;
    std::unique_ptr<Node> child[8];
    uint64_t count = 0, sum[3] = {0, 0, 0};
    bool leaf;
    int index = 0;
    size_t order = 0;  // position in traversal order, while a list is in use
  };

  ReferenceOctree(size_t limit, size_t target, bool byPasses)
      : limit_(limit), target_(target), byPasses_(byPasses) {
    root_ = Make(nullptr, -1);
  }

  void Insert(int r, int g, int b) {
    Node* n = root_.get();
    Add(n, r, g, b);
    for (int level = 0; !n->leaf; ++level) {
      const int bit = 0x80 >> level,
                slot = (r & bit ? 4 : 0) | (g & bit ? 2 : 0) | (b & bit ? 1 : 0);
      if (!n->child[slot]) n->child[slot] = Make(n, level);
      n = n->child[slot].get();
      Add(n, r, g, b);
    }
    if (nodes_ <= limit_) return;
    if (byPasses_) {
      for (threshold_ = 1; nodes_ > target_; ++threshold_) Pass(root_.get());
      return;
    }
    // Passes that merge nothing change nothing: one for each count in the list.
    const std::vector<Node*> inner = InnerByCount();
    for (size_t i = 0; i < inner.size() && nodes_ > target_;) {
      const uint64_t count = inner[i]->count;
      for (; i < inner.size() && inner[i]->count == count; ++i) Merge(inner[i]);
    }
  }

  void Reduce() {
    threshold_ = 1;
    if (byPasses_) {
      while (leaves_ > 256) {
        Pass(root_.get());
        threshold_ = 999999999;
        Smallest(root_.get());
        int64_t s[3] = {0, 0, 0};
        Stats(root_.get(), s);
        NextThreshold(s);
      }
    } else {
      // The inner nodes left after a pass are those past it in the list; the smallest count
      // among them is also the smallest of a node with only leaves below it.
      const std::vector<Node*> inner = InnerByCount();
      for (size_t i = 0; leaves_ > 256;) {
        std::vector<Node*> pass;
        for (; i < inner.size() && inner[i]->count <= threshold_; ++i) pass.push_back(inner[i]);
        std::sort(pass.begin(), pass.end(),
                  [](const Node* a, const Node* b) { return a->order < b->order; });
        for (Node* n : pass) Merge(n);
        threshold_ = i < inner.size() ? inner[i]->count : 999999999;
        int64_t s[3] = {0, 0, 0};
        for (size_t j = i; j < inner.size(); ++j)
          for (int k = 0; k < 3; ++k)
            if (inner[j]->count <= threshold_ + (2u << k))
              s[k] += static_cast<int64_t>(inner[j]->count) - 1;
        NextThreshold(s);
      }
    }
    int next = 0;
    Number(root_.get(), &next);
  }

  int Lookup(int r, int g, int b) const {
    const Node* n = root_.get();
    for (int level = 0; !n->leaf; ++level) {
      const int bit = 0x80 >> level,
                slot = (r & bit ? 4 : 0) | (g & bit ? 2 : 0) | (b & bit ? 1 : 0);
      int k = 0;
      while (!n->child[(slot + k) & 7]) ++k;
      n = n->child[(slot + k) & 7].get();
    }
    return n->index;
  }

  void Palette(const Node* n, uint8_t* table) const {
    for (const auto& c : n->child)
      if (c) Palette(c.get(), table);
    if (!n->leaf) return;
    table[4 * n->index] = static_cast<uint8_t>(n->sum[2] / n->count);
    table[4 * n->index + 1] = static_cast<uint8_t>(n->sum[1] / n->count);
    table[4 * n->index + 2] = static_cast<uint8_t>(n->sum[0] / n->count);
  }
  const Node* root() const { return root_.get(); }

 private:
  std::unique_ptr<Node> Make(Node* parent, int level) {
    auto n = std::make_unique<Node>();
    n->parent = parent;
    n->leaf = level == 7;
    ++nodes_;
    leaves_ += n->leaf;
    return n;
  }
  static void Add(Node* n, int r, int g, int b) {
    ++n->count;
    n->sum[0] += r;
    n->sum[1] += g;
    n->sum[2] += b;
  }
  static bool ChildrenAllLeaves(const Node* n) {
    for (const auto& c : n->child)
      if (c && !c->leaf) return false;
    return true;
  }
  void NextThreshold(const int64_t s[3]) {
    const int64_t d = static_cast<int64_t>(nodes_) - 256;
    threshold_ += s[2] < d ? 8 : s[1] < d ? 4 : s[0] < d ? 2 : 0;
  }
  // Inner nodes in traversal order, numbered so, then stably sorted by count.
  std::vector<Node*> InnerByCount() {
    std::vector<Node*> inner;
    Collect(root_.get(), &inner);
    for (size_t i = 0; i < inner.size(); ++i) inner[i]->order = i;
    std::stable_sort(inner.begin(), inner.end(),
                     [](const Node* a, const Node* b) { return a->count < b->count; });
    return inner;
  }
  static void Collect(Node* n, std::vector<Node*>* inner) {
    if (n->leaf) return;
    for (auto& c : n->child)
      if (c) Collect(c.get(), inner);
    inner->push_back(n);
  }
  void Pass(Node* n) {
    for (auto& c : n->child)
      if (c) Pass(c.get());
    if (n->count <= threshold_) Merge(n);
  }
  void Merge(Node* n) {
    if (n->leaf || leaves_ <= 256 || !ChildrenAllLeaves(n)) return;
    for (auto& c : n->child) {
      if (!c || leaves_ <= 256) continue;
      c.reset();
      --nodes_;
      --leaves_;
    }
    for (auto& c : n->child)
      if (c) return;
    n->leaf = true;
    ++leaves_;
  }
  void Smallest(const Node* n) {
    if (n->leaf) return;
    for (const auto& c : n->child)
      if (c) Smallest(c.get());
    if (ChildrenAllLeaves(n) && n->count < threshold_) threshold_ = n->count;
  }
  void Stats(const Node* n, int64_t s[3]) const {
    if (n->leaf) return;
    for (const auto& c : n->child)
      if (c) Stats(c.get(), s);
    for (int i = 0; i < 3; ++i)
      if (n->count <= threshold_ + (2u << i)) s[i] += static_cast<int64_t>(n->count) - 1;
  }
  void Number(Node* n, int* next) {
    for (auto& c : n->child)
      if (c) Number(c.get(), next);
    if (n->leaf) n->index = (*next)++;
  }

  size_t limit_, target_, nodes_ = 0, leaves_ = 0;
  bool byPasses_;
  uint64_t threshold_ = 0;
  std::unique_ptr<Node> root_;
};

// Builds the tree and the reference from `colors` (0xRRGGBB) and compares their palettes and
// every colour's index.
void ExpectSameAsReference(const std::vector<uint32_t>& colors, size_t limit, size_t target,
                           bool byPasses) {
  SCOPED_TRACE(byPasses ? "by passes" : "by list");
  OctreeQuantizer tree(limit, target);
  ReferenceOctree reference(limit, target, byPasses);
  for (uint32_t c : colors) {
    tree.Insert(c >> 16, (c >> 8) & 0xFF, c & 0xFF);
    reference.Insert(c >> 16, (c >> 8) & 0xFF, c & 0xFF);
  }
  EXPECT_GT(tree.peakNodeCount(), limit);  // the tree was cut back on the way
  tree.Reduce();
  reference.Reduce();
  uint8_t got[1024], expected[1024] = {};
  tree.FillPalette(got);
  reference.Palette(reference.root(), expected);
  ASSERT_EQ(std::vector<uint8_t>(got, got + 1024), std::vector<uint8_t>(expected, expected + 1024));
  for (uint32_t c : colors)
    ASSERT_EQ(tree.Lookup(c >> 16, (c >> 8) & 0xFF, c & 0xFF),
              reference.Lookup(c >> 16, (c >> 8) & 0xFF, c & 0xFF));
}

TEST(Octree, MatchesTheReferenceTree) {
  for (unsigned seed = 1; seed <= 6; ++seed) {
    SCOPED_TRACE(seed);
    std::mt19937 random(seed);
    const size_t limit = 1500 + 500 * seed;
    // Clustered colours with noise give varied counts; scattered ones give chains of nodes
    // with one pixel, whose merges cascade up the tree within one pass.
    std::vector<uint32_t> colors;
    for (int i = 0; i < 30000; ++i) {
      const uint32_t base = (random() % (4 + seed)) * 0x2F3B47;
      const uint32_t clustered = (base + (random() & 0x1F1F1F) * (i % 3 + 1)) & 0xFFFFFF;
      colors.push_back(seed % 2 ? clustered : random() & 0xFFFFFF);
    }
    for (bool byPasses : {true, false})
      ExpectSameAsReference(colors, limit, limit - 100 * seed, byPasses);
  }
}

// A few colours hold most pixels, each half as many as the one before, some spread by `noise`
// in their low bits; the rest are rare colours anywhere. Every colour comes in a run of up to
// `run` pixels, as in flat areas, so that few nodes are cheap to merge: the tree fills again
// and again, and its cut-backs go up to large counts. With `phases`, the frequent colours change
// as the picture goes on, as from one part of a photograph to the next: only then do merges
// made while inserting show in the palette, as a region merged early fills up later.
std::vector<uint32_t> SkewedColors(std::mt19937& random, size_t count, int frequent, int rare,
                                   uint32_t noise, int run, int phases) {
  std::vector<uint32_t> common(frequent);
  std::vector<uint32_t> colors;
  for (int phase = 0; phase < phases; ++phase) {
    for (uint32_t& c : common) c = random() & 0xFFFFFF;
    while (colors.size() < count * (phase + 1) / phases) {
      int k = 0;
      while (k + 1 < frequent && random() % 2) ++k;
      const uint32_t color = random() % 100 < static_cast<uint32_t>(rare)
                                 ? random() & 0xFFFFFF
                                 : common[k] ^ (random() & noise);
      colors.insert(colors.end(), 1 + random() % run, color);
    }
  }
  return colors;
}

// Cut-backs by the dozen with thresholds in the hundreds, and pictures of most of a million
// pixels at the real node limits; passes are left to the smaller trees.
TEST(Octree, MatchesTheReferenceTreeOnSkewedColors) {
  constexpr size_t kLimit = OctreeQuantizer::kNodeLimit, kTarget = OctreeQuantizer::kNodeTarget;
  struct Case {
    unsigned seed;
    size_t pixels, limit, target;
    int frequent, rare;  // rare: percent of the colours picked
    uint32_t noise;
    int run, phases;
  };
  const Case cases[] = {
      {1, 300000, 3000, 1000, 16, 10, 0x030303, 1, 1},
      {2, 400000, 3000, 2000, 16, 70, 0x070707, 200, 1},
      {9, 400000, 3000, 2000, 16, 30, 0x070707, 20, 8},
      {10, 300000, 2000, 1900, 40, 60, 0x0F0F0F, 50, 20},
      {11, 600000, kLimit, kTarget, 64, 80, 0x0F0F0F, 8, 10},
      {3, 300000, 2000, 1900, 40, 60, 0x070707, 100, 1},
      {4, 400000, 2500, 2300, 4, 80, 0x010101, 40, 1},
      {5, 300000, 4000, 3900, 24, 50, 0, 8, 1},
      {6, 400000, 20000, 19000, 64, 80, 0x0F0F0F, 30, 1},
      {7, 800000, kLimit, kTarget, 64, 90, 0x0F0F0F, 12, 1},
      {8, 300000, kLimit, kTarget, 12, 70, 0x0F0F0F, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.seed);
    std::mt19937 random(c.seed);
    const std::vector<uint32_t> colors =
        SkewedColors(random, c.pixels, c.frequent, c.rare, c.noise, c.run, c.phases);
    ExpectSameAsReference(colors, c.limit, c.target, false);
    if (c.limit <= 5000) ExpectSameAsReference(colors, c.limit, c.target, true);
  }
}

}  // namespace
}  // namespace pv
