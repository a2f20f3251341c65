// 256-entry byte tables: the one way every point operation maps pixel bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "dib/dib.h"

namespace pv {

// Entry v is the new value of a byte v.
using ByteTable = std::array<uint8_t, 256>;

// `count` bytes from `from` through the table into `to`; the two may be the same bytes.
// Eight look-ups are gathered before one store, so that no store can be taken to change the
// table or the bytes still to be read.
inline void MapBytes(const uint8_t* from, uint8_t* to, size_t count, const ByteTable& table) {
  size_t i = 0;
  for (; i + 8 <= count; i += 8) {
    uint8_t mapped[8];
    for (size_t k = 0; k < 8; ++k) mapped[k] = table[from[i + k]];
    std::memcpy(to + i, mapped, 8);
  }
  for (; i < count; ++i) to[i] = table[from[i]];
}

// The pixel bytes of an 8-, 24- or 32-bit image in place: 8 bits through `blue`, the others
// byte 0 through `blue`, 1 through `green`, 2 through `red`. Row padding and the fourth byte of
// a 32-bit pixel stay as they are.
inline void MapPixels(const DibView& dib, const ByteTable& blue, const ByteTable& green,
                      const ByteTable& red) {
  const size_t bytes = static_cast<size_t>(dib.bitCount() / 8),
               width = static_cast<size_t>(dib.width());
  for (int32_t y = 0; y < dib.height(); ++y) {
    uint8_t* row = dib.row(y);
    if (bytes == 1) {
      MapBytes(row, row, width, blue);
      continue;
    }
    for (uint8_t* p = row; p < row + width * bytes; p += bytes) {
      p[0] = blue[p[0]];
      p[1] = green[p[1]];
      p[2] = red[p[2]];
    }
  }
}

// One table for every channel: at 24 bits a row's pixel bytes are one run through it.
inline void MapPixels(const DibView& dib, const ByteTable& table) {
  if (dib.bitCount() != 24) return MapPixels(dib, table, table, table);
  const size_t bytes = 3 * static_cast<size_t>(dib.width());
  for (int32_t y = 0; y < dib.height(); ++y) MapBytes(dib.row(y), dib.row(y), bytes, table);
}

}  // namespace pv
