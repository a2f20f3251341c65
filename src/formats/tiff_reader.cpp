// The TIFF reader: the first directory of an "II" or "MM" file, uncompressed 8-bit and 24-bit
// strip images. Every offset and length is checked against the file before it is used.
#include <algorithm>
#include <cstring>
#include <functional>
#include <iterator>
#include <optional>

#include "base/byte_reader.h"
#include "base/bytes.h"
#include "dib/dib.h"
#include "formats/tiff_codec.h"
#include "formats/tiff_format.h"
#include "formats/tiff_pixels.h"

namespace pv {
namespace {

// The input in the file's byte order; a read that does not lie wholly inside it fails.
using TiffBytes = ByteReader;

// Bytes of one value of a field type (unknown types count as 4); the 8-byte rational and
// double types are read by their first half.
int TypeBytes(uint16_t type) {
  // -, BYTE, ASCII, SHORT, LONG, RATIONAL, SBYTE, UNDEFINED, SSHORT, SLONG, SRATIONAL, FLOAT,
  // DOUBLE
  static constexpr int kBytes[] = {4, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8};
  return type < std::size(kBytes) ? kBytes[type] : 4;
}

// A directory entry's values: in its own value field when they fit in four bytes, else at the
// offset that field holds.
struct TiffEntry {
  uint16_t type = 0;
  uint32_t count = 0;
  uint64_t values = 0;
  bool seen = false;

  // Value i by the entry's type; false past the entry's count or the file's end.
  bool Get(const TiffBytes& in, uint32_t i, uint32_t* value) const {
    const int bytes = TypeBytes(type);
    return i < count && in.Read(values + uint64_t{i} * bytes, std::min(bytes, 4), value);
  }
};

// What the reader takes from the first directory.
struct TiffDirectory {
  uint32_t width = 0, height = 0, bits = 0, compression = 0;
  bool compressionSeen = false;
  TiffEntry stripOffsets, rowsPerStrip, stripByteCounts, colorMap;
};

bool ReadEntry(const TiffBytes& in, uint64_t at, uint16_t* tag, TiffEntry* entry) {
  uint32_t t = 0, type = 0, field = 0;
  if (!in.Read(at, 2, &t) || !in.Read(at + 2, 2, &type) || !in.Read(at + 4, 4, &entry->count) ||
      !in.Read(at + 8, 4, &field))
    return false;
  *tag = static_cast<uint16_t>(t);
  entry->type = static_cast<uint16_t>(type);
  entry->values = uint64_t{entry->count} * TypeBytes(entry->type) <= 4 ? at + 8 : field;
  entry->seen = true;
  return true;
}

// One count gives the bit count itself; more give count times the first sample's bits.
bool ReadBits(const TiffBytes& in, const TiffEntry& entry, uint32_t* bits) {
  uint32_t first = 0;
  if (!entry.Get(in, 0, &first)) return false;
  const uint64_t total = entry.count == 1 ? first : uint64_t{entry.count} * first;
  *bits = static_cast<uint32_t>(total);
  return total == 8 || total == 24;
}

// Takes in one entry; false refuses the file.
bool TakeEntry(const TiffBytes& in, uint16_t tag, const TiffEntry& entry, TiffDirectory* dir) {
  uint32_t value = 0;
  switch (tag) {
    case kTagImageWidth: return entry.Get(in, 0, &dir->width);
    case kTagImageLength: return entry.Get(in, 0, &dir->height);
    case kTagBitsPerSample: return ReadBits(in, entry, &dir->bits);
    case kTagCompression: dir->compressionSeen = true; return entry.Get(in, 0, &dir->compression);
    case kTagPhotometric: return entry.Get(in, 0, &value) && value >= 1 && value <= 3;
    case kTagStripOffsets: dir->stripOffsets = entry; return true;
    case kTagRowsPerStrip: dir->rowsPerStrip = entry; return true;
    case kTagStripByteCounts: dir->stripByteCounts = entry; return true;
    case kTagColorMap: dir->colorMap = entry; return true;
    default: return true;
  }
}

bool ReadDirectory(const TiffBytes& in, TiffDirectory* dir) {
  uint32_t offset = 0, entries = 0;
  if (!in.Read(4, 4, &offset) || !in.Read(offset, 2, &entries)) return false;
  for (uint32_t i = 0; i < entries; ++i) {
    uint16_t tag = 0;
    TiffEntry entry;
    if (!ReadEntry(in, offset + 2 + 12 * uint64_t{i}, &tag, &entry) ||
        !TakeEntry(in, tag, entry, dir))
      return false;
  }
  return dir->compressionSeen && dir->compression == 1 && dir->width && dir->height && dir->bits &&
         dir->stripOffsets.seen && dir->width <= INT32_MAX && dir->height <= INT32_MAX;
}

// Entry i from the i-th value of the map's red, green and blue thirds. Values are 16-bit; the
// high byte is the 8-bit level whether a writer repeated the byte (c × 257), shifted it (c × 256)
// or quantised at 16 bits, as libtiff's own RGBA reading takes it.
bool ReadColorMap(const TiffBytes& in, const TiffEntry& map, uint8_t* table) {
  for (uint32_t i = 0; i < 256; ++i)
    for (uint32_t plane = 0; plane < 3; ++plane) {
      uint32_t value = 0;
      if (!map.Get(in, 256 * plane + i, &value)) return false;
      table[4 * i + 2 - plane] = static_cast<uint8_t>(value >> 8);
    }
  return true;
}

// The unpadded picture rows of the file, top first, laid into the bottom-up DIB; 24-bit samples
// come red, green, blue and land blue, green, red. Only the bytes a strip brings are touched.
class RawImage {
 public:
  explicit RawImage(const DibView& dib)
      : dib_(dib),
        rowBytes_(static_cast<uint64_t>(dib.width()) * (dib.bitCount() / 8)),
        rgb_(dib.bitCount() == 24) {}
  uint64_t bytes() const { return rowBytes_ * static_cast<uint64_t>(dib_.height()); }

  // Copies n bytes of a strip to raw position `at`; false when they would not fit.
  bool Store(uint64_t at, const uint8_t* strip, uint64_t n) const {
    if (n == 0) return true;
    if (at > bytes() || n > bytes() - at) return false;
    while (n > 0) {
      const uint64_t y = at / rowBytes_, x = at % rowBytes_, chunk = std::min(n, rowBytes_ - x);
      PutRowBytes(dib_.row(dib_.height() - 1 - static_cast<int32_t>(y)), x, strip, chunk);
      at += chunk;
      strip += chunk;
      n -= chunk;
    }
    return true;
  }

 private:
  // A strip may start or end inside a pixel: the samples of part-pixels are placed one by one
  // by their own column, the whole pixels between them swapped together.
  void PutRowBytes(uint8_t* row, uint64_t x, const uint8_t* bytes, uint64_t n) const {
    if (!rgb_) {
      std::memcpy(row + x, bytes, n);
      return;
    }
    const uint64_t lead = std::min<uint64_t>(n, (3 - x % 3) % 3);
    PutSamples(row, x, bytes, lead);
    const uint64_t whole = (n - lead) / 3;
    SwapRedBlue(bytes + lead, row + x + lead, whole);
    const uint64_t done = lead + 3 * whole;
    PutSamples(row, x + done, bytes + done, n - done);
  }

  static void PutSamples(uint8_t* row, uint64_t x, const uint8_t* bytes, uint64_t n) {
    for (uint64_t i = 0; i < n; ++i, ++x) row[x + 2 - 2 * (x % 3)] = bytes[i];
  }

  const DibView& dib_;
  uint64_t rowBytes_;
  bool rgb_;
};

uint64_t SaturatingMul(uint64_t a, uint64_t b) {
  return b != 0 && a > UINT64_MAX / b ? UINT64_MAX : a * b;
}

// Where the strips' bytes go: the unpadded rows of `rowBytes` each, `total` in all. `store`
// places n bytes at raw position `at`, false when they would not fit.
struct RawLayout {
  uint64_t rowBytes;
  uint64_t total;
  std::function<bool(uint64_t at, const uint8_t* strip, uint64_t n)> store;
};

// One strip holds the whole image; several follow their offsets and byte counts, each placed
// RowsPerStrip rows after the last when that tag is present, else right behind it. Strips
// that cannot hold their rows are malformed: an empty one, zero rows per strip, one shorter
// than the rows it starts (the last may hold only what is left), strips that end early.
bool ReadStrips(const TiffBytes& in, const TiffDirectory& dir, const RawLayout& raw) {
  const TiffEntry& offsets = dir.stripOffsets;
  uint32_t offset = 0, count = 0, rows = 0;
  if (offsets.count == 1)
    return offsets.Get(in, 0, &offset) && in.Has(offset, raw.total) &&
           raw.store(0, in.At(offset), raw.total);
  if (offsets.count == 0 || !dir.stripByteCounts.seen) return false;
  if (dir.rowsPerStrip.seen && (!dir.rowsPerStrip.Get(in, 0, &rows) || rows == 0)) return false;
  const uint64_t step = SaturatingMul(raw.rowBytes, rows);
  const uint64_t total = raw.total;
  uint64_t at = 0;
  for (uint32_t i = 0; i < offsets.count; ++i) {
    if (!offsets.Get(in, i, &offset) || !dir.stripByteCounts.Get(in, i, &count) || count == 0 ||
        !in.Has(offset, count) || !raw.store(at, in.At(offset), count))
      return false;
    if (dir.rowsPerStrip.seen && at < total && count < std::min(step, total - at)) return false;
    const uint64_t advance = dir.rowsPerStrip.seen ? step : count;
    at = advance > UINT64_MAX - at ? UINT64_MAX : at + advance;
  }
  return at >= total;
}

}  // namespace

Result TiffCodec::Read(mem::Handle file, mem::Handle* dib) const {
  if (!file || !dib) return Result::BadParameter;
  mem::Locked in(file);
  if (in.size() < 2) return Result::BadFileFormat;
  const bool little = in.data()[0] == 'I' && in.data()[1] == 'I';
  const bool big = in.data()[0] == 'M' && in.data()[1] == 'M';
  if (!little && !big) return Result::BadFileFormat;
  const TiffBytes bytes(in.data(), in.size(), big);
  TiffDirectory dir;
  if (!ReadDirectory(bytes, &dir)) return Result::BadHeader;
  // The strips are checked before the picture is made: a small file whose strips cannot fill
  // it costs nothing picture-sized.
  const uint64_t rowBytes = uint64_t{dir.width} * (dir.bits / 8);
  const uint64_t total = rowBytes * dir.height;
  const auto fits = [&](uint64_t at, const uint8_t*, uint64_t n) {
    return n == 0 || (at <= total && n <= total - at);
  };
  if (!ReadStrips(bytes, dir, {rowBytes, total, fits})) return Result::BadHeader;

  DibHeader header;
  header.width = static_cast<int32_t>(dir.width);
  header.height = static_cast<int32_t>(dir.height);
  DibBuilder out(header, static_cast<int>(dir.bits));
  if (out.status() != Result::Ok) return Result::OutOfMemory;
  const DibView& view = out.view();
  if (dir.bits == 8) {
    if (!dir.colorMap.seen)
      WriteGrayRamp(view.table);
    else if (!ReadColorMap(bytes, dir.colorMap, view.table))
      return Result::BadHeader;
    out.header().clrUsed = 256;
    out.StoreHeader();
  }
  const RawImage raw(view);
  const auto store = [&](uint64_t at, const uint8_t* strip, uint64_t n) {
    return raw.Store(at, strip, n);
  };
  if (!ReadStrips(bytes, dir, {rowBytes, total, store})) return Result::BadHeader;
  *dib = out.Release();
  return Result::Ok;
}

}  // namespace pv
