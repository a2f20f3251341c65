#include "ops/octree.h"

#include <algorithm>
#include <functional>
#include <new>

namespace pv {
namespace {

constexpr int32_t kNone = -1;
constexpr uint64_t kNoMergeable = 999999999;

// Post-order position of a node as a number: its path of slots, one base-9 digit a level, with
// 8 below its depth, so that children come before their parent and lower slots first.
constexpr uint32_t kRootOrder = 43046720;  // 88888888 in base 9
uint32_t OrderKey(uint32_t parentOrder, int slot, int level) {
  uint32_t digit = 1;
  for (int i = level; i < 7; ++i) digit *= 9;
  return parentOrder - (8 - slot) * digit;
}

int Slot(uint8_t red, uint8_t green, uint8_t blue, int level) {
  const int bit = 0x80 >> level;
  return ((red & bit) ? 4 : 0) | ((green & bit) ? 2 : 0) | ((blue & bit) ? 1 : 0);
}

}  // namespace

OctreeQuantizer::OctreeQuantizer(size_t nodeLimit, size_t nodeTarget)
    : nodeLimit_(nodeLimit), nodeTarget_(nodeTarget) {
  try {
    // One insertion adds at most eight nodes before the tree is cut back.
    nodes_.reserve(nodeLimit + 16);
    free_.reserve(nodeLimit + 16);
  } catch (const std::bad_alloc&) {
    return;
  }
  NewNode(kNone, 0, -1);
}

// A node created at `level` (the root's children at 0, the root itself at -1).
int32_t OctreeQuantizer::NewNode(int32_t parent, int slot, int level) {
  const bool leaf = level == 7;
  int32_t index;
  if (!free_.empty()) {
    index = free_.back();
    free_.pop_back();
  } else {
    index = static_cast<int32_t>(nodes_.size());
    nodes_.emplace_back();
  }
  Node& n = nodes_[index];
  n = Node{};
  std::fill(std::begin(n.child), std::end(n.child), kNone);
  n.parent = parent;
  n.leaf = leaf;
  n.live = true;
  n.order = parent == kNone ? kRootOrder : OrderKey(nodes_[parent].order, slot, level);
  ++nodeCount_;
  peakNodeCount_ = std::max(peakNodeCount_, nodeCount_);
  if (leaf) ++leafCount_;
  if (parent != kNone) {
    ++nodes_[parent].childCount;
    if (leaf) ++nodes_[parent].leafChildCount;
  }
  return index;
}

void OctreeQuantizer::DeleteNode(int32_t index) {
  Node& n = nodes_[index];
  for (int32_t& c : n.child) {
    if (c != kNone) DeleteNode(c);
    c = kNone;
  }
  --nodeCount_;
  n.live = false;
  Node& parent = nodes_[n.parent];
  if (n.leaf) {
    --leafCount_;
    --parent.leafChildCount;
  }
  --parent.childCount;
  for (int32_t& c : parent.child)
    if (c == index) c = kNone;
  free_.push_back(index);
}

void OctreeQuantizer::Insert(uint8_t red, uint8_t green, uint8_t blue) {
  int32_t index = 0;
  for (int level = 0;; ++level) {
    Node& n = nodes_[index];
    ++n.count;
    n.sumRed += red;
    n.sumGreen += green;
    n.sumBlue += blue;
    if (n.leaf) break;
    const int slot = Slot(red, green, blue, level);
    if (n.child[slot] == kNone) {
      const int32_t child = NewNode(index, slot, level);
      nodes_[index].child[slot] = child;  // NewNode may have grown the store
    }
    index = nodes_[index].child[slot];
  }
  if (nodeCount_ > nodeLimit_) CutBack();
}

// Repeats {merge pass; threshold + 1} from threshold 1 while there are too many nodes. A pass
// merges, in traversal order, the mergeable nodes whose count is at most the threshold; after
// it none is left, so the next pass only meets nodes of exactly its threshold and those that its
// own merges make mergeable. Passes therefore run on those nodes alone, taken from a heap by
// count made once, and passes that would meet none are skipped: the merges and their order are
// those of whole traversals.
void OctreeQuantizer::CutBack() {
  Mergeable byCount;
  CollectMergeable(&byCount);
  uint64_t mergedCounts = 0;
  for (uint64_t threshold = 1; nodeCount_ > nodeTarget_ && !byCount.empty(); ++threshold) {
    threshold = std::max(threshold, byCount.front().first);
    PassAt(threshold, &byCount, &mergedCounts);
  }
}

// One merge pass at `threshold`, on the mergeable nodes up to it and those it makes mergeable.
void OctreeQuantizer::PassAt(uint64_t threshold, Mergeable* byCount, uint64_t* mergedCounts) {
  threshold_ = threshold;
  std::vector<int32_t> nodes;
  TakeUpTo(threshold, byCount, &nodes);
  MergePass(std::move(nodes), byCount, mergedCounts);
}

// A walk through the store rather than the tree (the store is full while inserting): the order
// of the nodes does not matter, as a pass takes them by their traversal keys.
void OctreeQuantizer::CollectMergeable(Mergeable* byCount) const {
  byCount->clear();
  for (size_t i = 0; i < nodes_.size(); ++i) {
    const Node& n = nodes_[i];
    if (n.live && !n.leaf && AllChildrenLeaves(n))
      byCount->emplace_back(n.count, static_cast<int32_t>(i));
  }
  std::make_heap(byCount->begin(), byCount->end(), std::greater<>());
}

// Moves the nodes of count up to `threshold` from byCount to `nodes`.
void OctreeQuantizer::TakeUpTo(uint64_t threshold, Mergeable* byCount,
                               std::vector<int32_t>* nodes) const {
  while (!byCount->empty() && byCount->front().first <= threshold) {
    std::pop_heap(byCount->begin(), byCount->end(), std::greater<>());
    nodes->push_back(byCount->back().second);
    byCount->pop_back();
  }
}

// Merges `nodes` (mergeable, counts at most threshold_) and those their merges make mergeable
// within threshold_, in traversal order; the others made mergeable go to byCount. Adds
// count - 1 of every node merged to mergedCounts.
void OctreeQuantizer::MergePass(std::vector<int32_t> nodes, Mergeable* byCount,
                                uint64_t* mergedCounts) {
  auto later = [this](int32_t a, int32_t b) { return nodes_[a].order > nodes_[b].order; };
  std::make_heap(nodes.begin(), nodes.end(), later);
  while (!nodes.empty()) {
    std::pop_heap(nodes.begin(), nodes.end(), later);
    const int32_t index = nodes.back();
    nodes.pop_back();
    if (!Merge(index)) continue;
    *mergedCounts += nodes_[index].count - 1;
    const int32_t parent = nodes_[index].parent;
    if (parent == kNone || !AllChildrenLeaves(nodes_[parent])) continue;
    // The parent has just become mergeable: in this pass if its count allows, else later.
    const uint64_t count = nodes_[parent].count;
    if (count <= threshold_) {
      nodes.push_back(parent);
      std::push_heap(nodes.begin(), nodes.end(), later);
    } else {
      byCount->emplace_back(count, parent);
      std::push_heap(byCount->begin(), byCount->end(), std::greater<>());
    }
  }
}

bool OctreeQuantizer::Merge(int32_t index) {
  Node& n = nodes_[index];
  if (n.leaf || leafCount_ <= kColorTarget || n.count > threshold_ || !AllChildrenLeaves(n))
    return false;
  for (int slot = 0; slot < 8 && leafCount_ > kColorTarget; ++slot)
    if (nodes_[index].child[slot] != kNone) DeleteNode(nodes_[index].child[slot]);
  Node& merged = nodes_[index];
  if (merged.childCount != 0) return false;
  merged.leaf = true;
  ++leafCount_;
  if (merged.parent != kNone) ++nodes_[merged.parent].leafChildCount;
  return true;
}

// Merge passes from threshold 1 while there are more than 256 leaves; after each the
// threshold becomes the smallest count of a mergeable node, raised by 8, 4 or 2 when the inner
// nodes of count up to that much more hold, less one each, fewer pixels than there are nodes
// beyond 256. As in a cut-back, a pass runs on the mergeable nodes up to its threshold, from a
// heap by count. Counts do not change while reducing, and a merged node's count is at most the
// threshold of its pass, so those sums are sums over the inner nodes' counts before reducing,
// sorted once, less what the merged nodes added.
void OctreeQuantizer::Reduce() {
  std::vector<uint64_t> innerCounts;
  for (const Node& n : nodes_)
    if (n.live && !n.leaf) innerCounts.push_back(n.count);
  std::sort(innerCounts.begin(), innerCounts.end());
  std::vector<uint64_t> upTo(innerCounts.size() + 1, 0);  // sums of count - 1, in that order
  for (size_t i = 0; i < innerCounts.size(); ++i) upTo[i + 1] = upTo[i] + innerCounts[i] - 1;
  auto sumUpTo = [&](uint64_t count) {
    return upTo[std::upper_bound(innerCounts.begin(), innerCounts.end(), count) -
                innerCounts.begin()];
  };
  Mergeable byCount;
  CollectMergeable(&byCount);
  uint64_t threshold = 1, mergedCounts = 0;
  while (leafCount_ > kColorTarget) {
    PassAt(threshold, &byCount, &mergedCounts);
    threshold = byCount.empty() ? kNoMergeable : byCount.front().first;
    uint64_t sums[3];  // S2, S4, S8
    for (int i = 0; i < 3; ++i) sums[i] = sumUpTo(threshold + (uint64_t{2} << i)) - mergedCounts;
    const int64_t excess = static_cast<int64_t>(nodeCount_) - static_cast<int64_t>(kColorTarget);
    auto below = [excess](uint64_t sum) { return static_cast<int64_t>(sum) < excess; };
    if (below(sums[2]))
      threshold += 8;
    else if (below(sums[1]))
      threshold += 4;
    else if (below(sums[0]))
      threshold += 2;
  }
  int next = 0;
  Number(0, &next);
  FillShallowLeaves();
}

void OctreeQuantizer::Number(int32_t index, int* next) {
  Node& n = nodes_[index];
  for (int32_t c : n.child)
    if (c != kNone) Number(c, next);
  if (nodes_[index].leaf) nodes_[index].paletteIndex = static_cast<uint8_t>((*next)++);
}

void OctreeQuantizer::FillFrom(int32_t index, uint8_t* table) const {
  const Node& n = nodes_[index];
  for (int32_t c : n.child)
    if (c != kNone) FillFrom(c, table);
  if (!n.leaf) return;
  uint8_t* e = table + 4 * n.paletteIndex;
  e[0] = static_cast<uint8_t>(n.sumBlue / n.count);
  e[1] = static_cast<uint8_t>(n.sumGreen / n.count);
  e[2] = static_cast<uint8_t>(n.sumRed / n.count);
  e[3] = 0;
}

void OctreeQuantizer::FillPalette(uint8_t table[1024]) const {
  std::fill(table, table + 1024, 0);
  FillFrom(0, table);
}

// A walk's first kShallowBits steps use only the top kShallowBits bits of each channel, so all
// colours of a cell stand at the same node after them.
void OctreeQuantizer::FillShallowLeaves() {
  constexpr int kCells = 1 << kShallowBits;
  shallow_.clear();
  deep_.clear();
  if (nodes_[0].childCount == 0) return;  // nothing inserted: no leaf to find
  shallow_.assign(size_t{1} << (3 * kShallowBits), 0);
  std::vector<int32_t> blockOf(nodes_.size(), -1);
  for (int r = 0; r < kCells; ++r)
    for (int g = 0; g < kCells; ++g)
      for (int b = 0; b < kCells; ++b) {
        const uint8_t red = static_cast<uint8_t>(r << kDeepBits),
                      green = static_cast<uint8_t>(g << kDeepBits),
                      blue = static_cast<uint8_t>(b << kDeepBits);
        int32_t index = 0;
        for (int level = 0; level < kShallowBits && !nodes_[index].leaf; ++level)
          index = Step(index, red, green, blue, level);
        int16_t& cell = shallow_[(r * kCells + g) * kCells + b];
        if (nodes_[index].leaf) {
          cell = nodes_[index].paletteIndex;
          continue;
        }
        if (blockOf[index] < 0) {
          blockOf[index] = static_cast<int32_t>(deep_.size() / kDeepBlock);
          deep_.resize(deep_.size() + kDeepBlock);
          uint8_t* block = &deep_[deep_.size() - kDeepBlock];
          constexpr int kLow = (1 << kDeepBits) - 1;
          for (int low = 0; low < static_cast<int>(kDeepBlock); ++low)
            block[low] = WalkFrom(index, kShallowBits, static_cast<uint8_t>(low >> (2 * kDeepBits)),
                                  static_cast<uint8_t>((low >> kDeepBits) & kLow),
                                  static_cast<uint8_t>(low & kLow));
        }
        cell = static_cast<int16_t>(256 + blockOf[index]);
      }
}

uint8_t OctreeQuantizer::Lookup(uint8_t red, uint8_t green, uint8_t blue) const {
  if (shallow_.empty()) return LookupByWalk(red, green, blue);
  constexpr int kLow = (1 << kDeepBits) - 1;
  const int cell =
      ((red >> kDeepBits) << kShallowBits | green >> kDeepBits) << kShallowBits | blue >> kDeepBits;
  const int32_t at = shallow_[cell];
  if (at < 256) return static_cast<uint8_t>(at);
  return deep_[(at - 256) * kDeepBlock +
               (((red & kLow) << kDeepBits | (green & kLow)) << kDeepBits | (blue & kLow))];
}

uint8_t OctreeQuantizer::LookupByWalk(uint8_t red, uint8_t green, uint8_t blue) const {
  return WalkFrom(0, 0, red, green, blue);
}

// The palette index of the leaf a walk from `index`, at `level`, ends in.
uint8_t OctreeQuantizer::WalkFrom(int32_t index, int level, uint8_t red, uint8_t green,
                                  uint8_t blue) const {
  for (; !nodes_[index].leaf; ++level) index = Step(index, red, green, blue, level);
  return nodes_[index].paletteIndex;
}

// The child of an inner node a colour goes on to: its own slot, else the next one present.
int32_t OctreeQuantizer::Step(int32_t index, uint8_t red, uint8_t green, uint8_t blue,
                              int level) const {
  const Node& n = nodes_[index];
  const int slot = Slot(red, green, blue, level);
  int32_t next = kNone;
  for (int step = 0; step < 8 && next == kNone; ++step) next = n.child[(slot + step) & 7];
  return next;
}

}  // namespace pv
