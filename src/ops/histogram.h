// Histograms of pixel bytes over a rectangle of the image.
#pragma once

#include <array>
#include <cstdint>

#include "dib/dib.h"

namespace pv {

using Histogram = std::array<uint32_t, 256>;

// Columns x .. x + width - 1 of rows y .. y + height - 1.
struct PixelRect {
  int32_t x = 0, y = 0, width = 0, height = 0;
};

// True when the rectangle is not empty and lies inside the picture.
bool RectInside(const DibView& dib, const PixelRect& rect);
// The same pixels with y counted in memory rows (0 at the bottom) instead of picture rows.
PixelRect MemoryRect(const DibView& dib, const PixelRect& pictureRect);

// Adds the bytes of an 8-bit image's rectangle (memory rows; inside the picture) to `counts`.
void CountBytes(const DibView& dib, const PixelRect& memoryRect, Histogram* counts);

// New blocks of 256 little-endian 32-bit counts over a rectangle in picture rows: of the bytes of
// an 8-bit image, or of the red, green and blue bytes of a 24- or 32-bit image. BadParameter for
// a rectangle outside the picture, BadBitDepth for other depths.
Result GrayHistogram(const DibView& dib, const PixelRect& pictureRect, mem::Handle* block);
Result ChannelHistograms(const DibView& dib, const PixelRect& pictureRect, mem::Handle* red,
                         mem::Handle* green, mem::Handle* blue);

}  // namespace pv
