#include "ops/tone.h"

#include <algorithm>
#include <cmath>

namespace pv {
namespace {

// A curve value truncated toward zero and held to a byte.
uint8_t ClampedLevel(double v) {
  if (!(v > 0)) return 0;
  return v >= 255 ? 255 : static_cast<uint8_t>(v);
}

}  // namespace

bool IsGammaFactor(float gamma) { return std::isfinite(gamma) && gamma > 0; }

ByteTable GammaTable(float gamma) {
  const double exponent = 1.0 / gamma;
  ByteTable table;
  // v / 255 rather than v times the double nearest 1/255: that product, times 255, falls just
  // short of v for 24 levels, and a factor of 1 would no longer leave the image as it is.
  for (int v = 0; v < 256; ++v) table[v] = ClampedLevel(std::pow(v / 255.0, exponent) * 255.0);
  return table;
}

bool ContrastLevels::Valid() const {
  return IsLevel(low) && IsLevel(high) && low < high && IsLevel(outLow) && IsLevel(outHigh) &&
         outLow < outHigh;
}

ByteTable ContrastTable(const ContrastLevels& c) {
  // Slopes of the three segments; a segment that starts at 0 or ends at 255 has none to take.
  const double s1 = c.low ? static_cast<double>(c.outLow) / c.low : 0.0;
  const double s2 = static_cast<double>(c.outHigh - c.outLow) / (c.high - c.low);
  const double s3 = c.high < 255 ? static_cast<double>(255 - c.outHigh) / (255 - c.high) : 0.0;
  ByteTable table;
  for (int32_t v = 0; v < 255; ++v) {
    double y;
    if (v < c.low)
      y = std::trunc(v * s1);
    else if (v < c.high)
      y = std::trunc((v - c.low) * s2) + c.outLow;
    else
      y = std::trunc((v - c.high) * s3) + c.outHigh;
    table[v] = ClampedLevel(y);
  }
  table[255] = 255;
  return table;
}

bool AccentTable(const Histogram& counts, int32_t range, int32_t threshold, ByteTable* table) {
  const auto above = [&](uint32_t count) { return int64_t{count} > threshold; };
  const auto first = std::find_if(counts.begin(), counts.end(), above);
  const auto last = std::find_if(counts.rbegin(), counts.rend(), above);
  const int32_t lo = first == counts.end() ? 0 : static_cast<int32_t>(first - counts.begin());
  const int32_t hi = last == counts.rend() ? 0 : static_cast<int32_t>(counts.rend() - last) - 1;
  const int32_t step = range > 0 ? (hi - lo) / range : 0;
  if (step < 1) return false;
  for (int32_t v = 0; v < 256; ++v)
    (*table)[v] = static_cast<uint8_t>(std::clamp((v - lo) / step, 0, 255));
  return true;
}

Result ApplyGamma(const DibView& dib, float gamma) {
  const int bits = dib.bitCount();
  if (bits != 8 && bits != 24 && bits != 32) return Result::BadBitDepth;
  MapPixels(dib, GammaTable(gamma));
  return Result::Ok;
}

Result ApplyRgbGamma(const DibView& dib, float red, float green, float blue) {
  if (dib.bitCount() != 24 && dib.bitCount() != 32) return Result::BadBitDepth;
  MapPixels(dib, GammaTable(blue), GammaTable(green), GammaTable(red));
  return Result::Ok;
}

Result ApplyContrast(const DibView& dib, const ContrastLevels& levels) {
  if (dib.bitCount() != 8) return Result::BadBitDepth;
  MapPixels(dib, ContrastTable(levels));
  return Result::Ok;
}

Result ApplyAccent(const DibView& dib, int32_t range, int32_t threshold) {
  if (dib.bitCount() != 8) return Result::BadBitDepth;
  Histogram counts{};
  CountBytes(dib, {0, 0, dib.width(), dib.height()}, &counts);
  ByteTable table;
  if (!AccentTable(counts, range, threshold, &table)) return Result::BadParameter;
  MapPixels(dib, table);
  return Result::Ok;
}

}  // namespace pv
