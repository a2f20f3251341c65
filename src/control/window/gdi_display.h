// The display in the control's window: scroll bars, the display bitmap (a DIB section, the one
// GetBITMAP hands out), painting with GDI, the image-information and graph windows and the
// window services that properties reach. Before the window exists it has no size and paints
// nothing.
#pragma once

#include <vector>

#include "control/com/com.h"
#include "control/window/graph_windows.h"
#include "control/window/image_info_window.h"
#include "document/display_port.h"

namespace pv::control {

struct Control;

class GdiDisplay : public DisplayPort {
 public:
  explicit GdiDisplay(Control* owner);
  ~GdiDisplay() override;
  GdiDisplay(const GdiDisplay&) = delete;
  GdiDisplay& operator=(const GdiDisplay&) = delete;

  // Window creation and destruction.
  void Attach(HWND window);
  void Detach();
  HWND window() const { return window_; }

  bool OuterSize(int32_t* width, int32_t* height) override;
  int32_t ScrollBarThickness() override { return thickness_; }
  void SetScrollInfo(ScrollBar bar, int32_t minimum, int32_t maximum, int32_t position,
                     bool redraw) override;
  void ShowScrollBar(ScrollBar bar, bool show) override;
  bool ScrollPosition(ScrollBar bar, int32_t* position) override;
  void ScrollTo(ScrollBar bar, int32_t position) override;
  Result BuildDisplayBitmap(mem::Handle dib) override;
  void DeleteDisplayBitmap() override;
  void RetireDisplayBitmap() override;
  bool HasDisplayBitmap() const override { return shown_.bitmap != nullptr; }
  void* DisplayBitmap() const override { return shown_.bitmap; }
  void Paint(const DisplayView& view) override;
  void RefreshImageInfo(const ImageInfo& info) override { imageInfo_.Refresh(info); }
  void ShowImageInfo() override { imageInfo_.Show(); }
  void ShowHistogram(const std::vector<HistogramCounts>& channels) override {
    histogram_.Show(channels);
  }
  void ShowProfile(const Profile& profile) override { profile_.Show(profile); }
  bool LogWindowVisible() override;
  void ShowLogWindow(bool show) override;
  void AcceptDroppedFiles(bool accept) override;
  bool Extent(int32_t* width, int32_t* height) override;
  void ResizeWindow(int32_t width, int32_t height) override;
  bool RequestPropertyEdit(int32_t dispid) override;
  void PropertyChanged(int32_t dispid) override;
  bool CanDraw() const override { return true; }
  void DrawOverlayItems(int32_t selector, const DisplayView& view) override;
  Result CommitOverlay(mem::Handle dib, const OverlayList& items, mem::Handle* committed) override;
  bool ShowSystemCursor(uint16_t id) override;
  intptr_t ClientDC() override;
  int32_t ReleaseClientDC(intptr_t dc) override;

  // The cursor shown over the whole window, scroll bars included.
  HCURSOR cursor() const { return cursor_; }

  // Draws the view into `dc` over `rect`: the visible part of the display bitmap stretched
  // with halftone, the background in the strips the image leaves, the overlay over them.
  void PaintInto(HDC dc, const RECT& rect, const DisplayView& view) const;

 private:
  Control* owner_;
  HWND window_ = nullptr;
  int32_t thickness_ = 0;
  // A DIB section and the SectionInfo it was made from.
  struct Section {
    HBITMAP bitmap = nullptr;
    void* bits = nullptr;
    std::vector<uint8_t> info;
  };
  static void Delete(Section* section);
  Section shown_;  // the display bitmap
  Section spare_;  // the one a layout retired, for its build to refill
  ImageInfoWindow imageInfo_;
  HistogramWindow histogram_;
  ProfileWindow profile_;
  HPEN framePen_ = nullptr;  // for the corner between two scroll bars
  HBRUSH frameBrush_ = nullptr;
  HCURSOR cursor_;  // a shared system cursor: never destroyed
};

}  // namespace pv::control
