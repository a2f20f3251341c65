// Pixel access shared by every operation: packed palette indices and the 16-bit layout.
#pragma once

#include <cstdint>

#include "dib/dib.h"

namespace pv {

// Index of pixel x in a row of 1, 2, 4 or 8 bits, packed from the most significant bits.
inline uint8_t PackedGet(const uint8_t* row, int32_t x, int bits) {
  switch (bits) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 2: return (row[x >> 2] >> (6 - 2 * (x & 3))) & 3;
    case 4: return (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
    default: return row[x];
  }
}

// ORs an index into a zero-initialised row of 1, 2, 4 or 8 bits.
inline void PackedOr(uint8_t* row, int32_t x, int bits, uint8_t value) {
  switch (bits) {
    case 1: row[x >> 3] |= static_cast<uint8_t>((value & 1) << (7 - (x & 7))); break;
    case 2: row[x >> 2] |= static_cast<uint8_t>((value & 3) << (6 - 2 * (x & 3))); break;
    case 4: row[x >> 1] |= static_cast<uint8_t>((x & 1) ? value & 0x0F : value << 4); break;
    default: row[x] = value; break;
  }
}

// Writes an index into a row of 1, 2, 4 or 8 bits, replacing what was there.
inline void PackedSet(uint8_t* row, int32_t x, int bits, uint8_t value) {
  if (bits == 8) {
    row[x] = value;
    return;
  }
  const int perByte = 8 / bits;
  const int shift = 8 - bits - bits * (x % perByte);
  const uint8_t mask = static_cast<uint8_t>(((1 << bits) - 1) << shift);
  uint8_t& byte = row[x / perByte];
  byte = static_cast<uint8_t>((byte & ~mask) | ((value << shift) & mask));
}

// The 16-bit pixel: byte 0 = B[7:3] G[7:5], byte 1 = G[4:2] R[7:3].
inline void Pack16(uint8_t blue, uint8_t green, uint8_t red, uint8_t* out) {
  out[0] = static_cast<uint8_t>((blue & 0xF8) | (green >> 5));
  out[1] = static_cast<uint8_t>(((green & 0x1C) << 3) | (red >> 3));
}

inline void Unpack16(const uint8_t* in, uint8_t bgr[3]) {
  bgr[0] = in[0] & 0xF8;
  bgr[1] = static_cast<uint8_t>(((in[0] & 7) << 5) | ((in[1] >> 3) & 0x1C));
  bgr[2] = static_cast<uint8_t>(in[1] << 3);
}

// Blue, green, red of pixel x of a row, whatever the depth (palette colours through the table).
inline void ReadBgr(const DibView& dib, const uint8_t* row, int32_t x, uint8_t bgr[3]) {
  const int bits = dib.bitCount();
  if (bits <= 8) {
    const uint8_t* entry = dib.table + 4 * PackedGet(row, x, bits);
    bgr[0] = entry[0];
    bgr[1] = entry[1];
    bgr[2] = entry[2];
  } else if (bits == 16) {
    Unpack16(row + 2 * x, bgr);
  } else {
    const uint8_t* p = row + static_cast<size_t>(x) * (bits / 8);
    bgr[0] = p[0];
    bgr[1] = p[1];
    bgr[2] = p[2];
  }
}

}  // namespace pv
