// Shared by the fuzz targets. Pictures that are valid but large only slow the search down:
// the limits tell them from the header before decoding, and after decoding bound the extra work.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/bytes.h"
#include "base/result.h"
#include "dib/dib.h"

namespace fuzz {

constexpr uint64_t kMaxPixels = uint64_t{1} << 22;
// A progressive JPEG revisits every coefficient once per scan: keep those pictures smaller.
constexpr uint64_t kMaxJpegPixels = uint64_t{1} << 20;
// Saving and converting read every pixel again.
constexpr int64_t kMaxPixelsToSave = int64_t{1} << 16;

inline uint32_t BigEndian(const uint8_t* p, int bytes) {
  uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) v = v << 8 | p[i];
  return v;
}

// BMP: width and height in the info header.
inline bool BmpTooLarge(const uint8_t* data, size_t size) {
  if (size < 26 || data[0] != 'B' || data[1] != 'M') return false;
  const int64_t pixels = static_cast<int64_t>(pv::ReadI32(data + 18)) * pv::ReadI32(data + 22);
  const int64_t limit = static_cast<int64_t>(kMaxPixels);
  return pixels > limit || pixels < -limit;  // top-down pictures have negative heights
}

// PNG: width and height in IHDR, the first chunk.
inline bool PngTooLarge(const uint8_t* data, size_t size) {
  if (size < 24 || data[0] != 137 || data[1] != 'P') return false;
  return uint64_t{BigEndian(data + 16, 4)} * BigEndian(data + 20, 4) > kMaxPixels;
}

// JPEG: any start-of-frame marker anywhere, whichever the library may take as the frame.
inline bool JpegTooLarge(const uint8_t* data, size_t size) {
  for (size_t i = 0; i + 9 <= size; ++i) {
    const uint8_t m = data[i + 1];
    if (data[i] != 0xFF || m < 0xC0 || m > 0xCF || m == 0xC4 || m == 0xC8 || m == 0xCC) continue;
    if (uint64_t{BigEndian(data + i + 5, 2)} * BigEndian(data + i + 7, 2) > kMaxJpegPixels)
      return true;
  }
  return false;
}

inline bool TooLarge(const uint8_t* data, size_t size) {
  return BmpTooLarge(data, size) || PngTooLarge(data, size) || JpegTooLarge(data, size);
}

inline bool SmallEnoughToSave(pv::mem::Handle dib) {
  return int64_t{pv::DibGetWidth(dib)} * pv::DibGetHeight(dib) <= kMaxPixelsToSave;
}

// The header aside (biClrUsed may be widened), the bytes of two DIBs are the same.
inline bool SameTableAndRows(pv::mem::Handle a, pv::mem::Handle b) {
  pv::mem::Locked x(a), y(b);
  if (x.size() != y.size() || x.size() < pv::kDibHeaderBytes) return false;
  for (size_t i = pv::kDibHeaderBytes; i < x.size(); ++i)
    if (x.data()[i] != y.data()[i]) return false;
  return true;
}

// The DIB a codec's reader makes of the input; null when it refuses it.
template <typename Codec>
pv::mem::Owned ReadInput(const uint8_t* data, size_t size) {
  pv::mem::Owned block(pv::mem::AllocCopy(data, size));
  pv::mem::Handle dib = nullptr;
  Codec().Read(block.get(), &dib);
  return pv::mem::Owned(dib);
}

// What `write` (a codec writer's call) makes of a DIB, read back by the codec; any failure of
// either traps, since whatever a reader takes in must be writable and readable again.
template <typename Codec, typename Write>
pv::mem::Owned ReadBack(pv::mem::Handle dib, Write write) {
  pv::mem::Handle file = nullptr, again = nullptr;
  int32_t bytes = 0;
  if (write(dib, &file, &bytes) != pv::Result::Ok) __builtin_trap();
  pv::mem::Owned written(file);
  if (Codec().Read(file, &again) != pv::Result::Ok) __builtin_trap();
  return pv::mem::Owned(again);
}

// libpng and libjpeg print a line for every damaged file. With -close_fd_mask=2 libFuzzer
// silences the target's standard error but keeps its own and the sanitizers' reports on a
// copy; flags are read after LLVMFuzzerInitialize, which may add this one.
inline void QuietLibraries(int* argc, char*** argv) {
  static char flag[] = "-close_fd_mask=2";
  static std::vector<char*> args;
  args.assign(*argv, *argv + *argc);
  args.push_back(flag);
  *argc = static_cast<int>(args.size());
  args.push_back(nullptr);
  *argv = args.data();
}

}  // namespace fuzz
