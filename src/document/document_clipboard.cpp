// The image through the clipboard and as a device bitmap.
#include "dib/device_bitmap.h"
#include "document/image_document.h"
#include "platform/clipboard.h"

namespace pv {

Result ImageDocument::Copy() const {
  if (!dib_) return Result::NoImage;
  mem::Locked block(dib_);
  mem::Handle copy = block ? mem::AllocCopy(block.data(), block.size()) : nullptr;
  if (!copy) return Result::OutOfMemory;
  return ClipboardPutDib(copy);
}

// The clipboard's block is copied as it is; a header the display cannot take shows in the
// layout's code.
Result ImageDocument::Paste() {
  const Result taken = ClipboardReadDib([this](const uint8_t* bytes, size_t size) {
    Clear();
    dib_ = DibCopyIn(bytes, size);
    return dib_ ? Result::Ok : Result::OutOfMemory;
  });
  return taken == Result::Ok ? Relayout(false) : taken;
}

// A bitmap that cannot be read leaves the document empty. The display bitmap lives until the
// layout, so that the control's own GetBITMAP handle can be read back.
Result ImageDocument::SetBITMAP(void* bitmap) {
  mem::Free(dib_);
  dib_ = DibFromBitmap(bitmap);
  return Relayout(false);
}

}  // namespace pv
