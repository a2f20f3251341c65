// A window for the document's layout, without a window system: a given outer size, scroll
// bars whose thumbs and visibility are recorded, and counts of paints and of display bitmaps
// built.
#pragma once

#include "document/display_port.h"

namespace pv::test {

// A window of a given outer size whose scroll bars are recorded.
class FakeWindow : public HeadlessDisplay {
 public:
  FakeWindow(int32_t width, int32_t height, int32_t thickness)
      : width_(width), height_(height), thickness_(thickness) {}
  bool OuterSize(int32_t* width, int32_t* height) override {
    *width = width_;
    *height = height_;
    return true;
  }
  int32_t ScrollBarThickness() override { return thickness_; }
  void ShowScrollBar(ScrollBar bar, bool show) override {
    if (bar != ScrollBar::Vertical) horizontalShown = show;
    if (bar != ScrollBar::Horizontal) verticalShown = show;
  }
  void Paint(const DisplayView&) override { ++paints; }
  Result BuildDisplayBitmap(mem::Handle dib) override {
    ++builds;
    return HeadlessDisplay::BuildDisplayBitmap(dib);
  }
  void SetScrollInfo(ScrollBar bar, int32_t, int32_t, int32_t position, bool) override {
    (bar == ScrollBar::Horizontal ? horizontalThumb : verticalThumb) = position;
  }
  bool ScrollPosition(ScrollBar bar, int32_t* position) override {
    *position = bar == ScrollBar::Horizontal ? horizontalThumb : verticalThumb;
    return true;
  }
  void ScrollTo(ScrollBar bar, int32_t position) override {
    (bar == ScrollBar::Horizontal ? horizontalThumb : verticalThumb) = position;
  }
  bool horizontalShown = false, verticalShown = false;
  int32_t horizontalThumb = 0, verticalThumb = 0;
  int paints = 0, builds = 0;

 private:
  int32_t width_, height_, thickness_;
};

}  // namespace pv::test
