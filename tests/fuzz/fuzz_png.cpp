// Feeds arbitrary bytes to the PNG reader. What it takes in is written and read back, which
// must give the same colour table and rows.
#include <cstddef>
#include <cstdint>

#include "formats/png_codec.h"
#include "formats/progress.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzz::QuietLibraries(argc, argv);
  pv::SetProgressStream(nullptr);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (fuzz::PngTooLarge(data, size)) return 0;
  const pv::mem::Owned dib = fuzz::ReadInput<pv::PngCodec>(data, size);
  if (!dib || !fuzz::SmallEnoughToSave(dib.get())) return 0;
  const pv::mem::Owned back = fuzz::ReadBack<pv::PngCodec>(
      dib.get(), [](auto... args) { return pv::PngCodec().Write(args...); });
  if (!fuzz::SameTableAndRows(dib.get(), back.get())) __builtin_trap();
  return 0;
}
