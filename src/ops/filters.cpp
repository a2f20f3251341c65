#include "ops/filters.h"

#include <algorithm>

#include "ops/neighbourhood.h"

namespace pv {
namespace {

using Mask = std::array<int32_t, 9>;

constexpr Mask kSobelX = {1, 0, -1, 2, 0, -2, 1, 0, -1};
constexpr Mask kSobelY = {1, 2, 1, 0, 0, 0, -1, -2, -1};
// The eight compass masks are these four and their negatives.
constexpr Mask kDiagonalRising = {2, 1, 0, 1, 0, -1, 0, -1, -2};
constexpr Mask kDiagonalFalling = {0, 1, 2, -1, 0, 1, -2, -1, 0};

constexpr int32_t Sum(const Mask& mask, const Neighbourhood& p) {
  int32_t sum = 0;
  for (size_t k = 0; k < 9; ++k) sum += mask[k] * p[k];
  return sum;
}

constexpr int32_t Magnitude(const Mask& mask, const Neighbourhood& p) {
  const int32_t sum = Sum(mask, p);
  return sum < 0 ? -sum : sum;
}

// The row forms below give the same bytes as their nine-value forms: the same integer sums
// (they fit 16 bits), the same division, the same clipping, written as plain loops over byte
// runs that the compiler turns into vector code. `step` is the distance between neighbours.
using Run = const uint8_t* __restrict;

struct Smooth {
  int32_t operator()(const Neighbourhood& p) const {
    return (p[0] + p[1] + p[2] + p[3] + 2 * p[4] + p[5] + p[6] + p[7] + p[8]) / 10;
  }
  // Each column's sum of three serves three outputs: the sums of a stretch of the row are made
  // once, on the stack, then added up across.
  void Row(Run b, Run m, Run a, uint8_t* __restrict out, size_t step, size_t end) const {
    constexpr size_t kStretch = 256;
    uint16_t column[kStretch + 8];  // a step is at most 4 bytes
    for (size_t start = step; start < end; start += kStretch) {
      const size_t n = std::min(kStretch, end - start), from = start - step;
      for (size_t j = 0; j < n + 2 * step; ++j)
        column[j] = static_cast<uint16_t>(b[from + j] + m[from + j] + a[from + j]);
      for (size_t i = 0; i < n; ++i) {
        const int sum = column[i] + column[i + step] + column[i + 2 * step] + m[start + i];
        out[start + i] = static_cast<uint8_t>(static_cast<uint16_t>(sum) / 10);
      }
    }
  }
};

// The largest (or smallest) of the nine: of each column's three, then of the three columns.
template <bool Largest>
struct Extreme {
  static uint8_t Pick(uint8_t a, uint8_t b) { return Largest ? std::max(a, b) : std::min(a, b); }
  int32_t operator()(const Neighbourhood& p) const {
    return Largest ? *std::max_element(p.begin(), p.end()) : *std::min_element(p.begin(), p.end());
  }
  void Row(Run b, Run m, Run a, uint8_t* __restrict out, size_t step, size_t end) const {
    for (size_t i = step; i < end; ++i) {
      const auto column = [&](size_t j) { return Pick(Pick(b[j], m[j]), a[j]); };
      out[i] = Pick(Pick(column(i - step), column(i)), column(i + step));
    }
  }
};

struct Sobel {
  int32_t operator()(const Neighbourhood& p) const {
    return std::min(255, std::max(Magnitude(kSobelX, p), Magnitude(kSobelY, p)));
  }
  // The horizontal sum is the left column's (1, 2, 1) sum less the right one's; the vertical,
  // the lower row's less the upper one's.
  void Row(Run b, Run m, Run a, uint8_t* __restrict out, size_t step, size_t end) const {
    for (size_t i = step; i < end; ++i) {
      const size_t l = i - step, r = i + step;
      const int16_t x = static_cast<int16_t>((b[l] + 2 * m[l] + a[l]) - (b[r] + 2 * m[r] + a[r]));
      const int16_t y = static_cast<int16_t>((b[l] + 2 * b[i] + b[r]) - (a[l] + 2 * a[i] + a[r]));
      const int16_t ax = x < 0 ? static_cast<int16_t>(-x) : x,
                    ay = y < 0 ? static_cast<int16_t>(-y) : y;
      out[i] = static_cast<uint8_t>(std::min<int16_t>(255, std::max(ax, ay)));
    }
  }
};

// The largest of 0 and the eight compass sums is the largest magnitude of four of them.
struct Robinson {
  int32_t operator()(const Neighbourhood& p) const {
    const int32_t diagonal =
        std::max(Magnitude(kDiagonalRising, p), Magnitude(kDiagonalFalling, p));
    return std::min(255, std::max({Magnitude(kSobelX, p), Magnitude(kSobelY, p), diagonal}));
  }
};

struct Laplacian {
  int32_t operator()(const Neighbourhood& p) const {
    return std::clamp(p[1] + p[3] + p[5] + p[7] - 4 * p[4] + 128, 0, 255);
  }
};

template <typename Rule>
Result With(const DibView& dib, int channels, Form form, const Rule& rule) {
  return Filter3x3(dib, channels, Reach::Interior, rule, form);
}

Result Apply(const DibView& dib, Filter filter, Form form) {
  const int bits = dib.bitCount();
  const bool colour = filter == Filter::Smooth && (bits == 24 || bits == 32);
  if (bits != 8 && !colour) return Result::BadBitDepth;
  const int channels = colour ? 3 : 1;
  switch (filter) {
    case Filter::Smooth: return With(dib, channels, form, Smooth{});
    case Filter::MaxDensity: return With(dib, channels, form, Extreme<true>{});
    case Filter::MinDensity: return With(dib, channels, form, Extreme<false>{});
    case Filter::Sobel: return With(dib, channels, form, Sobel{});
    case Filter::Robinson: return With(dib, channels, form, Robinson{});
    case Filter::Laplacian: return With(dib, channels, form, Laplacian{});
  }
  return Result::BadParameter;
}

}  // namespace

Result ApplyFilter(const DibView& dib, Filter filter) { return Apply(dib, filter, Form::Fastest); }

Result ApplyFilterPerPixel(const DibView& dib, Filter filter) {
  return Apply(dib, filter, Form::PerPixel);
}

}  // namespace pv
