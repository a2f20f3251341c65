#include "formats/raw_transfer.h"

#include <algorithm>
#include <cstring>

namespace pv {
namespace {

// Bytes of one raw row: whole bytes per pixel from 8 bits up, packed below. In 64 bits: a 32-bit
// size_t would wrap for wide rows and let a short block pass for a long one.
uint64_t RawRowBytes(int bits, int32_t width) {
  return (static_cast<uint64_t>(width) * bits + 7) / 8;
}

// Copies one row, exchanging the first and third byte of every pixel for 24 and 32 bits (RGB
// outside, BGR inside); the fourth byte of a 32-bit pixel is left zero.
void CopyRow(const uint8_t* from, uint8_t* to, int bits, int32_t width) {
  if (bits < 24) {
    std::memcpy(to, from, static_cast<size_t>(RawRowBytes(bits, width)));
    return;
  }
  const int step = bits / 8;
  for (int32_t x = 0; x < width; ++x, from += step, to += step) {
    to[0] = from[2];
    to[1] = from[1];
    to[2] = from[0];
  }
}

// Colour table of a raw kind: grey levels for kinds 4, 5 and 6, black and white for kind 7.
void FillRawTable(DibBuilder& dib, int32_t kind) {
  const size_t entries = TableEntries(dib.view().bitCount());
  for (size_t i = 0; i < entries; ++i) {
    const uint8_t level = static_cast<uint8_t>(i * 255 / (entries - 1));
    uint8_t* e = dib.view().table + 4 * i;
    e[0] = e[1] = e[2] = level;
    e[3] = 1;
  }
  if (kind == 5 || kind == 7) {
    dib.header().clrUsed = static_cast<uint32_t>(entries);
    dib.StoreHeader();
  }
}

}  // namespace

int RawKindBitCount(int32_t kind) {
  static const int kBits[] = {0, 32, 24, 16, 8, 8, 4, 1};
  return kind >= 1 && kind <= 7 ? kBits[kind] : 0;
}

Result DibFromRaw(const uint8_t* raw, size_t available, int32_t kind, int32_t width, int32_t height,
                  int32_t size, mem::Handle* dib) {
  const int bits = RawKindBitCount(kind);
  if (!bits || !raw || size < 1 || width < 1 || height < 1 || size % height != 0)
    return Result::BadParameter;
  // The caller's block must hold what it claims to.
  if (static_cast<size_t>(size) > available) return Result::BadParameter;
  const size_t rowLength = static_cast<size_t>(size / height);
  if (rowLength < RawRowBytes(bits, width)) return Result::BadParameter;
  DibHeader h;
  h.width = width;
  h.height = height;
  DibBuilder out(h, bits);
  if (out.status() != Result::Ok) return out.status();
  if (bits <= 8) FillRawTable(out, kind);
  for (int32_t y = 0; y < height; ++y)
    CopyRow(raw + rowLength * static_cast<size_t>(height - 1 - y), out.view().row(y), bits, width);
  *dib = out.Release();
  return Result::Ok;
}

Result RawFromDib(const DibView& dib, RawImage* raw) {
  const int bits = dib.bitCount();
  if (bits < 8) return Result::BadBitDepth;
  const size_t rowBytes = RawRowBytes(bits, dib.width());
  mem::Owned block(mem::Alloc(rowBytes * dib.height()));
  mem::Locked bytes(block.get());
  if (!bytes) return Result::OutOfMemory;
  for (int32_t y = 0; y < dib.height(); ++y)
    CopyRow(dib.row(dib.height() - 1 - y), bytes.data() + rowBytes * y, bits, dib.width());
  raw->kind = bits == 8 ? 5 : bits == 16 ? 3 : bits == 24 ? 2 : 1;
  raw->width = dib.width();
  raw->height = dib.height();
  raw->size = static_cast<int32_t>(rowBytes * dib.height());
  raw->block = block.release();
  return Result::Ok;
}

}  // namespace pv
