// Channel access shared by the resampling kernels: grey, true-colour and colour-palette pixels
// seen as one, two or three channel bytes, and the octree that finds an index for a blended
// palette colour.
#pragma once

#include <cstdint>
#include <cstring>

#include "dib/dib.h"
#include "ops/octree.h"

namespace pv {

// trunc(length × factor + 0.5) pixels: 1 below one pixel, 7 beyond what a DIB can hold.
inline Result ScaledLength(int32_t length, double factor, int32_t* out) {
  const double pixels = length * factor + 0.5;
  if (!(pixels >= 1.0)) return Result::BadParameter;
  if (pixels >= 2147483648.0) return Result::OutOfMemory;
  *out = static_cast<int32_t>(pixels);
  return Result::Ok;
}

// The 256 colour-table entries of an 8-bit colour image in an octree. The new DIB takes the
// tree's palette, so that the indices the lookup gives and the colours agree.
class PaletteTree {
 public:
  explicit PaletteTree(const uint8_t* table) {
    if (!tree_.ok()) return;
    for (int i = 0; i < 256; ++i) tree_.Insert(table[4 * i + 2], table[4 * i + 1], table[4 * i]);
    tree_.Reduce();
  }
  bool ok() const { return tree_.ok(); }
  uint8_t Index(const uint8_t* bgr) const { return tree_.Lookup(bgr[2], bgr[1], bgr[0]); }
  // The tree's palette in place of the copied table; a partial table becomes a full one.
  void StoreTable(DibBuilder& dst) const {
    tree_.FillPalette(dst.view().table);
    if (dst.header().clrUsed != 0) dst.header().clrUsed = 256;
    dst.StoreHeader();
  }

 private:
  OctreeQuantizer tree_;
};

// Each format gives the channel bytes of a source pixel and writes a pixel, or a run of pixels
// of one colour, from channel values.
struct GrayPixels {
  static constexpr int kChannels = 1;
  static constexpr size_t kBytes = 1;  // per pixel in a row
  const uint8_t* At(const uint8_t* row, int64_t x) const { return row + x; }
  void Put(uint8_t* row, int64_t x, const uint8_t* v) const { row[x] = v[0]; }
  void Fill(uint8_t* row, int64_t from, int64_t end, const uint8_t* v) const {
    if (end > from) std::memset(row + from, v[0], static_cast<size_t>(end - from));
  }
};

// Blue, green, red; the fourth byte of a 32-bit pixel is neither read nor written.
template <size_t Bytes>
struct BgrPixels {
  static constexpr int kChannels = 3;
  static constexpr size_t kBytes = Bytes;
  const uint8_t* At(const uint8_t* row, int64_t x) const { return row + x * kBytes; }
  void Put(uint8_t* row, int64_t x, const uint8_t* v) const { std::memcpy(row + x * kBytes, v, 3); }
  void Fill(uint8_t* row, int64_t from, int64_t end, const uint8_t* v) const {
    for (int64_t x = from; x < end; ++x) Put(row, x, v);
  }
};

// Colour-table entries in, octree indices out.
struct PalettePixels {
  static constexpr int kChannels = 3;
  static constexpr size_t kBytes = 1;
  const uint8_t* table;
  const PaletteTree* tree;
  const uint8_t* At(const uint8_t* row, int64_t x) const { return table + 4 * row[x]; }
  void Put(uint8_t* row, int64_t x, const uint8_t* v) const { row[x] = tree->Index(v); }
  void Fill(uint8_t* row, int64_t from, int64_t end, const uint8_t* v) const {
    if (end > from) std::memset(row + from, tree->Index(v), static_cast<size_t>(end - from));
  }
};

// Runs `work(format)` with the format of an 8-bit grey, 8-bit colour, 24- or 32-bit source; for
// a colour source `dst` then takes the tree's palette. 1 for any other depth.
template <class Work>
Result WithPixelFormat(const DibView& src, DibBuilder& dst, Work work) {
  switch (DibGetKind(&src.header, src.table)) {
    case kKind8BitGray: work(GrayPixels{}); return Result::Ok;
    case kKind24Bit: work(BgrPixels<3>{}); return Result::Ok;
    case kKind32Bit: work(BgrPixels<4>{}); return Result::Ok;
    case kKind8BitColor: {
      PaletteTree tree(src.table);
      if (!tree.ok()) return Result::OutOfMemory;
      work(PalettePixels{src.table, &tree});
      tree.StoreTable(dst);
      return Result::Ok;
    }
    default: return Result::BadParameter;
  }
}

}  // namespace pv
