// Resampling: dispatch, decimation and the box methods (average, largest, smallest).
#include "ops/resample.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#include "dib/dib_pixels.h"
#include "ops/geometry.h"
#include "ops/resample_pixels.h"

namespace pv {
namespace {

// Source positions of output pixels 0, 1, … advancing by `step` in units of 2^-14 pixel.
std::vector<int32_t> DecimationSteps(int32_t count, int64_t step, int32_t limit) {
  std::vector<int32_t> positions(count);
  int64_t at = 0;
  for (int32_t& p : positions) {
    p = static_cast<int32_t>(std::min<int64_t>(at >> 14, limit - 1));
    at += step;
  }
  return positions;
}

// Nearest source pixel, anchored at the bottom-left; whole bits, nibbles, bytes or 3 bytes.
Result Decimate(const DibView& src, int32_t width, int32_t height, double sx, double sy,
                mem::Handle* out) {
  const int bits = src.bitCount();
  if (bits == 16) return Result::BadParameter;
  const std::vector<int32_t> columns =
      DecimationSteps(width, static_cast<int64_t>((1 / sx) * 16384), src.width());
  const std::vector<int32_t> rows =
      DecimationSteps(height, static_cast<int64_t>((1 / sy) * 16384), src.height());
  SameKindDib dst(src, width, height);
  if (dst.status() != Result::Ok) return dst.status();
  const size_t n = bits >= 8 ? PixelBytes(bits) : 0, copied = std::min<size_t>(n, 3);
  for (int32_t r = 0; r < height; ++r) {
    const uint8_t* from = src.row(rows[r]);
    uint8_t* to = dst.view().row(r);
    for (int32_t x = 0; x < width; ++x) {
      if (n == 0)
        PackedOr(to, x, bits, PackedGet(from, columns[x], bits));
      else
        std::memcpy(to + x * n, from + columns[x] * n, copied);
    }
  }
  *out = dst.Release();
  return Result::Ok;
}

// Source pixels first..last (inclusive) that one output pixel of a box method covers.
struct Span {
  int32_t first, last;
};

std::vector<Span> BoxSpans(int32_t count, double factor, int32_t limit) {
  const double step = 1 / factor;
  std::vector<Span> spans(count);
  for (int32_t i = 0; i < count; ++i) {
    const double start = i / factor, end = start + step;
    int64_t last = static_cast<int64_t>(std::floor(end));
    if (end == std::floor(end)) --last;  // a box ending on a pixel boundary stops before it
    last = std::min<int64_t>(last, limit - 1);
    const int64_t first = std::min<int64_t>(static_cast<int64_t>(std::floor(start)), last);
    spans[i] = {static_cast<int32_t>(first), static_cast<int32_t>(last)};
  }
  return spans;
}

template <int Method, class Format>
void BoxRows(const DibView& src, const DibView& dst, const Format& f,
             const std::vector<Span>& columns, const std::vector<Span>& rows) {
  for (int32_t r = 0; r < dst.height(); ++r) {
    uint8_t* to = dst.row(r);
    for (int32_t x = 0; x < dst.width(); ++x) {
      uint64_t acc[3] = {0, 0, 0};
      if (Method == kScaleSmallest) std::fill(acc, acc + 3, 255);
      for (int32_t y = rows[r].first; y <= rows[r].last; ++y) {
        const uint8_t* row = src.row(y);
        for (int32_t sx = columns[x].first; sx <= columns[x].last; ++sx) {
          const uint8_t* p = f.At(row, sx);
          for (int k = 0; k < Format::kChannels; ++k) {
            if (Method == kScaleAverage) acc[k] += p[k];
            if (Method == kScaleLargest) acc[k] = std::max<uint64_t>(acc[k], p[k]);
            if (Method == kScaleSmallest) acc[k] = std::min<uint64_t>(acc[k], p[k]);
          }
        }
      }
      const uint64_t count =
          uint64_t(rows[r].last - rows[r].first + 1) * (columns[x].last - columns[x].first + 1);
      uint8_t v[3];
      for (int k = 0; k < 3; ++k)
        v[k] = static_cast<uint8_t>(Method == kScaleAverage ? acc[k] / count : acc[k]);
      f.Put(to, x, v);
    }
  }
}

bool OnePixelEach(const std::vector<Span>& spans) {
  return std::all_of(spans.begin(), spans.end(), [](const Span& s) { return s.first == s.last; });
}

// When every output pixel covers exactly one source pixel (whole-number enlargements), every box
// method gives that pixel's bytes: copy them, and copy a row that repeats the one before it.
// Grey, 24 and 32 bits; the fourth byte of a 32-bit pixel stays zero as the sums leave it.
void Replicate(const DibView& src, const DibView& dst, const std::vector<Span>& columns,
               const std::vector<Span>& rows) {
  const size_t bytes = static_cast<size_t>(PixelBytes(src.bitCount())),
               copied = std::min<size_t>(bytes, 3);
  for (int32_t r = 0; r < dst.height(); ++r) {
    uint8_t* to = dst.row(r);
    if (r > 0 && rows[r].first == rows[r - 1].first) {
      std::memcpy(to, dst.row(r - 1), bytes * static_cast<size_t>(dst.width()));
      continue;
    }
    const uint8_t* from = src.row(rows[r].first);
    for (int32_t x = 0; x < dst.width(); ++x)
      std::memcpy(to + bytes * static_cast<size_t>(x),
                  from + bytes * static_cast<size_t>(columns[x].first), copied);
  }
}

Result BoxMethod(const DibView& src, int32_t width, int32_t height, double sx, double sy,
                 int method, bool shortcuts, mem::Handle* out) {
  const int16_t kind = DibGetKind(&src.header, src.table);
  if (kind != kKind8BitGray && kind != kKind8BitColor && kind != kKind24Bit && kind != kKind32Bit)
    return Result::BadParameter;
  const std::vector<Span> columns = BoxSpans(width, sx, src.width()),
                          rows = BoxSpans(height, sy, src.height());
  SameKindDib dst(src, width, height);
  if (dst.status() != Result::Ok) return dst.status();
  if (shortcuts && kind != kKind8BitColor && OnePixelEach(columns) && OnePixelEach(rows)) {
    Replicate(src, dst.view(), columns, rows);
    *out = dst.Release();
    return Result::Ok;
  }
  const Result done = WithPixelFormat(src, dst, [&](const auto& format) {
    if (method == kScaleLargest)
      BoxRows<kScaleLargest>(src, dst.view(), format, columns, rows);
    else if (method == kScaleSmallest)
      BoxRows<kScaleSmallest>(src, dst.view(), format, columns, rows);
    else
      BoxRows<kScaleAverage>(src, dst.view(), format, columns, rows);
  });
  if (done != Result::Ok) return done;
  *out = dst.Release();
  return Result::Ok;
}

Result Scale(const DibView& src, double sx, double sy, int method, bool shortcuts,
             mem::Handle* out) {
  const bool greyOnly = method == kScaleLargest || method == kScaleSmallest;
  if (greyOnly && DibGetKind(&src.header, src.table) != kKind8BitGray) return Result::BadParameter;
  int32_t width = 0, height = 0;
  Result sized = ScaledLength(src.width(), sx, &width);
  if (sized == Result::Ok) sized = ScaledLength(src.height(), sy, &height);
  if (sized != Result::Ok) return sized;
  // Factors of one copy before any depth is refused.
  if (sx == 1.0 && sy == 1.0) return CopyDib(src, out);
  switch (method) {
    case kScaleLinear: return InterpolateDib(src, Interpolation{sx, sy, 0.0, false, 0}, out);
    case kScaleDecimate: return Decimate(src, width, height, sx, sy, out);
    case kScaleAverage:
    case kScaleLargest:
    case kScaleSmallest: return BoxMethod(src, width, height, sx, sy, method, shortcuts, out);
    default: return Result::BadParameter;
  }
}

Result ScaleChecked(const DibView& src, double sx, double sy, int method, bool shortcuts,
                    mem::Handle* out) {
  if (!std::isfinite(sx) || !std::isfinite(sy) || sx <= 0 || sy <= 0) return Result::BadParameter;
  try {
    return Scale(src, sx, sy, method, shortcuts, out);
  } catch (const std::bad_alloc&) {  // position tables of a huge output
    return Result::OutOfMemory;
  }
}

}  // namespace

Result ScaleDib(const DibView& src, double sx, double sy, int method, mem::Handle* out) {
  return ScaleChecked(src, sx, sy, method, true, out);
}

Result ScaleDibWithoutShortcuts(const DibView& src, double sx, double sy, int method,
                                mem::Handle* out) {
  return ScaleChecked(src, sx, sy, method, false, out);
}

}  // namespace pv
