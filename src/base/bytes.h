// Little-endian field access and overflow-checked size arithmetic. Binary layouts are read and
// written through these, never by casting structs over bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace pv {

inline uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t ReadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
inline int32_t ReadI32(const uint8_t* p) { return static_cast<int32_t>(ReadU32(p)); }

inline void WriteU16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void WriteU32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void WriteI32(uint8_t* p, int32_t v) { WriteU32(p, static_cast<uint32_t>(v)); }

// a * b, or nothing when the product does not fit in size_t.
inline std::optional<size_t> CheckedMul(size_t a, size_t b) {
  size_t product;
  if (__builtin_mul_overflow(a, b, &product)) return std::nullopt;
  return product;
}

inline std::optional<size_t> CheckedAdd(size_t a, size_t b) {
  size_t sum;
  if (__builtin_add_overflow(a, b, &sum)) return std::nullopt;
  return sum;
}

// DIB sizes are reckoned in 64 bits on every build, so that a 32-bit process judges a picture
// as a 64-bit one does (too large to hold, not malformed) instead of seeing its size wrap.

// Bytes of one DIB row: bits × width rounded up to a multiple of 32 bits.
inline std::optional<uint64_t> DibStride(int64_t width, int64_t bitCount) {
  if (width < 0 || bitCount < 0) return std::nullopt;
  uint64_t bits;
  if (__builtin_mul_overflow(static_cast<uint64_t>(width), static_cast<uint64_t>(bitCount),
                             &bits) ||
      bits > UINT64_MAX - 31)
    return std::nullopt;
  return (bits + 31) / 32 * 4;
}

// Bytes of a DIB's pixel rows: stride × height.
inline std::optional<uint64_t> DibImageBytes(int64_t width, int64_t height, int64_t bitCount) {
  auto stride = DibStride(width, bitCount);
  uint64_t bytes;
  if (!stride || height < 0 ||
      __builtin_mul_overflow(*stride, static_cast<uint64_t>(height), &bytes))
    return std::nullopt;
  return bytes;
}

}  // namespace pv
