// Feeds arbitrary bytes to the JPEG reader. What it takes in is written baseline and
// progressive, and each file must read back at the same size.
#include <cstddef>
#include <cstdint>

#include "formats/jpeg_codec.h"
#include "fuzz_support.h"

namespace {

void RoundTrip(pv::mem::Handle dib, int16_t format) {
  pv::mem::Handle file = nullptr, again = nullptr;
  int32_t bytes = 0;
  if (pv::JpegCodec().Write(dib, &file, &bytes, format, 75) != pv::Result::Ok) __builtin_trap();
  pv::mem::Owned written(file);
  if (pv::JpegCodec().Read(file, &again) != pv::Result::Ok) __builtin_trap();
  pv::mem::Owned back(again);
  if (pv::DibGetWidth(again) != pv::DibGetWidth(dib) || pv::DibGetBitCount(again) != pv::DibGetBitCount(dib))
    __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzz::QuietLibraries(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (fuzz::JpegTooLarge(data, size)) return 0;
  pv::mem::Owned block(pv::mem::AllocCopy(data, size));
  pv::mem::Handle read = nullptr;
  if (pv::JpegCodec().Read(block.get(), &read) != pv::Result::Ok) return 0;
  pv::mem::Owned dib(read);
  if (!fuzz::SmallEnoughToSave(dib.get())) return 0;
  RoundTrip(dib.get(), 1);
  RoundTrip(dib.get(), 2);
  return 0;
}
