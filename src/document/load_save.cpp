// Load and save dispatch: files and file images in memory blocks. The readers are tried in a
// fixed order; the writer is chosen by the save format code.
#include "document/image_document.h"
#include "formats/bmp_codec.h"
#include "formats/jpeg_codec.h"
#include "formats/png_codec.h"
#include "formats/tiff_codec.h"
#include "platform/file_io.h"

namespace pv {
namespace {

// Tries each reader in turn; only "not my format" (3) passes on to the next one.
Result ReadAnyFormat(mem::Handle block, mem::Handle* dib) {
  Result result = BmpCodec().Read(block, dib);
  if (result == Result::BadFileFormat) result = PngCodec().Read(block, dib);
  if (result == Result::BadFileFormat) result = TiffCodec().Read(block, dib);
  if (result == Result::BadFileFormat) result = JpegCodec().Read(block, dib);
  return result;
}

Result WriteFormat(mem::Handle dib, int16_t format, int16_t quality, mem::Handle* block,
                   int32_t* size) {
  switch (format) {
    case kFormatJpegBaseline:
    case kFormatJpegProgressive: return JpegCodec().Write(dib, block, size, format, quality);
    case kFormatTiff: return TiffCodec().Write(dib, block, size);
    case kFormatBmp: return BmpCodec().Write(dib, block, size);
    case kFormatPng: return PngCodec().Write(dib, block, size);
    default: return Result::BadParameter;
  }
}

}  // namespace

Result ImageDocument::Load(const std::string& path, int16_t bitsPerPixel, int16_t page) {
  if (page != 0) return Result::BadParameter;
  Clear();
  mem::Handle block = nullptr;
  const Result read = ReadFileToBlock(path, &block);
  if (read != Result::Ok) return read;
  mem::Owned file(block);
  return LoadMemory(file.get(), bitsPerPixel, 0);
}

Result ImageDocument::LoadMemory(mem::Handle block, int16_t bitsPerPixel, int16_t page) {
  if (page != 0 || !block) return Result::BadParameter;
  Clear();
  const Result read = ReadAnyFormat(block, &dib_);
  if (read != Result::Ok) return read;
  const Result expanded = ExpandRunLengths();
  if (expanded != Result::Ok) {
    Clear();
    Relayout(false);
    return expanded;
  }
  if (bitsPerPixel == 0 || bitsPerPixel == GetBitmapBits()) return Relayout(false);
  return ColorRes(bitsPerPixel, 0, 0, 0);
}

// Run-length-encoded bitmaps become plain DIBs right after reading.
Result ImageDocument::ExpandRunLengths() {
  uint32_t compression = 0;
  {
    // Unlocked before the block is freed below.
    mem::Locked block(dib_);
    if (block.size() < kDibHeaderBytes) return Result::Ok;
    compression = DibHeader::Read(block.data()).compression;
  }
  if (compression != 1 && compression != 2) return Result::Ok;
  mem::Handle expanded = nullptr;
  const Result result = compression == 1 ? BmpCodec().ExpandRle8(dib_, &expanded)
                                         : BmpCodec().ExpandRle4(dib_, &expanded);
  if (result != Result::Ok) return result;
  mem::Free(dib_);
  dib_ = expanded;
  return Result::Ok;
}

Result ImageDocument::SaveMemory(mem::Handle* block, int16_t format, int16_t bitsPerPixel,
                                 int16_t quality, int32_t* size) {
  if (!dib_) return Result::NoImage;
  if (!block || !size || format < kFormatJpegBaseline || format > kFormatPng)
    return Result::BadParameter;
  const bool jpeg = format == kFormatJpegBaseline || format == kFormatJpegProgressive;
  if (jpeg && (quality < 2 || quality > 254)) return Result::BadParameter;
  // The conversion changes the document's own image; a refused one saves the old depth.
  if (bitsPerPixel != 0 && bitsPerPixel != GetBitmapBits()) ColorRes(bitsPerPixel, 0, 0, 0);
  return WriteFormat(dib_, format, quality, block, size);
}

Result ImageDocument::Save(const std::string& path, int16_t format, int16_t bitsPerPixel,
                           int16_t quality) {
  mem::Handle block = nullptr;
  int32_t size = 0;
  const Result saved = SaveMemory(&block, format, bitsPerPixel, quality, &size);
  if (saved != Result::Ok) return saved;
  mem::Owned file(block);
  mem::Locked bytes(file.get());
  return WriteBlockToFile(path, bytes.data(), static_cast<size_t>(size));
}

}  // namespace pv
