// Two-pass labeling of 8-connected regions with an equivalence table.
#include <new>
#include <utility>
#include <vector>

#include "base/bytes.h"
#include "ops/morphology.h"

namespace pv {
namespace {

constexpr uint32_t kMaxKeptRegions = 255;

// Provisional labels, handed out from 1 in scan order, and their equivalences: every entry names
// a label of the same region that is not higher; a root names itself. Linking always keeps the
// lower root, so the root of a region is the label of its first pixel in scan order.
class Equivalences {
 public:
  Equivalences() : table_(1, 0) {}

  uint32_t next() const { return static_cast<uint32_t>(table_.size()); }
  uint32_t Add() {
    table_.push_back(next());
    return next() - 1;
  }
  uint32_t Root(uint32_t label) {
    while (table_[label] != label) {
      table_[label] = table_[table_[label]];  // halves the path for the next lookup
      label = table_[label];
    }
    return label;
  }
  // Joins two roots; the lower one stays root.
  uint32_t Join(uint32_t a, uint32_t b) {
    if (a > b) std::swap(a, b);
    table_[b] = a;
    return a;
  }
  // Points every entry at its root: ascending order finds each lower entry resolved already.
  void Resolve() {
    for (uint32_t i = 1; i < next(); ++i) table_[i] = table_[table_[i]];
  }
  uint32_t operator[](uint32_t label) const { return table_[label]; }

 private:
  std::vector<uint32_t> table_;
};

class Labeler {
 public:
  Labeler(const DibView& dib, uint8_t background)
      : dib_(dib),
        b_(background),
        width_(static_cast<size_t>(dib.width())),
        labels_(width_ * static_cast<size_t>(dib.height()), 0) {}

  // First pass: a provisional label for every pixel that is not background.
  void Scan() {
    for (int32_t row = 0; row < dib_.height(); ++row) {
      const uint8_t* pixels = dib_.row(row);
      for (size_t x = 0; x < width_; ++x)
        if (pixels[x] != b_) Label(row, x);
    }
    table_.Resolve();
  }

  // The final value of every provisional label: 1, 2, … for the regions whose size lies in
  // min .. max, in the order of their roots; 0 for the rest. False past 255 kept regions.
  // One pass over the labels counts every region at once (a count per root).
  bool Number(int64_t min, int64_t max, std::vector<uint32_t>* final) {
    std::vector<uint32_t>& values = *final;
    values.assign(table_.next(), 0);
    for (uint32_t label : labels_) ++values[table_[label]];
    uint32_t kept = 0;
    for (uint32_t i = 1; i < table_.next(); ++i) {
      if (table_[i] != i) {
        values[i] = values[table_[i]];
      } else if (values[i] >= min && values[i] <= max) {
        if (++kept > kMaxKeptRegions) return false;
        values[i] = kept;
      } else {
        values[i] = 0;
      }
    }
    values[0] = 0;
    return true;
  }

  // Writes the final values into the pixels and clears the padding at the end of every row.
  void Write(const std::vector<uint32_t>& final) const {
    for (int32_t row = 0; row < dib_.height(); ++row) {
      uint8_t* pixels = dib_.row(row);
      const uint32_t* labels = &labels_[width_ * static_cast<size_t>(row)];
      for (size_t x = 0; x < width_; ++x) pixels[x] = static_cast<uint8_t>(final[labels[x]]);
      for (size_t x = width_; x < dib_.stride; ++x) pixels[x] = 0;
    }
  }

 private:
  // Joins the pixel with its labelled neighbours already scanned: the three below it and the
  // one to its left, inside the image (no wrap from one row end to the next row's start).
  void Label(int32_t row, size_t x) {
    uint32_t* here = &labels_[width_ * static_cast<size_t>(row) + x];
    const uint32_t* below = row > 0 ? here - width_ : nullptr;
    // The pixel below is joined already with the other three whenever it is labelled.
    if (below && below[0]) {
      *here = below[0];
      return;
    }
    uint32_t label = 0;
    auto join = [&](uint32_t neighbour) {
      if (!neighbour) return;
      const uint32_t root = table_.Root(neighbour);
      label = label ? table_.Join(label, root) : root;
    };
    if (below && x > 0) join(below[-1]);
    if (below && x + 1 < width_) join(below[1]);
    if (x > 0) join(here[-1]);
    *here = label ? label : table_.Add();
  }

  const DibView& dib_;
  const uint8_t b_;
  const size_t width_;
  std::vector<uint32_t> labels_;
  Equivalences table_;
};

}  // namespace

Result LabelRegions(const DibView& dib, int32_t min, int32_t max, int32_t back) {
  if (dib.bitCount() != 8) return Result::BadBitDepth;
  const int64_t pixels = int64_t{dib.width()} * dib.height();
  const int64_t low = min == -1 ? 0 : min, high = max == -1 ? pixels : max;
  if (low > high || low < 0 || high < 1) return Result::BadParameter;
  // Labels and counts are 32-bit.
  if (pixels >= int64_t{UINT32_MAX}) return Result::OutOfMemory;
  try {
    Labeler labeler(dib, BackgroundOf(back));
    labeler.Scan();
    std::vector<uint32_t> final;
    if (!labeler.Number(low, high, &final)) return Result::TooManyLabels;
    labeler.Write(final);
  } catch (const std::bad_alloc&) {
    return Result::OutOfMemory;
  }
  return Result::Ok;
}

}  // namespace pv
