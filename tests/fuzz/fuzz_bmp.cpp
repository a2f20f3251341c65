// Feeds arbitrary bytes to the load dispatch (BMP reader and RLE expansion), then saves and
// converts the result, which reads the whole DIB that was made.
#include <cstddef>
#include <cstdint>

#include "document/image_document.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Other formats have targets of their own; here the readers after BMP only pass them on.
  if (size < 2 || data[0] != 'B' || data[1] != 'M' || fuzz::BmpTooLarge(data, size)) return 0;
  pv::mem::Owned block(pv::mem::AllocCopy(data, size));
  pv::ImageDocument doc;
  if (doc.LoadMemory(block.get(), 0, 0) != pv::Result::Ok) return 0;
  pv::mem::Handle saved = nullptr;
  int32_t bytes = 0;
  doc.SaveMemory(&saved, pv::kFormatBmp, 0, 0, &bytes);
  pv::mem::Free(saved);
  // Conversions read every pixel through the colour table the reader made.
  if (fuzz::SmallEnoughToSave(doc.dib())) {
    // Reductions of true colour zero a 64 MiB table each time: keep them out of the loop.
    if (doc.GetBitmapBits() <= 8) doc.ColorRes(1, 0, 0, 0);
    doc.ColorRes(24, 0, 0, 0);
  }
  return 0;
}
