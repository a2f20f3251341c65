// The control's window, seen from the Image document: where the display lays out and paints,
// and the few window services that properties and display queries reach. The control
// implements it with a real window; headless hosts use HeadlessDisplay.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "dib/dib.h"
#include "document/overlay.h"

namespace pv {

// Truncation toward zero, saturated to the 32-bit range: display sizes and positions come from
// scales that may be anything (NaN gives 0).
inline int32_t TruncToDisplay(double v) {
  if (std::isnan(v)) return 0;
  return static_cast<int32_t>(std::clamp(v, -2147483648.0, 2147483647.0));
}

enum class ScrollBar { Horizontal, Vertical, Both };

// What a paint needs from the document's layout.
struct DisplayView {
  double scaleX = 1.0, scaleY = 1.0;           // display pixels per DIB pixel
  int32_t horizontalPos = 0, verticalPos = 0;  // display pixels scrolled left and up
  uint32_t background = 0;                     // COLORREF
  const OverlayList* overlay = nullptr;        // drawn over the image
};

// The four values the image-information window shows; -1 each without a DIB.
struct ImageInfo {
  int32_t width, height, bitCount, paletteSize;
};

// A 256-bin histogram of one channel.
using HistogramCounts = std::array<int32_t, 256>;
constexpr int32_t kHistogramGraphHeight = 100;
// The y of each bin in the histogram window's graph (0 at the top, an empty bin on the lower
// edge at 100): the largest count reaches about nine tenths of the height.
std::array<int32_t, 256> HistogramCurve(const HistogramCounts& counts);
// The counts of a histogram block as GetHistogram hands it out, which is then freed; bins the
// block is too short for are 0.
HistogramCounts TakeHistogramCounts(mem::Handle block);

// The line a profile was taken along, and its samples: three bytes each (the DIB's channel
// order) above 8 bits per pixel, one byte each at 8 and below.
struct Profile {
  int32_t startX, startY, endX, endY;
  const uint8_t* samples;
  int32_t count;
  int32_t bitCount;
};

class DisplayPort {
 public:
  virtual ~DisplayPort() = default;
  // Outer size of the window, scroll bars and border included; false when there is no window.
  virtual bool OuterSize(int32_t* width, int32_t* height) = 0;
  virtual int32_t ScrollBarThickness() = 0;
  virtual void SetScrollInfo(ScrollBar bar, int32_t minimum, int32_t maximum, int32_t position,
                             bool redraw) = 0;
  virtual void ShowScrollBar(ScrollBar bar, bool show) = 0;
  // The position the window's scroll bar holds (the user may have moved it); false without a
  // window.
  virtual bool ScrollPosition(ScrollBar bar, int32_t* position) = 0;
  // Moves the bar's thumb and asks for the client area to be painted again.
  virtual void ScrollTo(ScrollBar bar, int32_t position) = 0;
  // Builds the display bitmap from a DIB; the Result code of the conversion.
  virtual Result BuildDisplayBitmap(mem::Handle dib) = 0;
  virtual void DeleteDisplayBitmap() = 0;
  // The display bitmap is out of date: none is shown until the next build, which may reuse its
  // memory. A layout that retires it ends in that build or in DeleteDisplayBitmap.
  virtual void RetireDisplayBitmap() { DeleteDisplayBitmap(); }
  virtual bool HasDisplayBitmap() const = 0;
  // The display bitmap as a device bitmap (an HBITMAP) for hosts that draw it; null without one.
  virtual void* DisplayBitmap() const { return nullptr; }
  // Paints the client area now (only called when there is a window).
  virtual void Paint(const DisplayView& view) = 0;

  // The image-information window: new values (shown only when it is open), and showing it.
  virtual void RefreshImageInfo(const ImageInfo&) {}
  virtual void ShowImageInfo() {}
  // The graph windows: a histogram of one channel (black) or three (red, green, blue), and a
  // profile, each drawn and shown.
  virtual void ShowHistogram(const std::vector<HistogramCounts>&) {}
  virtual void ShowProfile(const Profile&) {}
  // The log window: whether it shows, and showing or hiding it.
  virtual bool LogWindowVisible() { return false; }
  virtual void ShowLogWindow(bool) {}
  // Files dropped on the window become events, or not.
  virtual void AcceptDroppedFiles(bool) {}
  // The size the container gave the control, in pixels; false when it gave none.
  virtual bool Extent(int32_t* width, int32_t* height) {
    *width = *height = 0;
    return false;
  }
  // Resizes the window without moving it.
  virtual void ResizeWindow(int32_t, int32_t) {}
  // A stock property's change: the container's sinks may refuse it, hear of it, and the view is
  // drawn again.
  virtual bool RequestPropertyEdit(int32_t) { return true; }
  virtual void PropertyChanged(int32_t) {}
  // Loads the system cursor `id` (an IDC_ value) and shows it over the window from now on;
  // false, changing nothing, when the system has no such cursor.
  virtual bool ShowSystemCursor(uint16_t id) { return IsStandardCursor(id); }
  // A device context of the client area, and handing it back (the release's result).
  virtual intptr_t ClientDC() { return 0; }
  virtual int32_t ReleaseClientDC(intptr_t) { return 0; }

  // Whether the port can draw overlay items (with GDI); without it nothing can be committed.
  virtual bool CanDraw() const { return false; }
  // Draws the items of the view's overlay that `selector` names (-1 all, -2 the last, or one
  // by index) over the window's client area at once, at the view's scale and scroll position.
  virtual void DrawOverlayItems(int32_t /*selector*/, const DisplayView&) {}
  // A copy of `dib` with every item of `items` drawn into it at scale 1, as GDI reads it back
  // from a DIB section; only called when CanDraw.
  virtual Result CommitOverlay(mem::Handle /*dib*/, const OverlayList& /*items*/,
                               mem::Handle* /*committed*/) {
    return Result::BitmapConversionFailed;
  }

  // Whether `id` is one of the cursors every system has.
  static bool IsStandardCursor(uint16_t id);
};

// No window: the layout still runs, and the display bitmap is "built" by the same checks that
// the conversion to a device bitmap makes, so entry points report what they would in a window.
class HeadlessDisplay : public DisplayPort {
 public:
  bool OuterSize(int32_t* width, int32_t* height) override;
  int32_t ScrollBarThickness() override { return 0; }
  void SetScrollInfo(ScrollBar, int32_t, int32_t, int32_t, bool) override {}
  void ShowScrollBar(ScrollBar, bool) override {}
  bool ScrollPosition(ScrollBar, int32_t*) override { return false; }
  void ScrollTo(ScrollBar, int32_t) override {}
  Result BuildDisplayBitmap(mem::Handle dib) override;
  void DeleteDisplayBitmap() override { hasBitmap_ = false; }
  bool HasDisplayBitmap() const override { return hasBitmap_; }
  void Paint(const DisplayView&) override {}

 private:
  bool hasBitmap_ = false;
};

}  // namespace pv
