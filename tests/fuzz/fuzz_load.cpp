// Feeds arbitrary bytes to the whole load dispatch (BMP, PNG, TIFF, JPEG readers and the RLE
// expansion), then saves what was loaded in every format and converts it.
#include <cstddef>
#include <cstdint>

#include "document/image_document.h"
#include "formats/progress.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzz::QuietLibraries(argc, argv);
  pv::SetProgressStream(nullptr);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (fuzz::TooLarge(data, size)) return 0;
  pv::mem::Owned block(pv::mem::AllocCopy(data, size));
  pv::ImageDocument doc;
  if (doc.LoadMemory(block.get(), 0, 0) != pv::Result::Ok || !fuzz::SmallEnoughToSave(doc.dib()))
    return 0;
  for (int16_t format : {pv::kFormatJpegBaseline, pv::kFormatJpegProgressive, pv::kFormatTiff,
                         pv::kFormatBmp, pv::kFormatPng}) {
    pv::mem::Handle saved = nullptr;
    int32_t bytes = 0;
    if (doc.SaveMemory(&saved, format, 0, 75, &bytes) != pv::Result::Ok) continue;
    pv::mem::Owned file(saved);
    pv::ImageDocument copy;
    copy.LoadMemory(saved, 0, 0);
  }
  if (doc.GetBitmapBits() <= 8) doc.ColorRes(1, 0, 0, 0);
  doc.ColorRes(24, 0, 0, 0);
  return 0;
}
