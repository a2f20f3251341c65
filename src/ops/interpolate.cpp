// Bilinear interpolation in fixed point: positions in 1/1024 pixel, weights of 8 bits, and all
// weighting through a 256 × 256 product table. Shared by scaling and rotation.
#include <algorithm>
#include <cmath>
#include <type_traits>

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
  // weight are found once per row rather than once per pixel; the blends are the same.
  void Rows(const DibView& dst, const Mapping& m, bool rowShortcut) const {
    const bool level = rowShortcut && m.columnY == 0;
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
