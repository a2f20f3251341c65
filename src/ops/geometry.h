// Geometry: mirroring, crop and fill (trim and canvas size), mosaic and line profiles, and
// the new-DIB shape that resampling and rotation share.
#pragma once

#include <cstdint>

#include "dib/dib.h"

namespace pv {

// A new zero DIB like `src` (header fields, bit count, colour table) of another size.
class SameKindDib : public DibBuilder {
 public:
  SameKindDib(const DibView& src, int32_t width, int32_t height);
};

// A new DIB of the same shape holding the same rows.
Result CopyDib(const DibView& src, mem::Handle* out);

// Whole bytes per pixel of an 8-bit or deeper DIB.
inline int PixelBytes(int bitCount) { return bitCount / 8; }

// Mirrors the rows in place: 0 upside down, 1 left to right. 8 below 8 bits; 1 for any other
// direction.
Result MirrorDib(const DibView& dib, int32_t direction);

// A new width × height DIB holding the source moved by (-left, -top) in picture coordinates;
// pixels the source does not cover get `fill` (low bits of it for palette depths; (v >> 8, v)
// at 16 bits; (v >> 16, v >> 8, v) at 24 and 32 bits, so a COLORREF gives its colour).
Result CropAndFill(const DibView& src, int64_t left, int64_t top, int64_t width, int64_t height,
                   uint32_t fill, mem::Handle* out);

// Origin of the picture on a new canvas by the placement flags of SetSize (vertical in the low
// byte: 1 top, 2 centre, 4 bottom; horizontal in the next: 0x100 left, 0x200 centre, 0x400
// right). 1 for any other flags.
Result CanvasOrigin(const DibHeader& header, int32_t width, int32_t height, int32_t placement,
                    int64_t* left, int64_t* top);

// In place: every d × d block from the top-left corner becomes its mean colour. 24 bits only
// (1 for anything else).
Result MosaicDib(const DibView& dib, int32_t blockSize);

// Samples along the line between two picture points, left to right: one byte per sample up to 8
// bits (the pixel value), red, green and blue at 24 and 32 bits. 1 for a point outside the
// image, 8 at 16 bits.
Result ProfileOf(const DibView& src, int32_t startX, int32_t startY, int32_t endX, int32_t endY,
                 mem::Handle* block, int32_t* count);

}  // namespace pv
