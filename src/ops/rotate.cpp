#include "ops/rotate.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "dib/dib_pixels.h"
#include "ops/geometry.h"
#include "ops/resample.h"

namespace pv {
namespace {

// Output row r takes source column width - 1 - r; output column x takes source row x. Worked in
// square tiles so that the column reads stay in cache.
template <size_t N>
void TurnWholePixels(const DibView& src, const DibView& dst) {
  constexpr int32_t kTile = 64;
  for (int32_t r0 = 0; r0 < dst.height(); r0 += kTile) {
    const int32_t r1 = std::min(dst.height(), r0 + kTile);
    for (int32_t x0 = 0; x0 < dst.width(); x0 += kTile) {
      const int32_t x1 = std::min(dst.width(), x0 + kTile);
      for (int32_t r = r0; r < r1; ++r) {
        uint8_t* to = dst.row(r);
        const size_t column = static_cast<size_t>(src.width() - 1 - r) * N;
        for (int32_t x = x0; x < x1; ++x) std::memcpy(to + x * N, src.row(x) + column, N);
      }
    }
  }
}

void TurnPackedPixels(const DibView& src, const DibView& dst) {
  const int bits = src.bitCount();
  for (int32_t r = 0; r < dst.height(); ++r) {
    uint8_t* to = dst.row(r);
    const int32_t column = src.width() - 1 - r;
    for (int32_t x = 0; x < dst.width(); ++x)
      PackedOr(to, x, bits, PackedGet(src.row(x), column, bits));
  }
}

Result MirrorBothWays(mem::Handle dib) {
  DibLock lock(dib);
  Result result = lock.status();
  if (result == Result::Ok) result = MirrorDib(lock.view(), 0);
  if (result == Result::Ok) result = MirrorDib(lock.view(), 1);
  return result;
}

Result HalfTurn(const DibView& src, mem::Handle* out) {
  if (src.bitCount() < 8) return Result::BadBitDepth;
  mem::Handle copy = nullptr;
  const Result copied = CopyDib(src, &copy);
  if (copied != Result::Ok) return copied;
  mem::Owned owned(copy);
  const Result mirrored = MirrorBothWays(copy);
  if (mirrored != Result::Ok) return mirrored;
  *out = owned.release();
  return Result::Ok;
}

// The turned picture back on a canvas of the old size, centred.
Result RestoreCanvas(mem::Handle turned, const DibHeader& old, int32_t background,
                     mem::Handle* out) {
  DibLock lock(turned);
  if (lock.status() != Result::Ok) return lock.status();
  int64_t left = 0, top = 0;
  CanvasOrigin(lock.view().header, old.width, old.height, 0x202, &left, &top);
  return CropAndFill(lock.view(), left, top, old.width, old.height,
                     static_cast<uint32_t>(background), out);
}

Result RightAngle(const DibView& src, bool threeQuarters, int32_t resize, int32_t background,
                  mem::Handle* out) {
  if (threeQuarters && src.bitCount() < 8)
    return Result::BadBitDepth;  // the mirroring refuses them
  mem::Handle turned = nullptr;
  Result result = QuarterTurn(src, &turned);
  mem::Owned owned(turned);
  if (result == Result::Ok && resize == 0) {
    mem::Handle canvas = nullptr;
    result = RestoreCanvas(owned.get(), src.header, background, &canvas);
    if (result == Result::Ok) owned.reset(canvas);
  }
  if (result == Result::Ok && threeQuarters) result = MirrorBothWays(owned.get());
  if (result != Result::Ok) return result;
  *out = owned.release();
  return Result::Ok;
}

}  // namespace

Result QuarterTurn(const DibView& src, mem::Handle* out) {
  SameKindDib dst(src, src.height(), src.width());
  if (dst.status() != Result::Ok) return dst.status();
  switch (src.bitCount()) {
    case 8: TurnWholePixels<1>(src, dst.view()); break;
    case 16: TurnWholePixels<2>(src, dst.view()); break;
    case 24: TurnWholePixels<3>(src, dst.view()); break;
    case 32: TurnWholePixels<4>(src, dst.view()); break;
    default: TurnPackedPixels(src, dst.view()); break;
  }
  *out = dst.Release();
  return Result::Ok;
}

Result RotateDib(const DibView& src, float angle, int32_t resize, int32_t background,
                 mem::Handle* out) {
  if (!std::isfinite(angle)) return Result::BadParameter;
  // Into 0 up to (not including) 360: a whole turn is no turn.
  float turn = std::fmod(angle, 360.0f);
  if (turn < 0) turn += 360.0f;
  if (turn >= 360.0f) turn = 0;
  if (turn == 180) return HalfTurn(src, out);
  if (turn == 90 || turn == 270) return RightAngle(src, turn == 270, resize, background, out);
  return InterpolateDib(src, Interpolation{1.0, 1.0, turn, resize == 0, background}, out);
}

}  // namespace pv
