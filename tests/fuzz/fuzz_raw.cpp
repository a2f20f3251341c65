// LoadRawData with its kind, width, height and size from the input's first 16 bytes and the
// rest as the raw rows; what it takes in goes out again through SaveRawData and GetImageData.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "document/image_document.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 16) return 0;
  int32_t fields[4];
  std::memcpy(fields, data, sizeof fields);
  pv::mem::Owned raw(pv::mem::AllocCopy(data + 16, size - 16));
  pv::ImageDocument doc;
  if (doc.LoadRawData(raw.get(), fields[0], fields[1], fields[2], fields[3]) != pv::Result::Ok)
    return 0;
  if (doc.GetWidth() != fields[1] || doc.GetHeight() != fields[2]) __builtin_trap();
  pv::mem::Handle rows = nullptr;
  int32_t kind = 0, width = 0, height = 0, bytes = 0;
  if (doc.SaveRawData(&rows, &kind, &width, &height, &bytes) == pv::Result::Ok) {
    pv::mem::Owned out(rows);
    if (width != fields[1] || height != fields[2] || pv::mem::Size(rows) != size_t(bytes))
      __builtin_trap();
  }
  rows = nullptr;
  if (doc.GetImageData(&rows, &bytes) == pv::Result::Ok) {
    pv::mem::Owned out(rows);
    if (pv::mem::Size(rows) != size_t(bytes)) __builtin_trap();
  }
  return 0;
}
