// The 3 × 3 neighbourhood walker behind the filters and the morphology: every output pixel is
// computed from the unchanged rows (copies of those already written over), so no result
// depends on one written before it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <utility>

#include "dib/dib.h"
#include "platform/global_memory.h"

namespace pv {

// The nine source values around a pixel at memory row r, column x, k = 0..8: row r − 1
// (one row lower in the picture), then r, then r + 1; in each, columns x − 1, x, x + 1.
using Neighbourhood = std::array<int32_t, 9>;

// Which pixels a walk computes.
enum class Reach {
  Interior,  // memory rows and columns 1 .. size − 2; the one-pixel border keeps its values
  Whole,     // every pixel; outside the image the nearest edge pixel stands in for a neighbour
};

// A rule may also compute whole runs of bytes: `rule.Row(below, mid, above, out, step, end)`
// sets out[i] for i in step .. end − 1 from the bytes i − step, i and i + step of the three rows,
// exactly as the nine-value form would. Walks take it for the interior of each row, over every
// byte of the pixels; a plain loop there lets the compiler use whole vector registers, where a
// pixel-by-pixel walk cannot.
namespace detail {

template <typename Rule, typename = void>
struct HasRowForm : std::false_type {};
template <typename Rule>
struct HasRowForm<Rule, std::void_t<decltype(&Rule::Row)>> : std::true_type {};

template <typename Rule>
inline uint8_t ApplyAt(const uint8_t* below, const uint8_t* mid, const uint8_t* above, size_t left,
                       size_t centre, size_t right, const Rule& rule) {
  const Neighbourhood p = {below[left], below[centre], below[right],  mid[left],   mid[centre],
                           mid[right],  above[left],   above[centre], above[right]};
  return static_cast<uint8_t>(rule(p));
}

// Columns 1 .. width − 2 of one channel of one row; `step` is the distance in bytes between
// neighbouring pixels.
template <typename Rule>
void WalkInterior(const uint8_t* below, const uint8_t* mid, const uint8_t* above, uint8_t* out,
                  size_t step, int32_t width, const Rule& rule) {
  for (int32_t x = 1; x + 1 < width; ++x) {
    const size_t c = static_cast<size_t>(x) * step;
    out[c] = ApplyAt(below, mid, above, c - step, c, c + step, rule);
  }
}

// Columns 0 and width − 1, the nearest edge pixel standing in for the missing neighbours.
template <typename Rule>
void WalkEdges(const uint8_t* below, const uint8_t* mid, const uint8_t* above, uint8_t* out,
               size_t step, int32_t width, const Rule& rule) {
  const size_t last = static_cast<size_t>(width - 1) * step;
  const size_t second = width > 1 ? step : 0;
  out[0] = ApplyAt(below, mid, above, 0, 0, second, rule);
  if (width > 1) out[last] = ApplyAt(below, mid, above, last - step, last, last, rule);
}

// After a row form over every byte of the interior, the bytes of each pixel past `channels`
// (the fourth of a 32-bit pixel) get their old values back.
inline void RestoreBytes(const uint8_t* source, uint8_t* out, size_t step, int channels,
                         int32_t width) {
  for (size_t c = static_cast<size_t>(channels); c < step; ++c)
    for (size_t i = step + c; i < static_cast<size_t>(width - 1) * step; i += step)
      out[i] = source[i];
}

}  // namespace detail

// How a walk computes the interior of its rows.
enum class Form {
  Fastest,   // a rule's whole-row form where it has one
  PerPixel,  // always the nine-value form: the reference the row forms are held to
};

// Applies `rule` (Neighbourhood → 0..255) to channels 0 .. channels − 1 of every pixel in
// `reach`, each on its own. Rows are written in memory order, each from copies of itself and of
// the row below (made in `scratch`, two rows long, before they change) and from the row above,
// which is not yet written.
template <typename Rule>
void Walk3x3(const DibView& dib, uint8_t* scratch, int channels, Reach reach, const Rule& rule,
             Form form) {
  const size_t step = static_cast<size_t>(dib.bitCount() / 8);
  const int32_t width = dib.width(), height = dib.height();
  bool rows = false;
  if constexpr (detail::HasRowForm<Rule>::value) rows = form == Form::Fastest;
  const bool whole = reach == Reach::Whole;
  const int32_t first = whole ? 0 : 1, end = whole ? height : height - 1;
  if (first >= end) return;
  uint8_t *below = scratch, *mid = scratch + dib.stride;
  if (first > 0) std::memcpy(below, dib.row(first - 1), dib.stride);
  for (int32_t r = first; r < end; ++r, std::swap(below, mid)) {
    std::memcpy(mid, dib.row(r), dib.stride);
    const uint8_t* b = r > 0 ? below : mid;
    const uint8_t* a = r + 1 < height ? dib.row(r + 1) : mid;
    uint8_t* out = dib.row(r);
    if constexpr (detail::HasRowForm<Rule>::value)
      if (rows && width > 2) {
        rule.Row(b, mid, a, out, step, (width - 1) * step);
        detail::RestoreBytes(mid, out, step, channels, width);
      }
    for (int c = 0; c < channels; ++c) {
      if (!rows) detail::WalkInterior(b + c, mid + c, a + c, out + c, step, width, rule);
      if (whole) detail::WalkEdges(b + c, mid + c, a + c, out + c, step, width, rule);
    }
  }
}

// Applies `rule` to the first `channels` bytes of every pixel (1 for 8 bits; blue, green and
// red for 24 and 32 bits, each on its own), in place. 7 when there is no memory for two rows.
template <typename Rule>
Result Filter3x3(const DibView& dib, int channels, Reach reach, const Rule& rule,
                 Form form = Form::Fastest) {
  mem::Owned block(mem::Alloc(2 * dib.stride));
  mem::Locked scratch(block.get());
  if (!scratch) return Result::OutOfMemory;
  Walk3x3(dib, scratch.data(), channels, reach, rule, form);
  return Result::Ok;
}

}  // namespace pv
