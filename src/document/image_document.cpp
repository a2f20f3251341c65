#include "document/image_document.h"

#include "base/bytes.h"
#include "ops/binarization.h"
#include "ops/color_depth.h"

namespace pv {

ImageDocument::ImageDocument(DisplayPort* display) : display_(display) {
  if (!display_) {
    ownDisplay_ = std::make_unique<HeadlessDisplay>();
    display_ = ownDisplay_.get();
  }
}

ImageDocument::~ImageDocument() { Clear(); }

void ImageDocument::Clear() {
  mem::Free(dib_);
  dib_ = nullptr;
  display_->DeleteDisplayBitmap();
}

Result ImageDocument::Replace(mem::Handle dib) {
  mem::Free(dib_);
  dib_ = dib;
  return Relayout(false);
}

Result ImageDocument::SetDIB(mem::Handle dib) {
  if (!dib) {
    Clear();
    return Relayout(false);
  }
  mem::Locked caller(dib);
  DibHeader header;
  const Result checked = DibSplit(caller.data(), caller.size(), &header, nullptr, nullptr);
  if (checked != Result::Ok) return checked;
  Clear();
  dib_ = DibCopyIn(caller.data(), caller.size());
  if (!dib_) return Result::OutOfMemory;
  return Relayout(false);
}

mem::Handle ImageDocument::GetDIB() const {
  mem::Locked block(dib_);
  return block ? mem::AllocCopy(block.data(), block.size()) : nullptr;
}

Result ImageDocument::ColorRes(int16_t bitsPerPixel, int32_t, int32_t, int32_t) {
  if (!IsDibBitCount(bitsPerPixel)) return Result::BadParameter;
  if (!dib_) return Result::NoImage;
  mem::Handle converted = nullptr;
  Result result;
  {
    DibLock lock(dib_);
    result = lock.status();
    if (result == Result::Ok) result = ConvertColorDepth(lock.view(), bitsPerPixel, &converted);
  }
  if (result == Result::NothingToDo) return Result::Ok;
  if (result != Result::Ok) return result;
  return Replace(converted);
}

Result ImageDocument::ChangeInPlace(Result noImage,
                                    const std::function<Result(const DibView&)>& body) {
  if (!dib_) return noImage;
  {
    DibLock lock(dib_);
    if (lock.status() != Result::Ok) return lock.status();
    const Result result = body(lock.view());
    if (result != Result::Ok) return result;
  }
  return Relayout(false);
}

Result ImageDocument::Monochrome(int16_t threshold) {
  if (threshold < 1 || threshold > 254) return Result::BadParameter;
  return ChangeInPlace(Result::NoImage,
                       [threshold](const DibView& v) { return Threshold(v, threshold); });
}

namespace {

// The colour-table entry `index` of a palette DIB, or the reason there is none.
Result PaletteEntry(const DibView& dib, int32_t index, uint8_t** entry) {
  if (dib.bitCount() > 8) return Result::BadBitDepth;
  if (index < 0 || static_cast<size_t>(index) >= TableEntries(dib.bitCount()))
    return Result::BadParameter;
  *entry = dib.table + 4 * index;
  return Result::Ok;
}

}  // namespace

Result ImageDocument::GetPalette(int32_t index, int32_t* color) const {
  if (!dib_) return Result::NoImage;
  DibLock lock(dib_);
  if (lock.status() != Result::Ok) return lock.status();
  uint8_t* entry = nullptr;
  const Result found = PaletteEntry(lock.view(), index, &entry);
  if (found != Result::Ok) return found;
  *color = entry[2] | entry[1] << 8 | entry[0] << 16;  // COLORREF 0x00BBGGRR
  return Result::Ok;
}

Result ImageDocument::SetPalette(int32_t index, int32_t color) {
  return ChangeInPlace(Result::NoImage, [&](const DibView& v) {
    uint8_t* entry = nullptr;
    const Result found = PaletteEntry(v, index, &entry);
    if (found != Result::Ok) return found;
    entry[2] = static_cast<uint8_t>(color);
    entry[1] = static_cast<uint8_t>(color >> 8);
    entry[0] = static_cast<uint8_t>(color >> 16);
    return Result::Ok;
  });
}

}  // namespace pv
