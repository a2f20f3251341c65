// JPEG files through libjpeg (API 62). Scanlines are exchanged blue, green, red, the byte
// order of a 24-bit DIB row, through libjpeg-turbo's extended colour spaces.
#include "formats/jpeg_codec.h"

#include <climits>
#include <csetjmp>
#include <cstdio>  // before jpeglib.h, which needs FILE

#include <jerror.h>
#include <jpeglib.h>

#include "dib/dib.h"
#include "formats/library_guard.h"
#include "formats/memory_stream.h"

namespace pv {
namespace {

constexpr size_t kBufferBytes = 4096;
constexpr int16_t kProgressive = 2;

// The standard error manager, except that an error jumps back to the codec and that nothing is
// printed: the Result code is the report. Data that runs out before the picture does is an error
// too, though the library only warns of it and would go on to make a grey picture.
struct JpegErrors {
  jpeg_error_mgr manager;  // first: libjpeg hands the manager's address to error_exit
  std::jmp_buf landing;

  explicit JpegErrors(jpeg_common_struct* owner) {
    owner->err = jpeg_std_error(&manager);
    manager.error_exit = Leave;
    manager.emit_message = Note;
    manager.output_message = [](j_common_ptr) {};
  }

  [[noreturn]] static void Leave(j_common_ptr owner) {
    std::longjmp(reinterpret_cast<JpegErrors*>(owner->err)->landing, 1);
  }

  // Level -1 is a warning; trace levels are ignored.
  static void Note(j_common_ptr owner, int level) {
    if (level >= 0) return;
    ++owner->err->num_warnings;
    const int code = owner->err->msg_code;
    if (code == JWRN_HIT_MARKER || code == JWRN_MUST_RESYNC) Leave(owner);  // bits missing
    if (code == JWRN_JPEG_EOF && !OnlyTheEndMayBeMissing(owner)) Leave(owner);
  }

  // In a single sequential scan, data that runs out leaves bits missing, which the decoder
  // reports, unless all it lacks is the end-of-image marker: such files are common and whole.
  // Where more scans may follow, running out cannot tell a missing marker from missing scans.
  static bool OnlyTheEndMayBeMissing(j_common_ptr owner) {
    if (!owner->is_decompressor) return false;
    const auto* info = reinterpret_cast<const jpeg_decompress_struct*>(owner);
    return info->output_height > 0 && !info->progressive_mode &&
           info->comps_in_scan == info->num_components;
  }
};

struct JpegDecoder {
  jpeg_decompress_struct info{};
  JpegErrors errors{reinterpret_cast<j_common_ptr>(&info)};

  ~JpegDecoder() { jpeg_destroy_decompress(&info); }

  // Header read; the DIB bit count for the output colour space, 0 for one the model refuses.
  // False also for data too short for the first scan, before anything picture-sized is made.
  bool ReadHeader(const uint8_t* bytes, size_t size, int* bits) {
    bool holds = false;
    const bool read = Guarded(errors.landing, [&] {
      jpeg_create_decompress(&info);
      jpeg_mem_src(&info, bytes, static_cast<unsigned long>(size));
      jpeg_read_header(&info, TRUE);
      *bits = info.out_color_space == JCS_GRAYSCALE ? 8 : info.out_color_space == JCS_RGB ? 24 : 0;
      if (*bits == 24) info.out_color_space = JCS_EXT_BGR;
      holds = HoldsFirstScan();
      if (*bits != 0 && holds) jpeg_start_decompress(&info);
    });
    return read && holds;
  }

  // A Huffman-coded sequential or DC scan spends at least one bit on every block it covers;
  // AC and arithmetic-coded scans have no such floor.
  bool HoldsFirstScan() const {
    if (info.arith_code || info.Ss != 0) return true;
    uint64_t blocks = 0;
    for (int i = 0; i < info.comps_in_scan; ++i)
      blocks += uint64_t{info.cur_comp_info[i]->width_in_blocks} *
                info.cur_comp_info[i]->height_in_blocks;
    return uint64_t{info.src->bytes_in_buffer} * 8 >= blocks;
  }

  // Scanline k (0 = top of the picture) into DIB row height - 1 - k.
  bool ReadRows(const DibView& dib) {
    return Guarded(errors.landing, [&] {
      while (info.output_scanline < info.output_height) {
        JSAMPROW row = dib.row(dib.height() - 1 - static_cast<int32_t>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
      }
      jpeg_finish_decompress(&info);
    });
  }
};

// A destination manager that empties its buffer into a write stream.
struct JpegDestination {
  jpeg_destination_mgr manager;  // first: libjpeg hands the manager's address back
  WriteStream* stream;
  JOCTET buffer[kBufferBytes];

  static JpegDestination* Of(j_compress_ptr info) {
    return reinterpret_cast<JpegDestination*>(info->dest);
  }

  static void Init(j_compress_ptr info) {
    JpegDestination* self = Of(info);
    self->manager.next_output_byte = self->buffer;
    self->manager.free_in_buffer = kBufferBytes;
  }

  // Called when the buffer is full, whatever free_in_buffer says.
  static boolean Empty(j_compress_ptr info) {
    JpegDestination* self = Of(info);
    if (!self->stream->Append(self->buffer, kBufferBytes)) ERREXIT(info, JERR_OUT_OF_MEMORY);
    Init(info);
    return TRUE;
  }

  static void Term(j_compress_ptr info) {
    JpegDestination* self = Of(info);
    if (!self->stream->Append(self->buffer, kBufferBytes - self->manager.free_in_buffer))
      ERREXIT(info, JERR_OUT_OF_MEMORY);
  }

  explicit JpegDestination(WriteStream* target) : manager{}, stream(target) {
    manager.init_destination = Init;
    manager.empty_output_buffer = Empty;
    manager.term_destination = Term;
  }
};

struct JpegEncoder {
  jpeg_compress_struct info{};
  JpegErrors errors{reinterpret_cast<j_common_ptr>(&info)};

  ~JpegEncoder() { jpeg_destroy_compress(&info); }

  void SetParameters(const DibView& dib, int16_t format, int16_t quality) {
    info.image_width = static_cast<JDIMENSION>(dib.width());
    info.image_height = static_cast<JDIMENSION>(dib.height());
    info.input_components = dib.bitCount() == 8 ? 1 : 3;
    info.in_color_space = dib.bitCount() == 8 ? JCS_GRAYSCALE : JCS_EXT_BGR;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, FALSE);  // above 100 acts as 100
    if (format == kProgressive) jpeg_simple_progression(&info);
  }

  // The DIB's rows from the top of the picture down, each taken as it is.
  bool Encode(const DibView& dib, int16_t format, int16_t quality, JpegDestination* destination) {
    return Guarded(errors.landing, [&] {
      jpeg_create_compress(&info);
      info.dest = &destination->manager;
      SetParameters(dib, format, quality);
      jpeg_start_compress(&info, TRUE);
      while (info.next_scanline < info.image_height) {
        JSAMPROW row = dib.row(dib.height() - 1 - static_cast<int32_t>(info.next_scanline));
        jpeg_write_scanlines(&info, &row, 1);
      }
      jpeg_finish_compress(&info);
    });
  }
};

}  // namespace

Result JpegCodec::Read(mem::Handle file, mem::Handle* dib) const {
  if (!file || !dib) return Result::BadParameter;
  mem::Locked in(file);
  if (in.size() > ULONG_MAX) return Result::BadFileFormat;
  JpegDecoder decoder;
  int bits = 0;
  if (!decoder.ReadHeader(in.data(), in.size(), &bits) || bits == 0) return Result::BadFileFormat;

  DibHeader header;
  header.width = static_cast<int32_t>(decoder.info.output_width);
  header.height = static_cast<int32_t>(decoder.info.output_height);
  DibBuilder out(header, bits);
  if (out.status() != Result::Ok) return Result::OutOfMemory;
  if (bits == 8) {
    WriteGrayRamp(out.view().table);
    out.header().clrUsed = 256;
    out.StoreHeader();
  }
  if (!decoder.ReadRows(out.view())) return Result::BadFileFormat;
  *dib = out.Release();
  return Result::Ok;
}

Result JpegCodec::Write(mem::Handle dib, mem::Handle* file, int32_t* fileBytes, int16_t format,
                        int16_t quality) const {
  if (!dib || !file || !fileBytes) return Result::BadParameter;
  DibLock lock(dib);
  if (lock.status() != Result::Ok) return lock.status();
  if (lock.view().bitCount() != 8 && lock.view().bitCount() != 24) return Result::BadBitDepth;
  WriteStream stream;
  JpegDestination destination(&stream);
  JpegEncoder encoder;
  if (!encoder.Encode(lock.view(), format, quality, &destination)) return Result::OutOfMemory;
  return stream.TakeBlock(file, fileBytes);
}

}  // namespace pv
