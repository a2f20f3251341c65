// Feeds arbitrary bytes to the JPEG reader. What it takes in is written baseline and
// progressive, and each file must read back at the same size and depth.
#include <cstddef>
#include <cstdint>

#include "formats/jpeg_codec.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzz::QuietLibraries(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (fuzz::JpegTooLarge(data, size)) return 0;
  const pv::mem::Owned dib = fuzz::ReadInput<pv::JpegCodec>(data, size);
  if (!dib || !fuzz::SmallEnoughToSave(dib.get())) return 0;
  for (int16_t format : {1, 2}) {
    const pv::mem::Owned back = fuzz::ReadBack<pv::JpegCodec>(
        dib.get(), [&](auto... args) { return pv::JpegCodec().Write(args..., format, 75); });
    if (pv::DibGetWidth(back.get()) != pv::DibGetWidth(dib.get()) ||
        pv::DibGetBitCount(back.get()) != pv::DibGetBitCount(dib.get()))
      __builtin_trap();
  }
  return 0;
}
