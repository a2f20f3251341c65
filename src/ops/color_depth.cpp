#include "ops/color_depth.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "dib/dib_pixels.h"
#include "ops/octree.h"

namespace pv {
namespace {

constexpr size_t kTrueColorKeys = size_t{1} << 24;

// One colour of the image: its RGBQUAD, how many pixels have it, and where it came from (the
// table index for palette images, blue × 65536 + green × 256 + red for true colour).
struct ColorEntry {
  uint8_t quad[4];
  uint32_t count;
  uint32_t source;
  uint32_t Value() const {  // RGBQUAD read as a little-endian number: red most significant
    return static_cast<uint32_t>(quad[3]) << 24 | quad[2] << 16 | quad[1] << 8 | quad[0];
  }
};

uint32_t TrueColorKey(const uint8_t* bgr) { return bgr[0] << 16 | bgr[1] << 8 | bgr[2]; }

template <typename PixelFn>
void ForEachPixel(const DibView& dib, PixelFn fn) {
  for (int32_t y = 0; y < dib.height(); ++y) {
    const uint8_t* row = dib.row(y);
    for (int32_t x = 0; x < dib.width(); ++x) fn(y, x, row);
  }
}

// The new DIB's header: clrUsed and clrImportant as given.
void SetTableUse(DibBuilder& out, uint32_t entries) {
  DibHeader& h = out.header();
  h.clrUsed = h.clrImportant = entries;
  out.StoreHeader();
}

// Colours used by a palette image, one entry per occurring index, in index order.
std::vector<ColorEntry> CountPaletteColors(const DibView& src) {
  std::vector<uint32_t> counts(TableEntries(src.bitCount()), 0);
  ForEachPixel(src, [&](int32_t, int32_t x, const uint8_t* row) {
    ++counts[PackedGet(row, x, src.bitCount())];
  });
  std::vector<ColorEntry> list;
  for (uint32_t i = 0; i < counts.size(); ++i) {
    if (counts[i] == 0) continue;
    ColorEntry e{{0, 0, 0, 0}, counts[i], i};
    std::memcpy(e.quad, src.table + 4 * i, 4);
    list.push_back(e);
  }
  return list;
}

// The 2^24-entry direct table of a true-colour image: first a counter per colour, then the
// colour's slot. calloc leaves untouched pages unmapped, so few colours cost little.
struct TrueColorTable {
  explicit TrueColorTable(bool needed)
      : entries(needed ? static_cast<uint32_t*>(std::calloc(kTrueColorKeys, 4)) : nullptr) {}
  struct Free {
    void operator()(uint32_t* p) const { std::free(p); }
  };
  std::unique_ptr<uint32_t[], Free> entries;
};

// Colours of a true-colour image in ascending key order. Counting stops at the colour beyond
// `limit`: the reduction is refused then, whatever the rest of the picture holds.
std::vector<ColorEntry> CountTrueColors(const DibView& src, uint32_t* counters, size_t limit) {
  const int bytes = src.bitCount() / 8;
  std::vector<uint32_t> keys;
  for (int32_t y = 0; y < src.height() && keys.size() <= limit; ++y) {
    const uint8_t* row = src.row(y);
    for (int32_t x = 0; x < src.width(); ++x) {
      const uint32_t key = TrueColorKey(row + x * bytes);
      if (counters[key]++ == 0) keys.push_back(key);
    }
  }
  std::sort(keys.begin(), keys.end());
  std::vector<ColorEntry> list;
  for (uint32_t key : keys)
    list.push_back(ColorEntry{{static_cast<uint8_t>(key >> 16), static_cast<uint8_t>(key >> 8),
                               static_cast<uint8_t>(key), 0},
                              counters[key],
                              key});
  return list;
}

// Maps every used colour to a slot of a table of at most 2^target entries, sorted by value.
Result ExactReduction(const DibView& src, int target, mem::Handle* out) {
  const size_t capacity = size_t{1} << target;
  const bool palette = src.bitCount() <= 8;
  TrueColorTable counters(!palette);
  if (!palette && !counters.entries) return Result::OutOfMemory;
  std::vector<ColorEntry> list =
      palette ? CountPaletteColors(src) : CountTrueColors(src, counters.entries.get(), capacity);
  if (list.size() > capacity) return Result::TooManyColours;
  std::stable_sort(list.begin(), list.end(),
                   [](const ColorEntry& a, const ColorEntry& b) { return a.Value() < b.Value(); });

  DibBuilder dst(src.header, target);
  if (dst.status() != Result::Ok) return dst.status();
  SetTableUse(dst, static_cast<uint32_t>(capacity));
  // The counting table is reused as the colour-to-slot map.
  uint32_t paletteMap[256] = {};
  uint32_t* map = palette ? paletteMap : counters.entries.get();
  for (size_t k = 0; k < list.size(); ++k) {
    std::memcpy(dst.view().table + 4 * k, list[k].quad, 4);
    map[list[k].source] = static_cast<uint32_t>(k);
  }
  const int bytes = src.bitCount() / 8;
  ForEachPixel(src, [&](int32_t y, int32_t x, const uint8_t* row) {
    const uint32_t key =
        palette ? PackedGet(row, x, src.bitCount()) : TrueColorKey(row + x * bytes);
    PackedOr(dst.view().row(y), x, target, static_cast<uint8_t>(map[key]));
  });
  *out = dst.Release();
  return Result::Ok;
}

// 1, 2 or 4 bits to 4 or 8 bits: same indices, table padded with zero entries.
Result ExpandPalette(const DibView& src, int target, mem::Handle* out) {
  DibBuilder dst(src.header, target);
  if (dst.status() != Result::Ok) return dst.status();
  SetTableUse(dst, 1u << target);
  std::memcpy(dst.view().table, src.table, 4 * TableEntries(src.bitCount()));
  ForEachPixel(src, [&](int32_t y, int32_t x, const uint8_t* row) {
    PackedOr(dst.view().row(y), x, target, PackedGet(row, x, src.bitCount()));
  });
  *out = dst.Release();
  return Result::Ok;
}

// Any depth to 16, 24 or 32 bits through each pixel's colour.
Result ToDirectColor(const DibView& src, int target, mem::Handle* out) {
  DibBuilder dst(src.header, target);
  if (dst.status() != Result::Ok) return dst.status();
  SetTableUse(dst, 0);
  const int bytes = target / 8;
  ForEachPixel(src, [&](int32_t y, int32_t x, const uint8_t* row) {
    uint8_t bgr[3];
    ReadBgr(src, row, x, bgr);
    uint8_t* p = dst.view().row(y) + x * bytes;
    if (target == 16)
      Pack16(bgr[0], bgr[1], bgr[2], p);
    else
      std::memcpy(p, bgr, 3);
  });
  *out = dst.Release();
  return Result::Ok;
}

Result Quantize(const DibView& src, mem::Handle* out) {
  OctreeQuantizer tree;
  if (!tree.ok()) return Result::OutOfMemory;
  const int bytes = src.bitCount() / 8;
  ForEachPixel(src, [&](int32_t, int32_t x, const uint8_t* row) {
    const uint8_t* p = row + x * bytes;
    tree.Insert(p[2], p[1], p[0]);
  });
  tree.Reduce();
  DibBuilder dst(src.header, 8);
  if (dst.status() != Result::Ok) return dst.status();
  tree.FillPalette(dst.view().table);
  ForEachPixel(src, [&](int32_t y, int32_t x, const uint8_t* row) {
    const uint8_t* p = row + x * bytes;
    dst.view().row(y)[x] = tree.Lookup(p[2], p[1], p[0]);
  });
  *out = dst.Release();
  return Result::Ok;
}

Result Convert(const DibView& src, int target, mem::Handle* out);

// Routes without a pixel path of their own (16 bits to 8 or fewer) go through 24 bits.
Result ConvertThroughTrueColor(const DibView& src, int target, mem::Handle* out) {
  mem::Handle temp = nullptr;
  const Result made = ToDirectColor(src, 24, &temp);
  if (made != Result::Ok) return made;
  mem::Owned owned(temp);
  DibLock lock(temp);
  if (lock.status() != Result::Ok) return lock.status();
  return Convert(lock.view(), target, out);
}

Result Convert(const DibView& src, int target, mem::Handle* out) {
  const int current = src.bitCount();
  if (current == target) return Result::NothingToDo;
  if (current == 16 && target <= 8) return ConvertThroughTrueColor(src, target, out);
  if (target <= 4 && target < current) return ExactReduction(src, target, out);
  switch (target) {
    case 4: return ExpandPalette(src, 4, out);
    case 8: return current > 8 ? Quantize(src, out) : ExpandPalette(src, 8, out);
    case 16:
    case 24:
    case 32: return ToDirectColor(src, target, out);
    default: return Result::BadParameter;  // 1 bit to 2 bits
  }
}

}  // namespace

Result ConvertColorDepth(const DibView& source, int bitCount, mem::Handle* out) {
  if (!IsDibBitCount(bitCount)) return Result::BadParameter;
  return Convert(source, bitCount, out);
}

}  // namespace pv
