#include "formats/tiff_pixels.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define PV_SHUFFLE_SWAP 1
#endif

namespace pv {
namespace {

#ifdef PV_SHUFFLE_SWAP
// Five pixels a step through one 16-byte shuffle; the sixteenth byte is the next pixel's first
// and is written again by the next step, so a step needs a sixth pixel after its five.
__attribute__((target("ssse3"))) void SwapRedBlueShuffled(const uint8_t* in, uint8_t* out,
                                                          size_t pixels) {
  const __m128i order = _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 14, 13, 12, 15);
  for (; pixels >= 6; pixels -= 5, in += 15, out += 15) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_shuffle_epi8(v, order));
  }
  SwapRedBlueWords(in, out, pixels);
}

bool CanShuffle() {
  static const bool can = __builtin_cpu_supports("ssse3");
  return can;
}
#endif

}  // namespace

void SwapRedBlue(const uint8_t* in, uint8_t* out, size_t pixels) {
#ifdef PV_SHUFFLE_SWAP
  if (CanShuffle()) return SwapRedBlueShuffled(in, out, pixels);
#endif
  SwapRedBlueWords(in, out, pixels);
}

}  // namespace pv
