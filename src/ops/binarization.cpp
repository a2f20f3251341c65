#include "ops/binarization.h"

#include "ops/byte_table.h"

namespace pv {

Result Threshold(const DibView& dib, int threshold) {
  if (dib.bitCount() != 8) return Result::BadBitDepth;
  ByteTable table;
  for (int v = 0; v < 256; ++v) table[v] = v < threshold ? 0 : 255;
  MapBytes(dib.bits, dib.bits, dib.imageBytes(), table);
  return Result::Ok;
}

bool DiscriminantThreshold(const Histogram& counts, int32_t* threshold) {
  // Cumulative counts and level sums, exact in 64 bits: a level's product of value and count
  // passes 32 bits once a picture holds more than 16 million pixels of one bright level.
  uint64_t below[256], weighted[256];
  uint64_t n = 0, sum = 0;
  for (size_t v = 0; v < 256; ++v) {
    n += counts[v];
    sum += v * uint64_t{counts[v]};
    below[v] = n;
    weighted[v] = sum;
  }
  if (n == 0) return false;
  double best = 0;
  bool found = false;
  for (int32_t t = 1; t <= 254; ++t) {
    const double w0 = static_cast<double>(below[t]), w1 = static_cast<double>(n - below[t]);
    const double mean0 = below[t] ? weighted[t] / w0 : 0.0;
    const double mean1 = n - below[t] ? (sum - weighted[t]) / w1 : 0.0;
    const double d = mean0 - mean1;
    const double variance = d * d * w0 / static_cast<double>(n) * w1 / static_cast<double>(n);
    if (variance > best) {
      best = variance;
      *threshold = t;
      found = true;
    }
  }
  return found;
}

Result ProposeThreshold(const DibView& dib, const PixelRect& memoryRect, int32_t* threshold) {
  if (dib.bitCount() != 8) return Result::BadBitDepth;
  if (!RectInside(dib, memoryRect)) return Result::BadParameter;
  Histogram counts{};
  CountBytes(dib, memoryRect, &counts);
  DiscriminantThreshold(counts, threshold);
  return Result::Ok;
}

}  // namespace pv
