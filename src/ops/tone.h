// Tone curves: gamma, per-channel gamma, contrast and histogram stretch, each a 256-entry table
// applied in place to the pixel bytes (on 8-bit images the indices; the colour table stays).
#pragma once

#include <cstdint>

#include "dib/dib.h"
#include "ops/byte_table.h"
#include "ops/histogram.h"

namespace pv {

// A grey level or contrast output level: 0..255.
inline bool IsLevel(int32_t v) { return v >= 0 && v <= 255; }

// Factors the gamma curves take: positive and finite.
bool IsGammaFactor(float gamma);
// Entry v = 255 × (v / 255)^(1 / gamma), truncated, within 0..255.
ByteTable GammaTable(float gamma);

// Input levels low < high and output levels outLow < outHigh, all within 0..255.
struct ContrastLevels {
  int32_t low, high, outLow, outHigh;
  bool Valid() const;
};
// The piecewise-linear curve through (0, 0), (low, outLow), (high, outHigh) and (255, 255).
ByteTable ContrastTable(const ContrastLevels& levels);

// The stretch that maps the levels with more than `threshold` pixels onto about `range` bands;
// false when a band would be less than one level wide.
bool AccentTable(const Histogram& counts, int32_t range, int32_t threshold, ByteTable* table);

// The operations, in place. BadBitDepth outside the depths each takes: gamma 8, 24 and 32 bits;
// per-channel gamma 24 and 32; contrast and accent 8. Accent refuses a band width of 0 with
// BadParameter.
Result ApplyGamma(const DibView& dib, float gamma);
Result ApplyRgbGamma(const DibView& dib, float red, float green, float blue);
Result ApplyContrast(const DibView& dib, const ContrastLevels& levels);
Result ApplyAccent(const DibView& dib, int32_t range, int32_t threshold);

}  // namespace pv
