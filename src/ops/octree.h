// Octree colour quantizer: reduces the colours of a true-colour picture to a 256-entry palette.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace pv {

class OctreeQuantizer {
 public:
  static constexpr size_t kNodeLimit = 100000;  // the tree is cut back past this many nodes
  static constexpr size_t kNodeTarget = 99000;  // ... to at most this many
  static constexpr size_t kColorTarget = 256;

  // A tree holding only its root; ok() is false when its node store could not be allocated.
  // The node limits are parameters only so that tests can reach them with small pictures.
  explicit OctreeQuantizer(size_t nodeLimit = kNodeLimit, size_t nodeTarget = kNodeTarget);
  bool ok() const { return !nodes_.empty(); }

  void Insert(uint8_t red, uint8_t green, uint8_t blue);
  // Cuts the tree down to at most 256 leaves and numbers them in traversal order.
  void Reduce();
  // 256 RGBQUADs: the mean colour of each leaf, zero beyond the last leaf.
  void FillPalette(uint8_t table[1024]) const;
  // Palette index of the leaf a colour falls into.
  uint8_t Lookup(uint8_t red, uint8_t green, uint8_t blue) const;
  // The same by walking the tree every time; Lookup answers every colour from tables.
  uint8_t LookupByWalk(uint8_t red, uint8_t green, uint8_t blue) const;

  size_t nodeCount() const { return nodeCount_; }
  size_t leafCount() const { return leafCount_; }
  size_t peakNodeCount() const { return peakNodeCount_; }

 private:
  struct Node {
    int32_t child[8];
    int32_t parent;
    uint64_t count;
    uint64_t sumRed, sumGreen, sumBlue;  // 64-bit: a bright leaf may hold billions of pixels
    uint8_t childCount;
    uint8_t leafChildCount;
    uint32_t order;  // position in the post-order traversal, as a key (see OrderKey)
    uint8_t paletteIndex;
    bool leaf;
    bool live;  // false while the slot waits in free_
  };

  int32_t NewNode(int32_t parent, int slot, int level);
  void DeleteNode(int32_t index);
  bool Merge(int32_t index);  // true when the node became a leaf
  bool AllChildrenLeaves(const Node& n) const { return n.leafChildCount == n.childCount; }
  void Number(int32_t index, int* next);
  void FillShallowLeaves();
  int32_t Step(int32_t index, uint8_t red, uint8_t green, uint8_t blue, int level) const;
  void FillFrom(int32_t index, uint8_t* table) const;
  uint8_t WalkFrom(int32_t index, int level, uint8_t red, uint8_t green, uint8_t blue) const;
  void CutBack();
  // Mergeable nodes as a heap by count, smallest first.
  using Mergeable = std::vector<std::pair<uint64_t, int32_t>>;
  void CollectMergeable(Mergeable* byCount) const;
  void TakeUpTo(uint64_t threshold, Mergeable* byCount, std::vector<int32_t>* nodes) const;
  void MergePass(std::vector<int32_t> nodes, Mergeable* byCount, uint64_t* mergedCounts);
  void PassAt(uint64_t threshold, Mergeable* byCount, uint64_t* mergedCounts);

  size_t nodeLimit_;
  size_t nodeTarget_;
  std::vector<Node> nodes_;
  std::vector<int32_t> free_;
  size_t nodeCount_ = 0;
  size_t leafCount_ = 0;
  size_t peakNodeCount_ = 0;
  uint64_t threshold_ = 0;
  // Filled by Reduce. By the top kShallowBits bits of red, green and blue: where every colour
  // of the cell stands after kShallowBits steps of its walk, the palette index of the leaf it
  // met (below 256), else 256 + the number of a block of deep_; where the rest of the walk ends
  // only depends on that node and the low bits, by which the block gives the palette index.
  static constexpr int kShallowBits = 5;
  static constexpr int kDeepBits = 8 - kShallowBits;
  static constexpr size_t kDeepBlock = size_t{1} << (3 * kDeepBits);
  std::vector<int16_t> shallow_;  // at most 256 leaves, so at most 256 blocks
  std::vector<uint8_t> deep_;
};

}  // namespace pv
