// Feeds arbitrary bytes to the TIFF reader. What it takes in is written and read back, which
// must give the very same DIB.
#include <cstddef>
#include <cstdint>

#include "formats/tiff_codec.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  pv::mem::Owned block(pv::mem::AllocCopy(data, size));
  pv::mem::Handle read = nullptr;
  if (pv::TiffCodec().Read(block.get(), &read) != pv::Result::Ok) return 0;
  pv::mem::Owned dib(read);
  if (!fuzz::SmallEnoughToSave(dib.get())) return 0;
  pv::mem::Handle file = nullptr, again = nullptr;
  int32_t bytes = 0;
  if (pv::TiffCodec().Write(dib.get(), &file, &bytes) != pv::Result::Ok) __builtin_trap();
  pv::mem::Owned written(file);
  if (pv::TiffCodec().Read(file, &again) != pv::Result::Ok) __builtin_trap();
  pv::mem::Owned back(again);
  if (pv::mem::Size(again) != pv::mem::Size(dib.get()) || !fuzz::SameTableAndRows(dib.get(), again) ||
      pv::DibGetWidth(again) != pv::DibGetWidth(dib.get()))
    __builtin_trap();
  return 0;
}
