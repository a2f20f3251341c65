// Layout of the DIB in the window: effective scale, scroll ranges and bars, display bitmap.
#include <algorithm>
#include <cmath>

#include "document/image_document.h"

namespace pv {

void ImageDocument::ComputeDisplayScale(double* x, double* y) {
  int32_t w = 0, h = 0;
  display_->OuterSize(&w, &h);
  const double width = GetWidth(), height = GetHeight();
  const int32_t thickness = display_->ScrollBarThickness();
  double sx = w / width, sy = h / height;
  switch (sizeMode_) {
    case 1: break;
    case 2:
      if (TruncToDisplay(height * sx) > h && autoScroll_) sx = (w - thickness) / width;
      sy = sx;
      break;
    case 3:
      if (TruncToDisplay(width * sy) > w && autoScroll_) sy = (h - thickness) / height;
      sx = sy;
      break;
    case 4: sx = sy = std::min(sx, sy); break;
    default:
      sx = requestedScaleX_;
      sy = requestedScaleY_;
      break;
  }
  *x = sx;
  *y = sy;
}

Result ImageDocument::Relayout(bool keepScrollPosition) {
  if (layoutBusy_) return Result::Ok;
  layoutBusy_ = true;
  display_->RetireDisplayBitmap();
  const int32_t oldHorizontalMax = horizontalMax_, oldVerticalMax = verticalMax_;
  const int32_t oldHorizontalPos = horizontalPos_, oldVerticalPos = verticalPos_;
  horizontalMax_ = verticalMax_ = 0;
  if (!keepScrollPosition) horizontalPos_ = verticalPos_ = 0;
  if (!dib_) {
    display_->DeleteDisplayBitmap();
    display_->ShowScrollBar(ScrollBar::Both, false);
    layoutBusy_ = false;
    if (autoRepaint_) Repaint();
    return Result::Ok;
  }

  ComputeDisplayScale(&scaleX_, &scaleY_);
  int32_t w = 0, h = 0;
  display_->OuterSize(&w, &h);
  const int32_t thickness = display_->ScrollBarThickness();
  const int32_t dw = TruncToDisplay(GetWidth() * scaleX_),
                dh = TruncToDisplay(GetHeight() * scaleY_);
  bool horizontal = false, vertical = false;
  if (w < dw) {
    horizontalMax_ = dw - w;
    if (autoScroll_) h -= thickness;
    horizontal = true;
  }
  if (h < dh) {
    verticalMax_ = dh - h;
    if (autoScroll_) w -= thickness;
    if (w < dw) {
      horizontalMax_ = dw - w;
      horizontal = true;
    }
    vertical = true;
  }
  horizontalPos_ = std::clamp(horizontalPos_, 0, horizontalMax_);
  verticalPos_ = std::clamp(verticalPos_, 0, verticalMax_);

  // A bar whose range stayed but whose position was reset or clamped is told too, or the
  // next repaint would read the old position back from it.
  const bool redraw = autoScroll_ != 0;
  if (horizontalMax_ != oldHorizontalMax || horizontalPos_ != oldHorizontalPos)
    display_->SetScrollInfo(ScrollBar::Horizontal, 0, horizontalMax_, horizontalPos_, redraw);
  if (verticalMax_ != oldVerticalMax || verticalPos_ != oldVerticalPos)
    display_->SetScrollInfo(ScrollBar::Vertical, 0, verticalMax_, verticalPos_, redraw);
  if (autoScroll_ && (horizontal || vertical)) {
    const bool hadHorizontal = oldHorizontalMax > 0, hadVertical = oldVerticalMax > 0;
    if (hadHorizontal != horizontal || hadVertical != vertical) {
      display_->ShowScrollBar(ScrollBar::Both, false);
      display_->ShowScrollBar(horizontal && vertical ? ScrollBar::Both
                              : horizontal           ? ScrollBar::Horizontal
                                                     : ScrollBar::Vertical,
                              true);
    }
  } else if (oldHorizontalMax != 0 || oldVerticalMax != 0) {
    display_->ShowScrollBar(ScrollBar::Both, false);
  }

  if (!autoRepaint_ && !keepScrollPosition) {
    display_->DeleteDisplayBitmap();
    layoutBusy_ = false;
    return Result::Ok;
  }
  display_->RefreshImageInfo(CurrentImageInfo());
  const Result built = display_->BuildDisplayBitmap(dib_);
  layoutBusy_ = false;
  if (built != Result::Ok) return built;
  if (autoRepaint_) Repaint();
  return Result::Ok;
}

Result ImageDocument::Repaint() {
  int32_t w, h;
  if (layoutBusy_ || !display_->OuterSize(&w, &h)) return Result::Ok;
  // The user may have moved a thumb since the last layout.
  display_->ScrollPosition(ScrollBar::Horizontal, &horizontalPos_);
  display_->ScrollPosition(ScrollBar::Vertical, &verticalPos_);
  if (!display_->HasDisplayBitmap() && !autoRepaint_) Relayout(true);
  display_->Paint(View());
  return Result::Ok;
}

}  // namespace pv
