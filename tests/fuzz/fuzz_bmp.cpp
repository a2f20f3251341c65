// Feeds arbitrary bytes to the load dispatch (BMP reader and RLE expansion), then saves and
// converts the result, which reads the whole DIB that was made.
#include <cstddef>
#include <cstdint>

#include "image/bytes.h"
#include "image/image_document.h"

namespace {

// Pictures of more than four megapixels are valid but only slow the search down.
bool TooLarge(const uint8_t* data, size_t size) {
  if (size < 26) return false;
  const int64_t pixels = static_cast<int64_t>(pv::ReadI32(data + 18)) * pv::ReadI32(data + 22);
  return pixels > (int64_t{1} << 22) || pixels < -(int64_t{1} << 22);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (TooLarge(data, size)) return 0;
  pv::mem::Owned block(pv::mem::AllocCopy(data, size));
  pv::ImageDocument doc;
  if (doc.LoadMemory(block.get(), 0, 0) != pv::Result::Ok) return 0;
  pv::mem::Handle saved = nullptr;
  int32_t bytes = 0;
  doc.SaveMemory(&saved, pv::kFormatBmp, 0, 0, &bytes);
  pv::mem::Free(saved);
  // Conversions read every pixel through the colour table the reader made.
  if (static_cast<int64_t>(doc.GetWidth()) * doc.GetHeight() <= (1 << 16)) {
    // Reductions of true colour zero a 64 MiB table each time: keep them out of the loop.
    if (doc.GetBitmapBits() <= 8) doc.ColorRes(1, 0, 0, 0);
    doc.ColorRes(24, 0, 0, 0);
  }
  return 0;
}
