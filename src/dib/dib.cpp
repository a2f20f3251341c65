#include "dib/dib.h"

#include <cstring>

#include "base/bytes.h"

namespace pv {

DibHeader DibHeader::Read(const uint8_t* p) {
  DibHeader h;
  h.size = ReadU32(p);
  h.width = ReadI32(p + 4);
  h.height = ReadI32(p + 8);
  h.planes = ReadU16(p + 12);
  h.bitCount = ReadU16(p + 14);
  h.compression = ReadU32(p + 16);
  h.sizeImage = ReadU32(p + 20);
  h.xPelsPerMeter = ReadI32(p + 24);
  h.yPelsPerMeter = ReadI32(p + 28);
  h.clrUsed = ReadU32(p + 32);
  h.clrImportant = ReadU32(p + 36);
  return h;
}

void DibHeader::Write(uint8_t* p) const {
  WriteU32(p, size);
  WriteI32(p + 4, width);
  WriteI32(p + 8, height);
  WriteU16(p + 12, planes);
  WriteU16(p + 14, bitCount);
  WriteU32(p + 16, compression);
  WriteU32(p + 20, sizeImage);
  WriteI32(p + 24, xPelsPerMeter);
  WriteI32(p + 28, yPelsPerMeter);
  WriteU32(p + 32, clrUsed);
  WriteU32(p + 36, clrImportant);
}

Result DibViewOf(uint8_t* dib, size_t blockBytes, DibView* view) {
  if (!dib || blockBytes < kDibHeaderBytes) return Result::BadParameter;
  const DibHeader h = DibHeader::Read(dib);
  if (h.size != kDibHeaderBytes || h.planes != 1 || h.compression != 0) return Result::BadHeader;
  // A bit count outside the model would size the table or rows from garbage.
  if (!IsDibBitCount(h.bitCount) || h.width <= 0 || h.height <= 0) return Result::BadHeader;
  const size_t offset = PixelOffset(h.bitCount);
  auto stride = DibStride(h.width, h.bitCount);
  auto image = DibImageBytes(h.width, h.height, h.bitCount);
  if (!image || *image > blockBytes || offset > blockBytes - *image) return Result::BadHeader;
  view->header = h;
  view->table = h.bitCount <= 8 ? dib + kDibHeaderBytes : nullptr;
  view->bits = dib + offset;
  view->stride = *stride;
  return Result::Ok;
}

uint16_t DibColorTableBytes(const DibHeader& header) {
  if (header.clrUsed != 0) return static_cast<uint16_t>(header.clrUsed * 4);
  if (header.bitCount <= 8) return static_cast<uint16_t>(4u << header.bitCount);
  return 0;
}

int16_t DibGetKind(const DibHeader* header, const uint8_t* table) {
  if (!header) return kKindInvalid;
  switch (header->bitCount) {
    case 1: return kKind1Bit;
    case 4: return kKind4Bit;
    case 16: return kKind16Bit;
    case 24: return kKind24Bit;
    case 32: return kKind32Bit;
    case 8: {
      if (!table) return kKindInvalid;
      for (int i = 0; i < 256; ++i) {
        const uint8_t* e = table + 4 * i;
        if (e[0] != i || e[1] != i || e[2] != i) return kKind8BitColor;
      }
      return kKind8BitGray;
    }
    default: return kKindInvalid;
  }
}

namespace {

// Reads the header of a DIB handle; false when the handle holds no header.
bool PeekHeader(mem::Handle dib, DibHeader* header) {
  mem::Locked block(dib);
  if (!block || block.size() < kDibHeaderBytes) return false;
  *header = DibHeader::Read(block.data());
  return true;
}

}  // namespace

int32_t DibGetWidth(mem::Handle dib) {
  DibHeader h;
  return PeekHeader(dib, &h) ? h.width : -1;
}

int32_t DibGetHeight(mem::Handle dib) {
  DibHeader h;
  return PeekHeader(dib, &h) ? h.height : -1;
}

int32_t DibGetImageSize(mem::Handle dib) {
  DibHeader h;
  if (!PeekHeader(dib, &h)) return -1;
  // Computed, not read from biSizeImage; a 32-bit quantity at the interface.
  const int64_t stride = (static_cast<int64_t>(h.bitCount) * h.width + 31) / 32 * 4;
  const uint64_t bytes = static_cast<uint64_t>(stride) * static_cast<uint64_t>(int64_t{h.height});
  return static_cast<int32_t>(static_cast<uint32_t>(bytes));
}

int32_t DibGetBitCount(mem::Handle dib) {
  DibHeader h;
  return PeekHeader(dib, &h) ? h.bitCount : -1;
}

int32_t DibGetPaletteSize(mem::Handle dib) {
  DibHeader h;
  return PeekHeader(dib, &h) ? DibColorTableBytes(h) : -1;
}

mem::Handle DibCopyHeader(mem::Handle dib) {
  mem::Locked block(dib);
  if (!block || block.size() < kDibHeaderBytes) return nullptr;
  return mem::AllocCopy(block.data(), kDibHeaderBytes);
}

void DibSettleImageSize(uint8_t* dib, size_t blockBytes) {
  DibView view;
  if (DibViewOf(dib, blockBytes, &view) != Result::Ok || view.imageBytes() > UINT32_MAX) return;
  view.header.sizeImage = static_cast<uint32_t>(view.imageBytes());
  view.header.Write(dib);
}

mem::Handle DibCopyIn(const uint8_t* dib, size_t blockBytes) {
  mem::Handle copy = mem::AllocCopy(dib, blockBytes);
  mem::Locked block(copy);
  if (block) DibSettleImageSize(block.data(), block.size());
  return copy;
}

Result DibSplit(uint8_t* dib, size_t blockBytes, DibHeader* header, uint8_t* table,
                mem::Handle* pixels) {
  if (!dib || !header || blockBytes < kDibHeaderBytes) return Result::BadParameter;
  *header = DibHeader::Read(dib);
  DibView view;
  const Result checked = DibViewOf(dib, blockBytes, &view);
  if (checked != Result::Ok) return checked;
  if (table && view.table) std::memcpy(table, view.table, 4 * TableEntries(view.bitCount()));
  if (!pixels) return Result::Ok;
  mem::Handle copy = mem::AllocCopy(view.bits, view.imageBytes());
  if (!copy) return Result::OutOfMemory;
  *pixels = copy;
  return Result::Ok;
}

Result DibSplitHandle(mem::Handle dib, DibHeader* header, uint8_t* table, mem::Handle* pixels) {
  mem::Locked block(dib);
  return DibSplit(block.data(), block.size(), header, table, pixels);
}

DibLock::DibLock(mem::Handle dib) : block_(dib) {
  status_ = DibViewOf(block_.data(), block_.size(), &view_);
}

DibBuilder::DibBuilder(const DibHeader& source, int bitCount, mem::Filling filling) {
  DibHeader h = source;
  h.size = kDibHeaderBytes;
  h.planes = 1;
  h.compression = 0;
  h.bitCount = static_cast<uint16_t>(bitCount);
  const auto image = DibImageBytes(h.width, h.height, bitCount);
  const uint64_t offset = PixelOffset(bitCount);
  if (h.width <= 0 || h.height <= 0) {
    status_ = Result::BadParameter;
    return;
  }
  // Image sizes are 32-bit quantities at every interface.
  if (!image || *image > INT32_MAX - offset) return;
  const size_t total = static_cast<size_t>(*image + offset);
  h.sizeImage = static_cast<uint32_t>(*image);
  block_.reset(mem::Alloc(total, filling));
  data_ = static_cast<uint8_t*>(mem::Lock(block_.get()));
  if (!data_) return;
  h.Write(data_);
  DibViewOf(data_, total, &view_);
  status_ = Result::Ok;
}

DibBuilder::~DibBuilder() {
  if (data_) mem::Unlock(block_.get());
}

void DibBuilder::StoreHeader() {
  if (data_) view_.header.Write(data_);
}

mem::Handle DibBuilder::Release() {
  if (data_) mem::Unlock(block_.get());
  data_ = nullptr;
  return block_.release();
}

}  // namespace pv
