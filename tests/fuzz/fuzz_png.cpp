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
  pv::mem::Owned block(pv::mem::AllocCopy(data, size));
  pv::mem::Handle read = nullptr;
  if (pv::PngCodec().Read(block.get(), &read) != pv::Result::Ok) return 0;
  pv::mem::Owned dib(read);
  if (!fuzz::SmallEnoughToSave(dib.get())) return 0;
  pv::mem::Handle file = nullptr, again = nullptr;
  int32_t bytes = 0;
  if (pv::PngCodec().Write(dib.get(), &file, &bytes) != pv::Result::Ok) __builtin_trap();
  pv::mem::Owned written(file);
  if (pv::PngCodec().Read(file, &again) != pv::Result::Ok) __builtin_trap();
  pv::mem::Owned back(again);
  if (!fuzz::SameTableAndRows(dib.get(), back.get())) __builtin_trap();
  return 0;
}
