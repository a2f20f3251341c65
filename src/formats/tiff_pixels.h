// 24-bit pixels between the file's red, green, blue order and the DIB's blue, green, red.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace pv {

// Byte by byte: the form every faster one must equal, and the one for part-pixels.
inline void SwapRedBlueBytewise(const uint8_t* in, uint8_t* out, size_t pixels) {
  for (size_t i = 0; i < 3 * pixels; i += 3) {
    out[i] = in[i + 2];
    out[i + 1] = in[i + 1];
    out[i + 2] = in[i];
  }
}

// Each pixel but the last moves as one 4-byte word: the word's fourth byte is the next pixel's
// and is overwritten by it. The form for processors without a byte shuffle.
inline void SwapRedBlueWords(const uint8_t* in, uint8_t* out, size_t pixels) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  for (; pixels > 1; --pixels, in += 3, out += 3) {
    uint32_t word;  // b0 | b1 << 8 | b2 << 16 | next << 24
    std::memcpy(&word, in, 4);
    word = __builtin_bswap32(word) >> 8;  // b2 | b1 << 8 | b0 << 16
    std::memcpy(out, &word, 4);
  }
#endif
  SwapRedBlueBytewise(in, out, pixels);
}

// Writes `pixels` whole pixels of `in` to `out` with the first and third byte exchanged (the
// exchange is its own inverse), touching no byte outside the run. `in` and `out` must not
// overlap. Sixteen bytes at a time where the processor can shuffle bytes, else by words.
void SwapRedBlue(const uint8_t* in, uint8_t* out, size_t pixels);

}  // namespace pv
