// The quantizer against a straightforward octree written from its definition: whole post-order
// traversals for every merge pass, pointers, no shortcuts.
#include <gtest/gtest.h>

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
  };

  ReferenceOctree(size_t limit, size_t target) : limit_(limit), target_(target) {
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
    for (threshold_ = 1; nodes_ > target_; ++threshold_) Pass(root_.get());
  }

  void Reduce() {
    threshold_ = 1;
    while (leaves_ > 256) {
      Pass(root_.get());
      threshold_ = 999999999;
      Smallest(root_.get());
      int64_t s[3] = {0, 0, 0};
      Stats(root_.get(), s);
      const int64_t d = static_cast<int64_t>(nodes_) - 256;
      threshold_ += s[2] < d ? 8 : s[1] < d ? 4 : s[0] < d ? 2 : 0;
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
  void Pass(Node* n) {
    for (auto& c : n->child)
      if (c) Pass(c.get());
    if (n->leaf || leaves_ <= 256 || n->count > threshold_ || !ChildrenAllLeaves(n)) return;
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
  uint64_t threshold_ = 0;
  std::unique_ptr<Node> root_;
};

TEST(Octree, MatchesTheReferenceTree) {
  for (unsigned seed = 1; seed <= 6; ++seed) {
    SCOPED_TRACE(seed);
    std::mt19937 random(seed);
    const size_t limit = 1500 + 500 * seed;
    OctreeQuantizer tree(limit, limit - 100 * seed);
    ReferenceOctree reference(limit, limit - 100 * seed);
    // Clustered colours with noise give varied counts; scattered ones give chains of nodes
    // with one pixel, whose merges cascade up the tree within one pass.
    std::vector<uint32_t> colors;
    for (int i = 0; i < 30000; ++i) {
      const uint32_t base = (random() % (4 + seed)) * 0x2F3B47;
      const uint32_t clustered = (base + (random() & 0x1F1F1F) * (i % 3 + 1)) & 0xFFFFFF;
      colors.push_back(seed % 2 ? clustered : random() & 0xFFFFFF);
    }
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
    ASSERT_EQ(std::vector<uint8_t>(got, got + 1024),
              std::vector<uint8_t>(expected, expected + 1024));
    for (uint32_t c : colors)
      ASSERT_EQ(tree.Lookup(c >> 16, (c >> 8) & 0xFF, c & 0xFF),
                reference.Lookup(c >> 16, (c >> 8) & 0xFF, c & 0xFF));
  }
}

}  // namespace
}  // namespace pv
