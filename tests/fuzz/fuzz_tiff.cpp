// Feeds arbitrary bytes to the TIFF reader. What it takes in is written and read back, which
// must give the very same DIB.
#include <cstddef>
#include <cstdint>

#include "formats/tiff_codec.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const pv::mem::Owned dib = fuzz::ReadInput<pv::TiffCodec>(data, size);
  if (!dib || !fuzz::SmallEnoughToSave(dib.get())) return 0;
  const pv::mem::Owned back = fuzz::ReadBack<pv::TiffCodec>(
      dib.get(), [](auto... args) { return pv::TiffCodec().Write(args...); });
  if (pv::mem::Size(back.get()) != pv::mem::Size(dib.get()) ||
      pv::DibGetWidth(back.get()) != pv::DibGetWidth(dib.get()) ||
      !fuzz::SameTableAndRows(dib.get(), back.get()))
    __builtin_trap();
  return 0;
}
