// Raw pixel rows in and out of the document.
#include "document/image_document.h"
#include "formats/raw_transfer.h"

namespace pv {

Result ImageDocument::GetImageData(mem::Handle* rows, int32_t* size) const {
  if (!rows || !size) return Result::BadParameter;
  DibHeader header;
  mem::Locked block(dib_);
  const Result split = DibSplit(block.data(), block.size(), &header, nullptr, rows);
  if (split == Result::Ok) *size = static_cast<int32_t>(header.sizeImage);
  return split;
}

Result ImageDocument::LoadRawData(mem::Handle raw, int32_t kind, int32_t width, int32_t height,
                                  int32_t size) {
  mem::Locked bytes(raw);
  mem::Handle dib = nullptr;
  const Result made = DibFromRaw(bytes.data(), bytes.size(), kind, width, height, size, &dib);
  if (made != Result::Ok) return made;
  return Replace(dib);
}

Result ImageDocument::SaveRawData(mem::Handle* raw, int32_t* kind, int32_t* width, int32_t* height,
                                  int32_t* size) const {
  if (!raw || !kind || !width || !height || !size) return Result::BadParameter;
  if (!dib_) return Result::BadParameter;  // as the failed split of a missing DIB reports
  DibLock lock(dib_);
  if (lock.status() != Result::Ok) return lock.status();
  RawImage image;
  const Result made = RawFromDib(lock.view(), &image);
  if (made != Result::Ok) return made;
  *raw = image.block;
  *kind = image.kind;
  *width = image.width;
  *height = image.height;
  *size = image.size;
  return Result::Ok;
}

}  // namespace pv
