// The window the display lays out in, seen from the Image document. The control implements it
// with a real window; headless hosts use HeadlessDisplay.
#pragma once

#include <cstdint>

#include "image/dib.h"

namespace pv {

enum class ScrollBar { Horizontal, Vertical, Both };

class DisplayPort {
 public:
  virtual ~DisplayPort() = default;
  // Outer size of the window, scroll bars and border included; false when there is no window.
  virtual bool OuterSize(int32_t* width, int32_t* height) = 0;
  virtual int32_t ScrollBarThickness() = 0;
  virtual void SetScrollInfo(ScrollBar bar, int32_t minimum, int32_t maximum, int32_t position,
                             bool redraw) = 0;
  virtual void ShowScrollBar(ScrollBar bar, bool show) = 0;
  // Builds the display bitmap from a DIB; the Result code of the conversion.
  virtual Result BuildDisplayBitmap(mem::Handle dib) = 0;
  virtual void DeleteDisplayBitmap() = 0;
  virtual bool HasDisplayBitmap() const = 0;
  // The display bitmap as a device bitmap (an HBITMAP) for hosts that draw it; null without one.
  virtual void* DisplayBitmap() const { return nullptr; }
  // Paints the client area now (only called when there is a window).
  virtual void Paint() = 0;
};

// No window: the layout still runs, and the display bitmap is "built" by the same checks that
// the conversion to a device bitmap makes, so entry points report what they would in a window.
class HeadlessDisplay : public DisplayPort {
 public:
  bool OuterSize(int32_t* width, int32_t* height) override;
  int32_t ScrollBarThickness() override { return 0; }
  void SetScrollInfo(ScrollBar, int32_t, int32_t, int32_t, bool) override {}
  void ShowScrollBar(ScrollBar, bool) override {}
  Result BuildDisplayBitmap(mem::Handle dib) override;
  void DeleteDisplayBitmap() override { hasBitmap_ = false; }
  bool HasDisplayBitmap() const override { return hasBitmap_; }
  void Paint() override {}

 private:
  bool hasBitmap_ = false;
};

}  // namespace pv
