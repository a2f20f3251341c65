// Bilinear interpolation in fixed point: positions in 1/1024 pixel, weights of 8 bits, and all
// weighting as a 256 × 256 product table gives it (looked up, or computed where that is
// faster). Shared by scaling and rotation.
#include <algorithm>
#include <cmath>
#include <type_traits>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "base/bytes.h"
#include "ops/color_depth.h"
#include "ops/geometry.h"
#include "ops/resample.h"
#include "ops/resample_pixels.h"

namespace pv {
namespace {

constexpr double kRadiansPerDegree = 0.017453292222222222;  // pi taken as 3.1415926
constexpr double kDegreesPerRadian = 57.295780490442965;

// T[a][b] = (a × b) >> 8. A blend of p and q with weight f is T[p][255 - f] + T[q][f]: the two
// weights add up to 255, so a blend of equal values loses up to one step.
class ProductTable {
 public:
  static const ProductTable& Get() {
    static const ProductTable table;
    return table;
  }
  // The table is symmetric, so the two rows of one weight serve every pair of values.
  struct Weight {
    const uint8_t* low;   // T[·][255 - f]
    const uint8_t* high;  // T[·][f]
    uint8_t Blend(uint8_t p, uint8_t q) const { return static_cast<uint8_t>(low[p] + high[q]); }
  };
  Weight Of(int f) const { return {t_[255 - f], t_[f]}; }

 private:
  ProductTable() {
    for (int a = 0; a < 256; ++a)
      for (int b = 0; b < 256; ++b) t_[a][b] = static_cast<uint8_t>((a * b) >> 8);
  }
  uint8_t t_[256][256];
};

// The value the table gives for a blend of p and q at weight f, computed.
inline uint8_t Mix(uint32_t p, uint32_t q, uint32_t f) {
  return static_cast<uint8_t>(((p * (255 - f)) >> 8) + ((q * f) >> 8));
}

// Source pixels x and x + 1 of rows `low` and `high`, across at weight fx, then up at fy.
template <class Format>
void MixPixel(const Format& f, const uint8_t* low, const uint8_t* high, int64_t x, uint32_t fx,
              uint32_t fy, uint8_t* v) {
  const uint8_t *a = f.At(low, x), *b = f.At(low, x + 1), *c = f.At(high, x),
                *d = f.At(high, x + 1);
  for (int k = 0; k < Format::kChannels; ++k)
    v[k] = Mix(Mix(a[k], b[k], fx), Mix(c[k], d[k], fx), fy);
}

#ifdef __SSE2__
// The same for whole-byte colour pixels, the channels of the four pixels in 16-bit lanes. A
// byte b in the high half of a lane makes the high half of its product with f (b × f) >> 8.
// A 3-byte pixel x + 1 is read as the word ending with it, so that no byte past the two
// pixels is read.
template <size_t N>
void MixPixel(const BgrPixels<N>&, const uint8_t* low, const uint8_t* high, int64_t x, uint32_t fx,
              uint32_t fy, uint8_t* v) {
  const uint8_t *p = low + x * N, *q = high + x * N;
  const auto words = [](const uint8_t* a, const uint8_t* b) {
    const __m128i pair = _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(ReadU32(a))),
                                            _mm_cvtsi32_si128(static_cast<int>(ReadU32(b))));
    return _mm_unpacklo_epi8(_mm_setzero_si128(), pair);
  };
  const __m128i left = words(p, q);  // lanes: pixel x of `low`, then of `high`
  __m128i right = N == 4 ? words(p + 4, q + 4) : _mm_srli_epi64(words(p + 2, q + 2), 16);
  const __m128i byteMask = _mm_set1_epi16(0xFF);
  const __m128i wx = _mm_set1_epi16(static_cast<int16_t>(fx));
  const __m128i across =
      _mm_add_epi16(_mm_mulhi_epu16(left, _mm_xor_si128(wx, byteMask)), _mm_mulhi_epu16(right, wx));
  // 255 − fy for the lanes of `low`, fy for those of `high`.
  const __m128i wy = _mm_xor_si128(_mm_set1_epi16(static_cast<int16_t>(fy)),
                                   _mm_unpacklo_epi64(byteMask, _mm_setzero_si128()));
  const __m128i up = _mm_mulhi_epu16(_mm_slli_epi16(across, 8), wy);
  const __m128i mixed = _mm_add_epi16(up, _mm_srli_si128(up, 8));
  const uint32_t bgr = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(mixed, mixed)));
  v[0] = static_cast<uint8_t>(bgr);
  v[1] = static_cast<uint8_t>(bgr >> 8);
  v[2] = static_cast<uint8_t>(bgr >> 16);
}
#endif

// A hint only: the line holding p is wanted soon.
inline void PrefetchLine(const uint8_t* p) {
#if defined(__GNUC__)
  __builtin_prefetch(p, 0, 0);
#else
  (void)p;
#endif
}

// a / d rounded down, for d > 0.
inline int64_t FloorDiv(int64_t a, int64_t d) { return a / d - (a % d != 0 && a < 0); }

// Narrows [*first, *last) to the x with lo ≤ start + x × step < hi.
void StepsInside(int64_t start, int64_t step, int64_t lo, int64_t hi, int64_t* first,
                 int64_t* last) {
  if (step == 0) {
    if (start < lo || start >= hi) *last = *first;
    return;
  }
  // start + x × step ≥ lo and ≤ hi − 1, solved for x (either sign of step).
  int64_t low = step > 0 ? -FloorDiv(start - lo, step) : -FloorDiv(hi - 1 - start, -step);
  int64_t high = step > 0 ? FloorDiv(hi - 1 - start, step) : FloorDiv(start - lo, -step);
  *first = std::max(*first, low);
  *last = std::min(*last, high + 1);
}

// Source position, in 1/1024 pixel, of output pixel (x, r): origin + x × perColumn + r × perRow,
// then the whole part (arithmetic shift, so negative offsets round down) plus `centre`.
struct Mapping {
  int64_t originX = 0, originY = 0;
  int64_t columnX = 0, columnY = 0;
  int64_t rowX = 0, rowY = 0;
  int64_t centreX = 0, centreY = 0;
};

Mapping ScaleMapping(double sx, double sy) {
  Mapping m;
  m.columnX = static_cast<int64_t>((1 / sx) * 1024);
  m.rowY = static_cast<int64_t>((1 / sy) * 1024);
  return m;
}

// Output offsets (i, j) from the output centre map to (i·c − j·s, i·s + j·c) from the source
// centre.
Mapping TurnMapping(const DibView& src, int32_t width, int32_t height, double angle) {
  const double radians = angle * kRadiansPerDegree;
  const int64_t c = static_cast<int64_t>(std::cos(radians) * 1024),
                s = static_cast<int64_t>(std::sin(radians) * 1024);
  const int64_t i0 = -(width >> 1), j0 = -(height >> 1);
  Mapping m;
  m.originX = i0 * c - j0 * s;
  m.originY = i0 * s + j0 * c;
  m.columnX = c;
  m.columnY = s;
  m.rowX = -s;
  m.rowY = c;
  m.centreX = src.width() >> 1;
  m.centreY = src.height() >> 1;
  return m;
}

// The bounding box of the turned picture, at least one pixel.
Result TurnedSize(const DibView& src, double angle, int32_t* width, int32_t* height) {
  const double w = src.width(), h = src.height();
  const double alpha = std::acos(h / std::sqrt(w * w + h * h)) * kDegreesPerRadian;
  const double halfW = src.width() >> 1, halfH = src.height() >> 1;
  const double diameter = 2 * std::sqrt(halfH * halfH + halfW * halfW);
  const double t =
      (angle > 90 && angle < 270) || (angle > -270 && angle < -90) ? angle + 180 : angle;
  auto sine = [](double degrees) { return std::sin(degrees * kRadiansPerDegree); };
  const double boxW = std::max(diameter * sine(t + alpha), diameter * sine(180 - alpha + t));
  const double boxH = std::max(diameter * sine(t + 90 - alpha), diameter * sine(t + 90 + alpha));
  Result sized = ScaledLength(1, std::max(boxW, 0.5), width);
  if (sized == Result::Ok) sized = ScaledLength(1, std::max(boxH, 0.5), height);
  return sized;
}

Result OutputSize(const DibView& src, const Interpolation& job, int32_t* width, int32_t* height) {
  if (job.keepSize) {
    *width = src.width();
    *height = src.height();
    return Result::Ok;
  }
  if (job.angle != 0) return TurnedSize(src, job.angle, width, height);
  const Result sized = ScaledLength(src.width(), job.sx, width);
  return sized != Result::Ok ? sized : ScaledLength(src.height(), job.sy, height);
}

template <class Format>
class Interpolator {
 public:
  Interpolator(const DibView& src, const Format& format, const uint8_t* background)
      : src_(src), f_(format), background_(background), table_(ProductTable::Get()) {}

  // `rowShortcut`: where an output row keeps one source row (no turn), that row pair and its
  // weight are found once per row rather than once per pixel; a turned row is cut into the
  // runs that need no bounds checks, no source pixel, or the per-pixel form. The values are the
  // same.
  void Rows(const DibView& dst, const Mapping& m, bool rowShortcut) const {
    const bool level = rowShortcut && m.columnY == 0;
    if (rowShortcut && !level) return TurnedRows(dst, m);
    for (int32_t r = 0; r < dst.height(); ++r) {
      int64_t ox = m.originX + r * m.rowX, oy = m.originY + r * m.rowY;
      uint8_t* to = dst.row(r);
      const int64_t y = m.centreY + (oy >> 10);
      if (level && y >= 0 && y < src_.height() - 1) {
        LevelRow(to, dst.width(), m, ox, y, (oy & 1023) >> 2);
        continue;
      }
      for (int32_t x = 0; x < dst.width(); ++x, ox += m.columnX, oy += m.columnY) {
        uint8_t v[3];
        Pixel(m.centreX + (ox >> 10), m.centreY + (oy >> 10), (ox & 1023) >> 2, (oy & 1023) >> 2,
              v);
        f_.Put(to, x, v);
      }
    }
  }

 private:
  // One output row from source rows y and y + 1 (y inside the interior's rows) at weight fy.
  void LevelRow(uint8_t* to, int32_t width, const Mapping& m, int64_t ox, int64_t y, int fy) const {
    const uint8_t* low = src_.row(static_cast<int32_t>(y));
    const uint8_t* high = src_.row(static_cast<int32_t>(y + 1));
    const ProductTable::Weight up = table_.Of(fy);
    for (int32_t x = 0; x < width; ++x, ox += m.columnX) {
      const int64_t sx = m.centreX + (ox >> 10);
      uint8_t v[3];
      if (sx < 0 || sx >= src_.width() - 1)
        Edge(sx, y, v);
      else
        Blend(low, high, sx, (ox & 1023) >> 2, up, v);
      f_.Put(to, x, v);
    }
  }

  // Per row: the columns whose four source pixels all lie inside run without bounds checks,
  // those whose four all lie outside take the background, the few between go pixel by pixel.
  void TurnedRows(const DibView& dst, const Mapping& m) const {
    const int32_t width = dst.width();
    for (int32_t r = 0; r < dst.height(); ++r) {
      const int64_t ox = m.originX + r * m.rowX, oy = m.originY + r * m.rowY;
      uint8_t* to = dst.row(r);
      // Source column cx + (ox >> 10) in [a, b) means ox in [a − cx, b − cx) × 1024.
      const Columns touching = ColumnsOver(width, m, ox, oy, -1, 0);
      Columns inside = ColumnsOver(width, m, ox, oy, 0, -1);
      if (inside.first >= inside.last) inside = {touching.last, touching.last};
      f_.Fill(to, 0, touching.first, background_);
      EdgePixels(to, touching.first, inside.first, m, ox, oy);
      Interior(to, inside.first, inside.last, m, ox, oy);
      EdgePixels(to, inside.last, touching.last, m, ox, oy);
      f_.Fill(to, touching.last, width, background_);
    }
  }

  struct Columns {
    int32_t first, last;
  };
  // The columns of the row at (ox, oy) whose source pixel (x, y) has x in [low, W + high) and y
  // in [low, H + high); none at all as [width, width).
  Columns ColumnsOver(int32_t width, const Mapping& m, int64_t ox, int64_t oy, int64_t low,
                      int64_t high) const {
    int64_t first = 0, last = width;
    StepsInside(ox, m.columnX, (low - m.centreX) * 1024, (src_.width() + high - m.centreX) * 1024,
                &first, &last);
    StepsInside(oy, m.columnY, (low - m.centreY) * 1024, (src_.height() + high - m.centreY) * 1024,
                &first, &last);
    if (first >= last) return {width, width};
    return {static_cast<int32_t>(first), static_cast<int32_t>(last)};
  }

  void EdgePixels(uint8_t* to, int32_t from, int32_t end, const Mapping& m, int64_t ox,
                  int64_t oy) const {
    ox += from * m.columnX;
    oy += from * m.columnY;
    for (int32_t x = from; x < end; ++x, ox += m.columnX, oy += m.columnY) {
      uint8_t v[3];
      Pixel(m.centreX + (ox >> 10), m.centreY + (oy >> 10), (ox & 1023) >> 2, (oy & 1023) >> 2, v);
      f_.Put(to, x, v);
    }
  }

  // Columns [from, end) of a row, every one of them inside the interior. The mapping is read
  // into locals: the pixel stores could otherwise alias it.
  void Interior(uint8_t* to, int32_t from, int32_t end, const Mapping& m, int64_t ox,
                int64_t oy) const {
    // A row crosses the source rows at a slant, so the lines it is the first to read come
    // one or two per source row, too few for the hardware to see a stream: every eighth
    // column asks for the line its column of the row kAhead rows on will read.
    constexpr int64_t kAhead = 8;
    const int64_t stepX = m.columnX, stepY = m.columnY, cx = m.centreX, cy = m.centreY;
    const int64_t aheadX = kAhead * m.rowX, aheadY = kAhead * m.rowY;
    ox += from * stepX;
    oy += from * stepY;
    const uint8_t* bits = src_.bits;
    const size_t stride = src_.stride;
    const uint64_t image = src_.imageBytes();
    for (int32_t x = from; x < end; ++x, ox += stepX, oy += stepY) {
      if (x % 8 == 0) {
        const int64_t at = static_cast<int64_t>(stride) * (cy + ((oy + aheadY) >> 10)) +
                           static_cast<int64_t>(Format::kBytes) * (cx + ((ox + aheadX) >> 10));
        if (static_cast<uint64_t>(at) < image) PrefetchLine(bits + at);
      }
      const uint8_t* low = bits + stride * static_cast<size_t>(cy + (oy >> 10));
      uint8_t v[3];
      MixPixel(f_, low, low + stride, cx + (ox >> 10), static_cast<uint32_t>(ox & 1023) >> 2,
               static_cast<uint32_t>(oy & 1023) >> 2, v);
      f_.Put(to, x, v);
    }
  }

  void Pixel(int64_t x, int64_t y, int fx, int fy, uint8_t* v) const {
    if (x < 0 || x >= src_.width() - 1 || y < 0 || y >= src_.height() - 1) return Edge(x, y, v);
    Blend(src_.row(static_cast<int32_t>(y)), src_.row(static_cast<int32_t>(y + 1)), x, fx,
          table_.Of(fy), v);
  }

  // Pixels x and x + 1 of rows `low` and `high`, across at weight fx, then up.
  void Blend(const uint8_t* low, const uint8_t* high, int64_t x, int fx,
             const ProductTable::Weight& up, uint8_t* v) const {
    const uint8_t *a = f_.At(low, x), *b = f_.At(low, x + 1), *c = f_.At(high, x),
                  *d = f_.At(high, x + 1);
    const ProductTable::Weight across = table_.Of(fx);
    for (int k = 0; k < Format::kChannels; ++k)
      v[k] = up.Blend(across.Blend(a[k], b[k]), across.Blend(c[k], d[k]));
  }

  // Outside the interior: the mean of the neighbours inside the picture, else the background.
  void Edge(int64_t x, int64_t y, uint8_t* v) const {
    uint32_t sums[3] = {0, 0, 0}, count = 0;
    for (int64_t ny = y; ny <= y + 1; ++ny) {
      if (ny < 0 || ny >= src_.height()) continue;
      const uint8_t* row = src_.row(static_cast<int32_t>(ny));
      for (int64_t nx = x; nx <= x + 1; ++nx) {
        if (nx < 0 || nx >= src_.width()) continue;
        const uint8_t* p = f_.At(row, nx);
        for (int k = 0; k < Format::kChannels; ++k) sums[k] += p[k];
        ++count;
      }
    }
    for (int k = 0; k < Format::kChannels; ++k)
      v[k] = count ? static_cast<uint8_t>(sums[k] / count) : background_[k];
  }

  const DibView& src_;
  const Format& f_;
  const uint8_t* background_;
  const ProductTable& table_;
};

// The background as channel bytes: grey value, blue-green-red of a COLORREF, or the colour of
// a table entry (which the octree then looks up like any blended colour).
Result BackgroundChannels(const DibView& src, int32_t background, uint8_t v[3]) {
  const int16_t kind = DibGetKind(&src.header, src.table);
  if (kind == kKind8BitColor) {
    if (background < 0 || background > 255) return Result::BadParameter;
    std::copy(src.table + 4 * background, src.table + 4 * background + 3, v);
  } else {
    v[0] = static_cast<uint8_t>(kind == kKind8BitGray ? background : background >> 16);
    v[1] = static_cast<uint8_t>(background >> 8);
    v[2] = static_cast<uint8_t>(background);
  }
  return Result::Ok;
}

Result Interpolate(const DibView& src, const Interpolation& job, bool rowShortcut,
                   mem::Handle* out);

// 16-bit pixels are decoded to 24 bits, interpolated, and packed back.
Result InterpolateAtTrueColor(const DibView& src, const Interpolation& job, bool rowShortcut,
                              mem::Handle* out) {
  mem::Handle wide = nullptr, turned = nullptr;
  Result result = ConvertColorDepth(src, 24, &wide);
  mem::Owned ownedWide(wide);
  if (result == Result::Ok) {
    DibLock lock(wide);
    result = Interpolate(lock.view(), job, rowShortcut, &turned);
  }
  mem::Owned ownedTurned(turned);
  if (result != Result::Ok) return result;
  DibLock lock(turned);
  return ConvertColorDepth(lock.view(), 16, out);
}

Result Interpolate(const DibView& src, const Interpolation& job, bool rowShortcut,
                   mem::Handle* out) {
  int32_t width = 0, height = 0;
  const Result sized = OutputSize(src, job, &width, &height);
  if (sized != Result::Ok) return sized;
  if (job.sx == 1.0 && job.sy == 1.0 && job.angle == 0) return CopyDib(src, out);
  if (src.bitCount() == 16) return InterpolateAtTrueColor(src, job, rowShortcut, out);
  if (src.bitCount() < 8) return Result::BadBitDepth;
  uint8_t background[3];
  const Result backed = BackgroundChannels(src, job.background, background);
  if (backed != Result::Ok) return backed;
  SameKindDib dst(src, width, height);
  if (dst.status() != Result::Ok) return dst.status();
  const Mapping mapping =
      job.angle == 0 ? ScaleMapping(job.sx, job.sy) : TurnMapping(src, width, height, job.angle);
  const Result done = WithPixelFormat(src, dst, [&](const auto& format) {
    Interpolator<std::decay_t<decltype(format)>>(src, format, background)
        .Rows(dst.view(), mapping, rowShortcut);
  });
  if (done != Result::Ok) return done;
  *out = dst.Release();
  return Result::Ok;
}

Result InterpolateChecked(const DibView& src, const Interpolation& job, bool rowShortcut,
                          mem::Handle* out) {
  if (!std::isfinite(job.sx) || !std::isfinite(job.sy) || !std::isfinite(job.angle) ||
      job.sx <= 0 || job.sy <= 0)
    return Result::BadParameter;
  return Interpolate(src, job, rowShortcut, out);
}

}  // namespace

Result InterpolateDib(const DibView& src, const Interpolation& job, mem::Handle* out) {
  return InterpolateChecked(src, job, true, out);
}

Result InterpolateDibPerPixel(const DibView& src, const Interpolation& job, mem::Handle* out) {
  return InterpolateChecked(src, job, false, out);
}

}  // namespace pv
