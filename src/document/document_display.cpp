// The display queries of the automation interface and the scroll-bar requests.
#include <algorithm>
#include <cmath>

#include "document/image_document.h"

namespace pv {
namespace {

// The window's scroll request codes (the low word of a scroll message's first parameter).
enum ScrollRequest : int32_t {
  kLineBack = 0,
  kLineForward = 1,
  kPageBack = 2,
  kPageForward = 3,
  kThumbPosition = 4,
  kThumbTrack = 5,
  kToStart = 6,
  kToEnd = 7,
};

// Truncation toward zero; NaN and values beyond 32 bits give a point no image holds.
bool TruncToPixel(double v, int64_t* out) {
  if (!std::isfinite(v) || std::fabs(v) > 4e9) return false;
  *out = static_cast<int64_t>(v);
  return true;
}

}  // namespace

Result ImageDocument::SetDispScale(double x, double y) {
  set_requested_scale(x, y);
  return Relayout(false);
}

Result ImageDocument::GetDispScale(double* x, double* y) const {
  if (!dib_) return Result::NoImage;
  if (!x || !y) return Result::BadParameter;
  *x = scaleX_;
  *y = scaleY_;
  return Result::Ok;
}

Result ImageDocument::ClientToDIBPosition(int32_t* x, int32_t* y) const {
  if (!dib_) return Result::NoImage;
  if (!x || !y) return Result::BadParameter;
  int64_t dx = 0, dy = 0;
  if (!TruncToPixel((horizontalPos_ + static_cast<double>(*x)) / scaleX_, &dx) ||
      !TruncToPixel((verticalPos_ + static_cast<double>(*y)) / scaleY_, &dy))
    return Result::BadParameter;
  if (dx < 0 || dx >= GetWidth() || dy < 0 || dy >= GetHeight()) return Result::BadParameter;
  *x = static_cast<int32_t>(dx);
  *y = static_cast<int32_t>(dy);
  return Result::Ok;
}

Result ImageDocument::GetImageScrollRange(int32_t* horizontalMin, int32_t* horizontalMax,
                                          int32_t* verticalMin, int32_t* verticalMax) const {
  if (!horizontalMin || !horizontalMax || !verticalMin || !verticalMax) return Result::BadParameter;
  const bool image = dib_ != nullptr;
  *horizontalMin = *verticalMin = 0;
  *horizontalMax = image ? horizontalMax_ : 0;
  *verticalMax = image ? verticalMax_ : 0;
  return image ? Result::Ok : Result::NoImage;
}

void ImageDocument::Scroll(ScrollBar bar, int32_t request, int32_t thumbPosition) {
  const bool horizontal = bar == ScrollBar::Horizontal;
  int32_t& position = horizontal ? horizontalPos_ : verticalPos_;
  const int32_t maximum = horizontal ? horizontalMax_ : verticalMax_;
  int32_t p = position;
  display_->ScrollPosition(bar, &p);
  int64_t next = p;
  switch (request) {
    case kLineBack: next -= 1; break;
    case kLineForward: next += 1; break;
    case kPageBack: next -= 10; break;
    case kPageForward: next += 10; break;
    case kThumbPosition:
    case kThumbTrack: next = thumbPosition; break;
    case kToStart: next = 0; break;
    case kToEnd: next = maximum; break;
    default: break;
  }
  position = static_cast<int32_t>(std::clamp<int64_t>(next, 0, maximum));
  display_->ScrollTo(bar, position);
}

ImageInfo ImageDocument::CurrentImageInfo() const {
  return {GetWidth(), GetHeight(), GetBitmapBits(), GetPaletteSize()};
}

void ImageDocument::ShowImageInfo() {
  display_->RefreshImageInfo(CurrentImageInfo());
  display_->ShowImageInfo();
}

DisplayView ImageDocument::View() const {
  return {scaleX_, scaleY_, horizontalPos_, verticalPos_, backgroundColor_, &overlay_};
}

}  // namespace pv
