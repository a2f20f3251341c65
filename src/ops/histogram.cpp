#include "ops/histogram.h"

#include "base/bytes.h"

namespace pv {
namespace {

// A histogram as the block handed to callers; null when memory cannot be had.
mem::Handle HistogramBlock(const Histogram& counts) {
  mem::Owned block(mem::Alloc(4 * counts.size()));
  mem::Locked bytes(block.get());
  if (!bytes) return nullptr;
  for (size_t v = 0; v < counts.size(); ++v) WriteU32(bytes.data() + 4 * v, counts[v]);
  return block.release();
}

}  // namespace

bool RectInside(const DibView& dib, const PixelRect& r) {
  if (r.x < 0 || r.y < 0 || r.width < 1 || r.height < 1) return false;
  return int64_t{r.x} + r.width <= dib.width() && int64_t{r.y} + r.height <= dib.height();
}

PixelRect MemoryRect(const DibView& dib, const PixelRect& r) {
  return {r.x, dib.height() - r.y - r.height, r.width, r.height};
}

void CountBytes(const DibView& dib, const PixelRect& r, Histogram* counts) {
  // Four interleaved tables keep runs of equal bytes from serialising on one counter.
  uint32_t part[4][256] = {};
  const size_t width = static_cast<size_t>(r.width);
  for (int32_t y = r.y; y < r.y + r.height; ++y) {
    const uint8_t* p = dib.row(y) + r.x;
    size_t i = 0;
    for (; i + 4 <= width; i += 4) {
      ++part[0][p[i]];
      ++part[1][p[i + 1]];
      ++part[2][p[i + 2]];
      ++part[3][p[i + 3]];
    }
    for (; i < width; ++i) ++part[0][p[i]];
  }
  for (size_t v = 0; v < 256; ++v)
    (*counts)[v] += part[0][v] + part[1][v] + part[2][v] + part[3][v];
}

Result GrayHistogram(const DibView& dib, const PixelRect& pictureRect, mem::Handle* block) {
  if (!RectInside(dib, pictureRect)) return Result::BadParameter;
  if (dib.bitCount() != 8) return Result::BadBitDepth;
  Histogram counts{};
  CountBytes(dib, MemoryRect(dib, pictureRect), &counts);
  *block = HistogramBlock(counts);
  return *block ? Result::Ok : Result::OutOfMemory;
}

Result ChannelHistograms(const DibView& dib, const PixelRect& pictureRect, mem::Handle* red,
                         mem::Handle* green, mem::Handle* blue) {
  if (!RectInside(dib, pictureRect)) return Result::BadParameter;
  if (dib.bitCount() != 24 && dib.bitCount() != 32) return Result::BadBitDepth;
  Histogram counts[3] = {};  // blue, green, red: the byte order of a pixel
  const PixelRect r = MemoryRect(dib, pictureRect);
  const size_t bytes = static_cast<size_t>(dib.bitCount() / 8);
  for (int32_t y = r.y; y < r.y + r.height; ++y) {
    const uint8_t* row = dib.row(y) + bytes * static_cast<size_t>(r.x);
    for (const uint8_t* p = row; p < row + bytes * static_cast<size_t>(r.width); p += bytes) {
      ++counts[0][p[0]];
      ++counts[1][p[1]];
      ++counts[2][p[2]];
    }
  }
  mem::Owned redBlock(HistogramBlock(counts[2])), greenBlock(HistogramBlock(counts[1])),
      blueBlock(HistogramBlock(counts[0]));
  if (!redBlock || !greenBlock || !blueBlock) return Result::OutOfMemory;
  *red = redBlock.release();
  *green = greenBlock.release();
  *blue = blueBlock.release();
  return Result::Ok;
}

}  // namespace pv
