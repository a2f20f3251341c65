// PNG files through libpng, reading from and writing to memory streams.
#include "formats/png_codec.h"

#include <png.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <memory>
#include <new>

#include "dib/dib.h"
#include "dib/dib_pixels.h"
#include "formats/library_guard.h"
#include "formats/memory_stream.h"
#include "formats/progress.h"

namespace pv {
namespace {

constexpr uint8_t kSignature[4] = {137, 80, 78, 71};
// Every picture the DIB model can hold, not libpng's default cap of a million pixels a side.
constexpr png_uint_32 kMaxSide = PNG_UINT_31_MAX;

// DIB bit count for a PNG colour type and depth; 0 for what the model does not take.
// Text, profiles and the other chunks the picture does not need are skipped unread: libpng
// would otherwise allocate whatever their length fields claim, from a file of a few bytes.
png_infop InfoWithChunkLimit(png_structp png) {
  static const png_byte kSkipped[] = "tEXt\0zTXt\0iTXt\0iCCP\0sPLT\0eXIf";
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kSkipped, 6);
  return png_create_info_struct(png);
}

int DibBitsFor(int colorType, int depth) {
  switch (colorType) {
    case PNG_COLOR_TYPE_GRAY: return depth == 8 ? 8 : 0;
    case PNG_COLOR_TYPE_RGB: return depth == 8 || depth == 16 ? 24 : 0;  // 16 is reduced to 8
    case PNG_COLOR_TYPE_PALETTE: return depth <= 8 ? depth : 0;
    default: return 0;
  }
}

// libpng's messages stay out of the host's console: an error still jumps back to the codec,
// which reports its Result code, and warnings change nothing.
[[noreturn]] void Fail(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void Ignore(png_structp, png_const_charp) {}

void ReadBytes(png_structp png, png_bytep out, size_t n) {
  if (static_cast<ReadStream*>(png_get_io_ptr(png))->Read(out, n) != n)
    png_error(png, "unexpected end of file");
}

// The read structures, destroyed on every way out.
struct PngDecoder {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, Fail, Ignore);
  png_infop info = png ? InfoWithChunkLimit(png) : nullptr;
  png_uint_32 width = 0, height = 0;
  int depth = 0, colorType = 0, passes = 1;

  ~PngDecoder() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }

  bool ReadHeader(ReadStream* stream) {
    return Guarded(png_jmpbuf(png), [&] {
      png_set_user_limits(png, kMaxSide, kMaxSide);
      png_set_read_fn(png, stream, ReadBytes);
      png_set_sig_bytes(png, sizeof kSignature);
      png_read_info(png, info);
      png_get_IHDR(png, info, &width, &height, &depth, &colorType, nullptr, nullptr, nullptr);
    });
  }

  // Rows arrive blue, green, red and 8 bits a sample, all passes assembled.
  bool Transform() {
    return Guarded(png_jmpbuf(png), [&] {
      if (depth == 16) png_set_strip_16(png);
      if (colorType == PNG_COLOR_TYPE_RGB) png_set_bgr(png);
      passes = png_set_interlace_handling(png);
      png_read_update_info(png, info);
    });
  }

  // Each pass refines the rows already read, top row of the picture first.
  bool ReadRows(const DibView& dib) {
    return Guarded(png_jmpbuf(png), [&] {
      for (int pass = 0; pass < passes; ++pass)
        for (int32_t y = dib.height() - 1; y >= 0; --y) png_read_row(png, dib.row(y), nullptr);
    });
  }

  // Grey ramp or the PLTE entries (the rest of a full table stays zero); the entry count.
  uint32_t FillTable(uint8_t* table) const {
    if (colorType == PNG_COLOR_TYPE_GRAY) {
      WriteGrayRamp(table);
      return 256;
    }
    png_colorp palette = nullptr;
    int entries = 0;
    if (colorType != PNG_COLOR_TYPE_PALETTE || !png_get_PLTE(png, info, &palette, &entries))
      return 0;
    const uint32_t count = std::min<uint32_t>(static_cast<uint32_t>(entries), 1u << depth);
    for (uint32_t i = 0; i < count; ++i) {
      table[4 * i] = palette[i].blue;
      table[4 * i + 1] = palette[i].green;
      table[4 * i + 2] = palette[i].red;
    }
    return count;
  }
};

// The write side: the stream and the picture height the progress line needs.
struct PngSink {
  WriteStream stream;
  uint32_t height = 0;
};

void WriteBytes(png_structp png, png_bytep data, size_t n) {
  if (!static_cast<PngSink*>(png_get_io_ptr(png))->stream.Append(data, n))
    png_error(png, "out of memory");
}

void FlushNothing(png_structp) {}

void RowWritten(png_structp png, png_uint_32 row, int) {
  ReportSaveProgress(row, static_cast<PngSink*>(png_get_io_ptr(png))->height);
}

struct PngEncoder {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, Fail, Ignore);
  png_infop info = png ? png_create_info_struct(png) : nullptr;

  ~PngEncoder() { png_destroy_write_struct(&png, info ? &info : nullptr); }

  // Palette depths keep their indices; deeper pictures go out as 8-bit RGB.
  void SetHeader(const DibView& dib) {
    png_set_user_limits(png, kMaxSide, kMaxSide);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_ALL_FILTERS);
    png_set_compression_level(png, 9);
    const int bits = dib.bitCount();
    png_set_IHDR(png, info, static_cast<png_uint_32>(dib.width()),
                 static_cast<png_uint_32>(dib.height()), bits <= 8 ? bits : 8,
                 bits <= 8 ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (bits <= 8) {
      png_color palette[256];
      const int entries = 1 << bits;
      for (int i = 0; i < entries; ++i)
        palette[i] = {dib.table[4 * i + 2], dib.table[4 * i + 1], dib.table[4 * i]};
      png_set_PLTE(png, info, palette, entries);
    } else {
      png_set_bgr(png);
    }
    png_set_gAMA_fixed(png, info, PNG_GAMMA_LINEAR);
    png_time now;
    png_convert_from_time_t(&now, std::time(nullptr));
    png_set_tIME(png, info, &now);
  }
};

// Picture row y as libpng takes it: the DIB row itself, or for 16 and 32 bits the row as
// blue, green, red bytes in `buffer`.
const uint8_t* SourceRow(const DibView& dib, int32_t y, uint8_t* buffer) {
  const uint8_t* row = dib.row(dib.height() - 1 - y);
  if (dib.bitCount() != 16 && dib.bitCount() != 32) return row;
  for (int32_t x = 0; x < dib.width(); ++x) ReadBgr(dib, row, x, buffer + 3 * x);
  return buffer;
}

}  // namespace

Result PngCodec::Read(mem::Handle file, mem::Handle* dib) const {
  if (!file || !dib) return Result::BadParameter;
  mem::Locked in(file);
  if (in.size() < sizeof kSignature || std::memcmp(in.data(), kSignature, sizeof kSignature) != 0)
    return Result::BadFileFormat;
  ReadStream stream(in.data(), in.size(), sizeof kSignature);
  PngDecoder decoder;
  if (!decoder.info || !decoder.ReadHeader(&stream)) return Result::OutOfMemory;
  const int bits = DibBitsFor(decoder.colorType, decoder.depth);
  if (bits == 0) return Result::BadHeader;
  if (!decoder.Transform()) return Result::OutOfMemory;
  // Deflate expands at most 1032 to 1, and every row holds a filter byte and at least `depth`
  // bits a pixel: a file too short for that is cut, as a read of its rows would find, and its
  // picture is not made.
  const uint64_t leastRows =
      (uint64_t{decoder.width} * static_cast<uint64_t>(decoder.depth) / 8 + 1) * decoder.height;
  if (uint64_t{in.size()} * 1032 < leastRows) return Result::OutOfMemory;

  DibHeader header;
  header.width = static_cast<int32_t>(decoder.width);
  header.height = static_cast<int32_t>(decoder.height);
  DibBuilder out(header, bits);
  if (out.status() != Result::Ok) return Result::OutOfMemory;
  if (png_get_rowbytes(decoder.png, decoder.info) > out.view().stride) return Result::BadHeader;
  out.header().clrUsed = bits <= 8 ? decoder.FillTable(out.view().table) : 0;
  out.StoreHeader();
  if (!decoder.ReadRows(out.view())) return Result::OutOfMemory;
  *dib = out.Release();
  return Result::Ok;
}

Result PngCodec::Write(mem::Handle dib, mem::Handle* file, int32_t* fileBytes) const {
  if (!dib || !file || !fileBytes) return Result::BadParameter;
  DibLock lock(dib);
  if (lock.status() != Result::Ok) return lock.status();
  const DibView& view = lock.view();
  std::unique_ptr<uint8_t[]> buffer(new (std::nothrow)
                                        uint8_t[3 * static_cast<size_t>(view.width())]);
  PngEncoder encoder;
  if (!buffer || !encoder.info) return Result::OutOfMemory;
  PngSink sink;
  sink.height = static_cast<uint32_t>(view.height());
  const bool written = Guarded(png_jmpbuf(encoder.png), [&] {
    png_set_write_fn(encoder.png, &sink, WriteBytes, FlushNothing);
    png_set_write_status_fn(encoder.png, RowWritten);
    encoder.SetHeader(view);
    png_write_info(encoder.png, encoder.info);
    for (int32_t y = 0; y < view.height(); ++y)
      png_write_row(encoder.png, SourceRow(view, y, buffer.get()));
    png_write_end(encoder.png, encoder.info);
  });
  if (!written) return Result::OutOfMemory;
  return sink.stream.TakeBlock(file, fileBytes);
}

}  // namespace pv
