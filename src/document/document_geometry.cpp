// Entry points of the geometry family: mirroring, trimming, canvas size, mosaic, profiles,
// resampling and rotation.
#include <algorithm>
#include <cmath>

#include "document/image_document.h"
#include "ops/geometry.h"
#include "ops/resample.h"
#include "ops/rotate.h"

namespace pv {
namespace {

constexpr int32_t kAbsoluteSize = 0x10000;  // SetImageScale: the two values are pixels, not factors

// Truncation toward zero; values beyond any picture are held at a distance no DIB reaches.
int64_t TruncatedPixels(float v) {
  if (std::isnan(v)) return 0;
  return static_cast<int64_t>(std::clamp(v, -4e9f, 4e9f));
}

}  // namespace

template <typename Kernel>
Result ImageDocument::ReplaceBy(Kernel kernel) {
  mem::Handle made = nullptr;
  Result result;
  {
    DibLock lock(dib_);
    result = lock.status();
    if (result == Result::Ok) result = kernel(lock.view(), &made);
  }
  if (result != Result::Ok) return result;
  return Replace(made);
}

Result ImageDocument::TurnOver(int32_t direction) {
  return ChangeInPlace(Result::BadParameter,
                       [&](const DibView& dib) { return MirrorDib(dib, direction); });
}

Result ImageDocument::Trim(float left, float top, float width, float height) {
  if (!dib_) return Result::NoImage;
  return ReplaceBy([&](const DibView& src, mem::Handle* out) {
    return CropAndFill(src, TruncatedPixels(left), TruncatedPixels(top), TruncatedPixels(width),
                       TruncatedPixels(height), backgroundColor_, out);
  });
}

Result ImageDocument::SetSize(int32_t width, int32_t height, int32_t placement, int32_t fill) {
  if (!dib_) return Result::BadParameter;
  return ReplaceBy([&](const DibView& src, mem::Handle* out) {
    int64_t left = 0, top = 0;
    const Result placed = CanvasOrigin(src.header, width, height, placement, &left, &top);
    if (placed != Result::Ok) return placed;
    return CropAndFill(src, left, top, width, height, static_cast<uint32_t>(fill), out);
  });
}

Result ImageDocument::Mosaic(int16_t blockSize) {
  if (blockSize < 1) return Result::BadParameter;
  if (!dib_) return Result::NoImage;
  // The blocks are averaged in a copy of the whole block, header and table included.
  mem::Handle copy = nullptr;
  {
    mem::Locked block(dib_);
    copy = mem::AllocCopy(block.data(), block.size());
  }
  mem::Owned owned(copy);
  if (!copy) return Result::OutOfMemory;
  {
    DibLock lock(copy);
    Result result = lock.status();
    if (result == Result::Ok) result = MosaicDib(lock.view(), blockSize);
    if (result != Result::Ok) return result;
  }
  return Replace(owned.release());
}

Result ImageDocument::GetProfile(int32_t startX, int32_t startY, int32_t endX, int32_t endY,
                                 mem::Handle* block, int32_t* size) const {
  if (!dib_) return Result::NoImage;
  DibLock lock(dib_);
  if (lock.status() != Result::Ok) return lock.status();
  return ProfileOf(lock.view(), startX, startY, endX, endY, block, size);
}

Result ImageDocument::SetImageScale(double horizontal, double vertical, int32_t type) {
  if (!(horizontal > 0) || !std::isfinite(horizontal)) return Result::BadParameter;
  if (!(vertical > 0) || !std::isfinite(vertical)) return Result::BadParameter;
  if (type < 0 || (type & 0xFFFF) >= kScaleMethodCount) return Result::BadParameter;
  if (!dib_) return Result::NoImage;
  return ReplaceBy([&](const DibView& src, mem::Handle* out) {
    const bool absolute = (type & kAbsoluteSize) != 0;
    const double sx = absolute ? horizontal / src.width() : horizontal;
    const double sy = absolute ? vertical / src.height() : vertical;
    return ScaleDib(src, sx, sy, type & 0xFFFF, out);
  });
}

Result ImageDocument::Rotate(float angle, int32_t resize, int32_t background) {
  if (!dib_) return Result::BadParameter;
  return ReplaceBy([&](const DibView& src, mem::Handle* out) {
    return RotateDib(src, angle, resize, background, out);
  });
}

}  // namespace pv
