// The packed DIB: a 40-byte BITMAPINFOHEADER, the colour table (full size for 1, 2, 4 and 8
// bits) and bottom-up pixel rows, in one global memory block.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/result.h"
#include "platform/global_memory.h"

namespace pv {

constexpr size_t kDibHeaderBytes = 40;
constexpr size_t kMaxColorTableBytes = 1024;

struct DibHeader {
  uint32_t size = kDibHeaderBytes;
  int32_t width = 0;
  int32_t height = 0;
  uint16_t planes = 1;
  uint16_t bitCount = 0;
  uint32_t compression = 0;
  uint32_t sizeImage = 0;
  int32_t xPelsPerMeter = 0;
  int32_t yPelsPerMeter = 0;
  uint32_t clrUsed = 0;
  uint32_t clrImportant = 0;

  static DibHeader Read(const uint8_t* bytes);
  void Write(uint8_t* bytes) const;
};

// Classification by which operations accept or refuse an image.
enum DibKind : int16_t {
  kKindInvalid = -1,
  kKind1Bit = 0,
  kKind4Bit = 1,
  kKind8BitColor = 2,
  kKind8BitGray = 3,
  kKind16Bit = 4,
  kKind24Bit = 5,
  kKind32Bit = 6,
};

// Entries of the colour table that the pixel rows follow: 2^bitCount up to 8 bits, else none.
inline size_t TableEntries(int bitCount) { return bitCount <= 8 ? size_t{1} << bitCount : 0; }
inline size_t PixelOffset(int bitCount) { return kDibHeaderBytes + 4 * TableEntries(bitCount); }
// The 256-entry grey table (i, i, i, 0) of kind 3.
inline void WriteGrayRamp(uint8_t* table) {
  for (int i = 0; i < 256; ++i) {
    for (int c = 0; c < 3; ++c) table[4 * i + c] = static_cast<uint8_t>(i);
    table[4 * i + 3] = 0;
  }
}
inline bool IsDibBitCount(int bitCount) {
  return bitCount == 1 || bitCount == 2 || bitCount == 4 || bitCount == 8 || bitCount == 16 ||
         bitCount == 24 || bitCount == 32;
}

// A validated DIB inside a locked block: header, colour table and rows.
struct DibView {
  DibHeader header;
  uint8_t* table = nullptr;  // TableEntries(bitCount) RGBQUADs, or null above 8 bits
  uint8_t* bits = nullptr;   // first memory row = bottom row of the picture
  size_t stride = 0;

  int32_t width() const { return header.width; }
  int32_t height() const { return header.height; }
  int bitCount() const { return header.bitCount; }
  size_t imageBytes() const { return stride * static_cast<size_t>(header.height); }
  uint8_t* row(int32_t memoryRow) const { return bits + stride * static_cast<size_t>(memoryRow); }
};

// Header checks every operation relies on: 40-byte header, one plane, no compression, a bit
// count of the model, positive size, and a block long enough for table and rows.
Result DibViewOf(uint8_t* dib, size_t blockBytes, DibView* view);

// Palette size in bytes as reported to callers (biClrUsed rules), modulo 65536.
uint16_t DibColorTableBytes(const DibHeader& header);
int16_t DibGetKind(const DibHeader* header, const uint8_t* table);

// Accessors on a DIB handle; -1 for a null (or unreadable) handle.
int32_t DibGetWidth(mem::Handle dib);
int32_t DibGetHeight(mem::Handle dib);
int32_t DibGetImageSize(mem::Handle dib);
int32_t DibGetBitCount(mem::Handle dib);
int32_t DibGetPaletteSize(mem::Handle dib);
// A new 40-byte block with a copy of the header; null on failure.
mem::Handle DibCopyHeader(mem::Handle dib);

// A DIB that enters from outside (a file, a caller's block, the clipboard) keeps its bytes, but
// a valid uncompressed one gets biSizeImage = stride × height, the rows it really holds: a short
// or zero one would make writers drop rows.
void DibSettleImageSize(uint8_t* dib, size_t blockBytes);
// A new block holding a copy of such a DIB, settled; null without memory.
mem::Handle DibCopyIn(const uint8_t* dib, size_t blockBytes);

// Copies the header, optionally the colour table (into 1024 bytes) and optionally the pixel
// rows (into a new block owned by the caller).
Result DibSplit(uint8_t* dib, size_t blockBytes, DibHeader* header, uint8_t* table,
                mem::Handle* pixels);
Result DibSplitHandle(mem::Handle dib, DibHeader* header, uint8_t* table, mem::Handle* pixels);

// Locks a DIB handle and validates it for the lifetime of the object.
class DibLock {
 public:
  explicit DibLock(mem::Handle dib);
  Result status() const { return status_; }
  const DibView& view() const { return view_; }
  size_t blockBytes() const { return block_.size(); }
  uint8_t* block() const { return block_.data(); }

 private:
  mem::Locked block_;
  DibView view_;
  Result status_;
};

// A new zero-filled DIB being built: header from a template with the given bit count,
// biSizeImage = stride × height, full colour table for palette depths. `filling` says how the
// rows will be written (see mem::Filling).
class DibBuilder {
 public:
  DibBuilder(const DibHeader& source, int bitCount, mem::Filling filling = mem::Filling::Whole);
  ~DibBuilder();
  DibBuilder(const DibBuilder&) = delete;
  DibBuilder& operator=(const DibBuilder&) = delete;
  Result status() const { return status_; }
  const DibView& view() const { return view_; }
  DibHeader& header() { return view_.header; }
  // Rewrites the header fields held in view().header into the block.
  void StoreHeader();
  // Hands the finished block to the caller.
  mem::Handle Release();

 private:
  mem::Owned block_;
  uint8_t* data_ = nullptr;
  DibView view_;
  Result status_ = Result::OutOfMemory;
};

}  // namespace pv
