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

int32_t SmoothValue(const Neighbourhood& p) {
  return (p[0] + p[1] + p[2] + p[3] + 2 * p[4] + p[5] + p[6] + p[7] + p[8]) / 10;
}

int32_t MaxValue(const Neighbourhood& p) { return *std::max_element(p.begin(), p.end()); }
int32_t MinValue(const Neighbourhood& p) { return *std::min_element(p.begin(), p.end()); }

int32_t SobelValue(const Neighbourhood& p) {
  return std::min(255, std::max(Magnitude(kSobelX, p), Magnitude(kSobelY, p)));
}

// The largest of 0 and the eight compass sums is the largest magnitude of four of them.
int32_t RobinsonValue(const Neighbourhood& p) {
  const int32_t diagonal = std::max(Magnitude(kDiagonalRising, p), Magnitude(kDiagonalFalling, p));
  return std::min(255, std::max({Magnitude(kSobelX, p), Magnitude(kSobelY, p), diagonal}));
}

int32_t LaplacianValue(const Neighbourhood& p) {
  return std::clamp(p[1] + p[3] + p[5] + p[7] - 4 * p[4] + 128, 0, 255);
}

// Each rule gets its own instance of the walker, so the rule is inlined into the loop.
template <int32_t (*Value)(const Neighbourhood&)>
Result Run(const DibView& dib, int channels) {
  return Filter3x3(dib, channels, Reach::Interior, [](const Neighbourhood& p) { return Value(p); });
}

}  // namespace

Result ApplyFilter(const DibView& dib, Filter filter) {
  const int bits = dib.bitCount();
  const bool colour = filter == Filter::Smooth && (bits == 24 || bits == 32);
  if (bits != 8 && !colour) return Result::BadBitDepth;
  const int channels = colour ? 3 : 1;
  switch (filter) {
    case Filter::Smooth: return Run<SmoothValue>(dib, channels);
    case Filter::MaxDensity: return Run<MaxValue>(dib, channels);
    case Filter::MinDensity: return Run<MinValue>(dib, channels);
    case Filter::Sobel: return Run<SobelValue>(dib, channels);
    case Filter::Robinson: return Run<RobinsonValue>(dib, channels);
    case Filter::Laplacian: return Run<LaplacianValue>(dib, channels);
  }
  return Result::BadParameter;
}

}  // namespace pv
