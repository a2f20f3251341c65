// The TIFF writer: one little-endian, uncompressed, chunky strip image in a fixed layout.
// Header, directory and resolution values first; for 8 bits the ColorMap at 240; then the
// strip arrays when there are several strips; then the rows, top of the picture first.
#include <cstring>

#include "base/bytes.h"
#include "dib/dib.h"
#include "formats/tiff_codec.h"
#include "formats/tiff_format.h"
#include "formats/tiff_pixels.h"

namespace pv {
namespace {

constexpr uint32_t kStripTarget = 8192;  // bytes a strip aims at, by whole rows
constexpr uint32_t kResolution = 300;
constexpr size_t kColorMapOffset = 240;
constexpr size_t kColorMapBytes = 3 * 256 * 2;

// Where everything goes in the file of one DIB.
struct TiffLayout {
  bool rgb = false;
  uint32_t entries = 0, width = 0, height = 0;
  uint64_t rowBytes = 0, rowsPerStrip = 0, stripBytes = 0, imageBytes = 0, strips = 0;
  uint64_t directoryEnd = 0, arrays = 0, pixels = 0, fileBytes = 0;

  explicit TiffLayout(const DibView& dib) : rgb(dib.bitCount() == 24) {
    width = static_cast<uint32_t>(dib.width());
    height = static_cast<uint32_t>(dib.height());
    entries = rgb ? 15 : 16;
    rowBytes = uint64_t{width} * (rgb ? 3 : 1);
    rowsPerStrip = rowBytes / kStripTarget > 0 ? rowBytes / kStripTarget : 1;
    stripBytes = rowBytes * rowsPerStrip;
    imageBytes = rowBytes * height;
    strips = imageBytes / stripBytes + (imageBytes % stripBytes != 0);
    directoryEnd = 10 + 12 * uint64_t{entries};
    arrays = rgb ? directoryEnd + 26 : kColorMapOffset + kColorMapBytes;
    pixels = arrays + (strips > 1 ? 8 * strips : 0);
    fileBytes = pixels + imageBytes;
  }

  uint64_t xResolution() const { return directoryEnd + 10; }
  uint64_t lastStripBytes() const { return imageBytes - stripBytes * (strips - 1); }
};

void PutEntry(uint8_t* p, uint16_t tag, uint16_t type, uint32_t count, uint64_t value) {
  WriteU16(p, tag);
  WriteU16(p + 2, type);
  WriteU32(p + 4, count);
  // A single SHORT sits in the first two bytes of the value field, the other two stay zero.
  if (type == kTiffShort && count == 1)
    WriteU16(p + 8, static_cast<uint16_t>(value));
  else
    WriteU32(p + 8, static_cast<uint32_t>(value));
}

void PutDirectory(uint8_t* file, const TiffLayout& l) {
  const uint32_t strips = static_cast<uint32_t>(l.strips);
  const bool several = strips > 1;
  const struct {
    uint16_t tag, type;
    uint32_t count;
    uint64_t value;
  } entries[] = {
      {kTagNewSubfileType, kTiffLong, 1, 0},
      {kTagImageWidth, kTiffLong, 1, l.width},
      {kTagImageLength, kTiffLong, 1, l.height},
      {kTagBitsPerSample, kTiffShort, l.rgb ? 3u : 1u, l.rgb ? l.directoryEnd + 4 : 8},
      {kTagCompression, kTiffLong, 1, 1},
      {kTagPhotometric, kTiffShort, 1, l.rgb ? 2u : 3u},
      {kTagStripOffsets, kTiffLong, strips, several ? l.arrays : l.pixels},
      {kTagOrientation, kTiffShort, 1, 1},
      {kTagSamplesPerPixel, kTiffShort, 1, l.rgb ? 3u : 1u},
      {kTagRowsPerStrip, kTiffLong, 1, l.rowsPerStrip},
      {kTagStripByteCounts, kTiffLong, strips, several ? l.arrays + 4 * l.strips : l.imageBytes},
      {kTagXResolution, kTiffRational, 1, l.xResolution()},
      {kTagYResolution, kTiffRational, 1, l.xResolution() + 8},
      {kTagResolutionUnit, kTiffShort, 1, 2},
      {kTagPlanarConfiguration, kTiffShort, 1, 1},
      {kTagColorMap, kTiffShort, 768, kColorMapOffset},
  };
  file[0] = file[1] = 'I';
  WriteU16(file + 2, 42);
  WriteU32(file + 4, 8);
  WriteU16(file + 8, static_cast<uint16_t>(l.entries));
  for (uint32_t i = 0; i < l.entries; ++i)
    PutEntry(file + 10 + 12 * i, entries[i].tag, entries[i].type, entries[i].count,
             entries[i].value);
  if (l.rgb)
    for (int i = 0; i < 3; ++i) WriteU16(file + l.directoryEnd + 4 + 2 * i, 8);
  for (int i = 0; i < 2; ++i) {
    WriteU32(file + l.xResolution() + 8 * i, kResolution);
    WriteU32(file + l.xResolution() + 8 * i + 4, 1);
  }
}

// Red values, then green, then blue, each byte repeated into 16 bits; unused entries stay 0.
void PutColorMap(uint8_t* map, const DibView& dib) {
  const uint32_t used = dib.header.clrUsed;
  const uint32_t colors = used == 0 || used > 256 ? 256 : used;
  for (uint32_t i = 0; i < colors; ++i)
    for (int plane = 0; plane < 3; ++plane)
      WriteU16(map + 512 * plane + 2 * i,
               static_cast<uint16_t>(dib.table[4 * i + 2 - plane] * 257));
}

void PutStripArrays(uint8_t* arrays, const TiffLayout& l) {
  uint8_t* counts = arrays + 4 * l.strips;
  for (uint64_t i = 0; i < l.strips; ++i) {
    WriteU32(arrays + 4 * i, static_cast<uint32_t>(l.pixels + i * l.stripBytes));
    WriteU32(counts + 4 * i,
             static_cast<uint32_t>(i + 1 < l.strips ? l.stripBytes : l.lastStripBytes()));
  }
}

// Unpadded rows from the top of the picture down; 24-bit pixels as red, green, blue.
void PutRows(uint8_t* out, const DibView& dib, const TiffLayout& l) {
  for (int32_t y = 0; y < dib.height(); ++y, out += l.rowBytes) {
    const uint8_t* row = dib.row(dib.height() - 1 - y);
    if (l.rgb)
      SwapRedBlue(row, out, l.width);
    else
      std::memcpy(out, row, l.rowBytes);
  }
}

}  // namespace

Result TiffCodec::Write(mem::Handle dib, mem::Handle* file, int32_t* fileBytes) const {
  if (!dib || !file || !fileBytes) return Result::BadParameter;
  DibLock lock(dib);
  if (lock.status() != Result::Ok) return lock.status();
  const DibView& view = lock.view();
  if (view.bitCount() != 8 && view.bitCount() != 24) return Result::BadBitDepth;
  const TiffLayout layout(view);
  if (layout.fileBytes > INT32_MAX) return Result::OutOfMemory;
  mem::Owned out(mem::Alloc(layout.fileBytes));
  mem::Locked bytes(out.get());
  if (!bytes) return Result::OutOfMemory;
  PutDirectory(bytes.data(), layout);
  if (!layout.rgb) PutColorMap(bytes.data() + kColorMapOffset, view);
  if (layout.strips > 1) PutStripArrays(bytes.data() + layout.arrays, layout);
  PutRows(bytes.data() + layout.pixels, view, layout);
  *file = out.release();
  *fileBytes = static_cast<int32_t>(layout.fileBytes);
  return Result::Ok;
}

}  // namespace pv
