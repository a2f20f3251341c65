#include "ops/morphology.h"

#include <cstring>

#include "base/bytes.h"
#include "ops/neighbourhood.h"

namespace pv {

Result RemoveAlonePoints(const DibView& dib, int32_t back) {
  if (dib.bitCount() != 8) return Result::BadBitDepth;
  const int32_t b = BackgroundOf(back);
  return Filter3x3(dib, 1, Reach::Interior, [b](const Neighbourhood& p) {
    for (size_t k = 0; k < 9; ++k)
      if (k != 4 && p[k] != b) return p[4];
    return b;
  });
}

Result ExpandOrContract(const DibView& dib, int32_t back, Morph mode) {
  if (dib.bitCount() != 8) return Result::BadBitDepth;
  const int32_t b = BackgroundOf(back);
  const int32_t target = mode == Morph::Expand ? 255 - b : b;
  // At the edges the walker repeats edge pixels for the missing neighbours, which cannot change
  // whether some neighbour (or the pixel itself) holds the target.
  return Filter3x3(dib, 1, Reach::Whole, [target](const Neighbourhood& p) {
    for (int32_t v : p)
      if (v == target) return target;
    return p[4];
  });
}

namespace {

// Follows outlines through a copy of the image framed by one pixel of background on every
// side, so that no step can leave the copy, and marks them in the DIB.
class OutlineTracer {
 public:
  // A trace stops after as many moves as the framed copy has bytes.
  OutlineTracer(const DibView& dib, uint8_t background, const uint8_t* framed, size_t framedStride,
                size_t framedBytes)
      : dib_(dib),
        b_(background),
        framed_(framed),
        stride_(framedStride),
        moveLimit_(framedBytes) {}

  // Scans the framed rows of the image; each change of value starts a trace on its non-background
  // side: at the new pixel heading left, or at the previous one heading right.
  void TraceAll() {
    for (int32_t row = 1; row <= dib_.height(); ++row) {
      uint8_t previous = b_;
      for (int32_t col = 0; col <= dib_.width(); ++col) {
        const uint8_t value = At(row, col);
        if (value != previous) {
          if (previous == b_)
            Trace(row, col, 0);
          else
            Trace(row, col - 1, 2);
        }
        previous = value;
      }
    }
  }

 private:
  // Directions: 0 left, 1 up a memory row, 2 right, 3 down a memory row.
  static constexpr int32_t kRowStep[4] = {0, 1, 0, -1};
  static constexpr int32_t kColStep[4] = {-1, 0, 1, 0};

  uint8_t At(int32_t row, int32_t col) const {
    return framed_[stride_ * static_cast<size_t>(row) + col];
  }
  uint8_t* Mark(int32_t row, int32_t col) const { return dib_.row(row - 1) + (col - 1); }

  // The first of `direction` and the three after it (turning right) whose neighbour is not
  // background; -1 when all four are.
  int OpenDirection(int32_t row, int32_t col, int direction) const {
    for (int turn = 0; turn < 4; ++turn) {
      const int d = (direction + turn) & 3;
      if (At(row + kRowStep[d], col + kColStep[d]) != b_) return d;
    }
    return -1;
  }

  void Trace(int32_t row, int32_t col, int direction) {
    if (*Mark(row, col) != b_) return;  // already on an outline
    *Mark(row, col) = static_cast<uint8_t>(255 - b_);
    const int32_t startRow = row, startCol = col;
    for (size_t moves = 0; moves < moveLimit_; ++moves) {
      const int d = OpenDirection(row, col, direction);
      if (d < 0) return;
      row += kRowStep[d];
      col += kColStep[d];
      if (row == startRow && col == startCol) return;
      *Mark(row, col) = static_cast<uint8_t>(255 - b_);
      direction = (d + 3) & 3;
    }
  }

  const DibView& dib_;
  const uint8_t b_;
  const uint8_t* framed_;
  const size_t stride_;
  const size_t moveLimit_;
};

}  // namespace

Result TraceOutlines(const DibView& dib, int32_t back) {
  if (dib.bitCount() != 8) return Result::BadBitDepth;
  const uint8_t b = BackgroundOf(back);
  const auto stride = DibStride(int64_t{dib.width()} + 2, 8);
  const auto bytes =
      stride ? CheckedMul(*stride, static_cast<size_t>(dib.height()) + 2) : std::nullopt;
  if (!bytes) return Result::OutOfMemory;
  mem::Owned block(mem::Alloc(*bytes));
  mem::Locked framed(block.get());
  if (!framed) return Result::OutOfMemory;
  std::memset(framed.data(), b, *bytes);
  for (int32_t row = 0; row < dib.height(); ++row)
    std::memcpy(framed.data() + *stride * (row + 1) + 1, dib.row(row),
                static_cast<size_t>(dib.width()));
  std::memset(dib.bits, b, dib.imageBytes());
  OutlineTracer(dib, b, framed.data(), *stride, *bytes).TraceAll();
  return Result::Ok;
}

}  // namespace pv
