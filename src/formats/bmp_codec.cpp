#include "formats/bmp_codec.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "base/byte_reader.h"
#include "base/bytes.h"
#include "dib/dib.h"

namespace pv {
namespace {

constexpr size_t kFileHeaderBytes = 14;
constexpr uint16_t kBmpMagic = 0x4D42;  // "BM"
constexpr size_t kMaxDibBytes = INT32_MAX;

// Colour-table bytes a file stores: biClrUsed entries, or the full table up to 8 bits.
uint64_t FileTableBytes(const DibHeader& h) {
  if (h.clrUsed != 0) return uint64_t{h.clrUsed} * 4;
  return h.bitCount <= 8 ? uint64_t{4} << h.bitCount : 0;
}

// Pixel bytes a file stores. Uncompressed rows are never taken shorter than stride × height,
// so the DIB made from them can always be read whole.
std::optional<uint64_t> FilePixelBytes(const DibHeader& h) {
  auto rows = DibImageBytes(h.width, h.height, h.bitCount);
  if (h.compression == 0 && rows) return std::max<uint64_t>(*rows, h.sizeImage);
  if (h.sizeImage != 0) return h.sizeImage;
  if (!rows) return std::nullopt;
  return *rows;
}

bool IsBmpFileHeader(const uint8_t* p, size_t size) {
  return size >= kFileHeaderBytes && ReadU16(p) == kBmpMagic && ReadU32(p + 2) <= size &&
         ReadU16(p + 6) == 0 && ReadU16(p + 8) == 0;
}

}  // namespace

Result BmpCodec::Read(mem::Handle file, mem::Handle* dib) const {
  if (!file || !dib) return Result::BadParameter;
  mem::Locked in(file);
  if (!IsBmpFileHeader(in.data(), in.size())) return Result::BadFileFormat;
  const ByteReader bytes(in.data(), in.size());
  constexpr uint64_t kTableAt = kFileHeaderBytes + kDibHeaderBytes;
  // The header's own size says which header it is before the file must hold 40 bytes of it:
  // a core or later header is a bad header (5), also in a file too short for a 40-byte one.
  uint32_t headerSize = 0;
  if (!bytes.Read(kFileHeaderBytes, 4, &headerSize)) return Result::BadFileFormat;
  if (headerSize != kDibHeaderBytes) return Result::BadHeader;
  if (!bytes.Has(kFileHeaderBytes, kDibHeaderBytes)) return Result::BadFileFormat;
  DibHeader h = DibHeader::Read(bytes.At(kFileHeaderBytes));
  if (h.planes != 1) return Result::BadHeader;

  const uint64_t fileTable = FileTableBytes(h);
  const auto pixels = FilePixelBytes(h);
  if (!pixels) return Result::BadHeader;
  // Sub() gives an empty reader for bytes that are not all there.
  const ByteReader table = bytes.Sub(kTableAt, fileTable);
  const ByteReader rows = bytes.Sub(kTableAt + fileTable, *pixels);
  if (table.size() != fileTable || rows.size() != *pixels) return Result::BadFileFormat;

  // The rows always follow a full table in a DIB; a file may store fewer or more entries.
  const uint64_t dibTable = h.bitCount <= 8 ? uint64_t{4} << h.bitCount : 0;
  if (kDibHeaderBytes + dibTable + *pixels > kMaxDibBytes) return Result::OutOfMemory;
  if (h.clrUsed * uint64_t{4} > dibTable) h.clrUsed = 0;
  mem::Owned out(mem::Alloc(kDibHeaderBytes + dibTable + *pixels));
  mem::Locked dst(out.get());
  if (!dst) return Result::OutOfMemory;
  h.Write(dst.data());
  if (fileTable)
    std::memcpy(dst.data() + kDibHeaderBytes, table.At(0), std::min(fileTable, dibTable));
  if (*pixels) std::memcpy(dst.data() + kDibHeaderBytes + dibTable, rows.At(0), *pixels);
  DibSettleImageSize(dst.data(), dst.size());
  *dib = out.release();
  return Result::Ok;
}

Result BmpCodec::Write(mem::Handle dib, mem::Handle* file, int32_t* fileBytes) const {
  if (!dib || !file || !fileBytes) return Result::BadParameter;
  mem::Locked in(dib);
  if (in.size() < kDibHeaderBytes) return Result::BadParameter;
  DibHeader h = DibHeader::Read(in.data());
  // The table written is the one the header announces, as far as the DIB holds one.
  const uint64_t dibTable = h.bitCount <= 8 ? uint64_t{4} << h.bitCount : 0;
  if (h.clrUsed * uint64_t{4} > dibTable) h.clrUsed = 0;
  const uint64_t table = h.clrUsed != 0 ? uint64_t{h.clrUsed} * 4 : dibTable;
  const auto pixels = h.sizeImage != 0 ? std::optional<uint64_t>(h.sizeImage)
                                       : DibImageBytes(h.width, h.height, h.bitCount);
  if (!pixels || kDibHeaderBytes + dibTable > in.size() ||
      *pixels > in.size() - kDibHeaderBytes - dibTable)
    return Result::BadHeader;
  const uint64_t total = kFileHeaderBytes + kDibHeaderBytes + table + *pixels;
  if (total > kMaxDibBytes) return Result::OutOfMemory;

  mem::Owned out(mem::Alloc(total));
  mem::Locked dst(out.get());
  if (!dst) return Result::OutOfMemory;
  uint8_t* p = dst.data();
  WriteU16(p, kBmpMagic);
  WriteU32(p + 2, static_cast<uint32_t>(total));
  WriteU32(p + 10, static_cast<uint32_t>(kFileHeaderBytes + kDibHeaderBytes + table));
  h.Write(p + kFileHeaderBytes);
  p += kFileHeaderBytes + kDibHeaderBytes;
  std::memcpy(p, in.data() + kDibHeaderBytes, table);
  std::memcpy(p + table, in.data() + kDibHeaderBytes + dibTable, *pixels);
  *file = out.release();
  *fileBytes = static_cast<int32_t>(total);
  return Result::Ok;
}

}  // namespace pv
