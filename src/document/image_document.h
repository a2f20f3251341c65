// The Image document: owns the current DIB; every operation on the image runs through one of
// its entry points, which check the arguments, run the operation and lay the display out again.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "base/result.h"
#include "dib/dib.h"
#include "document/display_port.h"

namespace pv {

// Save format codes.
enum SaveFormat : int16_t {
  kFormatJpegBaseline = 1,
  kFormatJpegProgressive = 2,
  kFormatTiff = 3,
  kFormatBmp = 4,
  kFormatNone = 5,
  kFormatPng = 6,
};

class ImageDocument {
 public:
  // Lays out in `display`, which must outlive the document; null for no window.
  explicit ImageDocument(DisplayPort* display = nullptr);
  ~ImageDocument();
  ImageDocument(const ImageDocument&) = delete;
  ImageDocument& operator=(const ImageDocument&) = delete;

  // Files and file images in memory blocks. A load empties the document first.
  Result Load(const std::string& path, int16_t bitsPerPixel, int16_t page);
  Result LoadMemory(mem::Handle block, int16_t bitsPerPixel, int16_t page);
  Result Save(const std::string& path, int16_t format, int16_t bitsPerPixel, int16_t quality);
  Result SaveMemory(mem::Handle* block, int16_t format, int16_t bitsPerPixel, int16_t quality,
                    int32_t* size);

  // The DIB handed over whole; the caller keeps its block, and owns the copy handed out.
  Result SetDIB(mem::Handle dib);
  mem::Handle GetDIB() const;

  // Clipboard (CF_DIB) and device bitmaps (HBITMAP, passed as an opaque pointer).
  Result Copy() const;
  Result Paste();
  Result SetBITMAP(void* bitmap);
  // The display bitmap, owned by the display; null before a layout has built one.
  void* GetBITMAP() const { return display_->DisplayBitmap(); }

  // Raw pixel rows: the DIB's own rows, or top-down buffers described by a kind code.
  Result GetImageData(mem::Handle* rows, int32_t* size) const;
  Result LoadRawData(mem::Handle raw, int32_t kind, int32_t width, int32_t height, int32_t size);
  Result SaveRawData(mem::Handle* raw, int32_t* kind, int32_t* width, int32_t* height,
                     int32_t* size) const;

  Result ColorRes(int16_t bitsPerPixel, int32_t palette, int32_t dither, int32_t colors);
  Result Monochrome(int16_t threshold);  // 16 bits at the interface and in replay
  Result GetPalette(int32_t index, int32_t* color) const;
  Result SetPalette(int32_t index, int32_t color);

  // Neighbourhood filters, morphology and labeling: in place on the DIB. No DIB: 1 (Labeling 9).
  Result SobelFilter();
  Result RobinsonFilter();
  Result Smooth();
  Result LaplacianFilter();
  Result SmoothAsMaxDensity();
  Result SmoothAsMinDensity();
  Result RemoveAlonePoint(int32_t back);
  Result SamplingOutline(int32_t back);
  Result Expansion(int32_t back);
  Result Contraction(int32_t back);
  Result Labeling(int32_t min, int32_t max, int32_t back);

  // Grayscale, binarisation threshold, tone curves, histograms. The threshold's rectangle is in
  // memory rows (0 at the bottom), the histograms' in picture rows (0 at the top).
  Result Grayscale(int16_t method, double red, double green, double blue);
  Result GetMonochromeThresh(int32_t startX, int32_t startY, int32_t width, int32_t height,
                             int32_t* threshold);
  Result AccentForHistogram(int32_t range, int32_t threshold);
  Result Contrast(int32_t low, int32_t high, int32_t outLow, int32_t outHigh);
  Result Gamma(float gamma);
  Result RGBGamma(float red, float green, float blue);
  Result GetHistogram(int32_t startX, int32_t startY, int32_t width, int32_t height,
                      mem::Handle* block) const;
  Result GetRGBHistogram(int32_t startX, int32_t startY, int32_t width, int32_t height,
                         mem::Handle* red, mem::Handle* green, mem::Handle* blue) const;

  // Geometry, resampling and rotation (document_geometry.cpp).
  Result TurnOver(int32_t direction);
  Result Trim(float left, float top, float width, float height);
  Result SetSize(int32_t width, int32_t height, int32_t placement, int32_t fill);
  Result Mosaic(int16_t blockSize);
  Result GetProfile(int32_t startX, int32_t startY, int32_t endX, int32_t endY, mem::Handle* block,
                    int32_t* size) const;
  Result SetImageScale(double horizontal, double vertical, int32_t type);
  Result Rotate(float angle, int32_t resize, int32_t background);
  // COLORREF that Trim writes into the new area; the control refreshes it from BackColor.
  void set_background_color(uint32_t colorref) { backgroundColor_ = colorref; }
  uint32_t background_color() const { return backgroundColor_; }

  // -1 when there is no DIB.
  int32_t GetWidth() const { return DibGetWidth(dib_); }
  int32_t GetHeight() const { return DibGetHeight(dib_); }
  int32_t GetSize() const { return DibGetImageSize(dib_); }
  int32_t GetBitmapBits() const { return DibGetBitCount(dib_); }
  int32_t GetPaletteSize() const { return DibGetPaletteSize(dib_); }
  mem::Handle GetBitmapInfo() const { return DibCopyHeader(dib_); }

  // Display: recompute scale and scroll ranges, rebuild the display bitmap, repaint.
  Result Relayout(bool keepScrollPosition);
  Result Repaint();

  // Display queries and scrolling (document_display.cpp). Scales are display pixels per DIB
  // pixel; client points and scroll positions are display pixels.
  Result SetDispScale(double x, double y);
  Result GetDispScale(double* x, double* y) const;
  Result ClientToDIBPosition(int32_t* x, int32_t* y) const;
  Result GetImageScrollRange(int32_t* horizontalMin, int32_t* horizontalMax, int32_t* verticalMin,
                             int32_t* verticalMax) const;
  // A scroll-bar request (the window's scroll message code) on one bar.
  void Scroll(ScrollBar bar, int32_t request, int32_t thumbPosition);
  // Refreshes the image-information window and shows it.
  void ShowImageInfo();
  DisplayView View() const;

  mem::Handle dib() const { return dib_; }

  // The Draw overlay (document_overlay.cpp): items given in client coordinates, kept in DIB
  // coordinates and drawn over the image, or burnt into it at once in the direct mode.
  Result DrawLine(float startX, float startY, float endX, float endY);
  Result DrawRectangle(float left, float top, float width, float height, int32_t fill);
  Result DrawEllipse(float left, float top, float width, float height, int32_t fill);
  Result DrawText(float left, float top, float width, float height, const std::string& text);
  Result SetFontName(const std::string& name);
  Result SetFontInfo(int32_t size, int32_t weight, int32_t italic, int32_t underline,
                     int32_t strikeOut);
  Result ClearDrawData();
  Result UndoDrawData();
  Result CommitDrawData();
  const OverlayList& overlay() const { return overlay_; }
  // Copies of the control's drawing properties, taken by each new item.
  struct DrawAttributes {
    int32_t penColor = 0, penStyle = 0, penWidth = 1;
    int32_t fillColor = 0, fillStyle = 0;
    int32_t fontColor = 0;
    int32_t drawType = 0;  // 1: items go into the DIB at once
  };
  void set_draw_attributes(const DrawAttributes& attributes) { draw_ = attributes; }

  // Copies of the control's display properties.
  void set_auto_repaint(int32_t v) { autoRepaint_ = v; }
  int32_t auto_repaint() const { return autoRepaint_; }
  void set_auto_scroll(int32_t v) { autoScroll_ = v; }
  void set_size_mode(int32_t v) { sizeMode_ = v; }
  void set_requested_scale(double x, double y) {
    requestedScaleX_ = x;
    requestedScaleY_ = y;
  }
  double requested_scale_x() const { return requestedScaleX_; }
  double scale_x() const { return scaleX_; }
  double scale_y() const { return scaleY_; }
  int32_t horizontal_maximum() const { return horizontalMax_; }
  int32_t vertical_maximum() const { return verticalMax_; }
  int32_t horizontal_position() const { return horizontalPos_; }
  int32_t vertical_position() const { return verticalPos_; }

 private:
  // Frees the DIB and the display bitmap: the document is empty.
  void Clear();
  // Installs a new DIB in place of the old one and lays out.
  Result Replace(mem::Handle dib);
  // Runs a kernel that builds a new DIB from the current one and installs the result.
  template <typename Kernel>
  Result ReplaceBy(Kernel kernel);
  Result ExpandRunLengths();
  // Runs `body` on the validated DIB and lays out after a success; `noImage` without a DIB.
  Result ChangeInPlace(Result noImage, const std::function<Result(const DibView&)>& body);
  void ComputeDisplayScale(double* x, double* y);
  // A client point in DIB coordinates, at the current scroll position and scale.
  double DibX(double clientX) const;
  double DibY(double clientY) const;
  Result AddOverlayItem(const OverlayItem& item, const std::string* text = nullptr);
  Result CommitOverlay(const OverlayList& items);
  OverlayItem BoxItem(OverlayKind kind, float left, float top, float width, float height,
                      int32_t fill) const;
  ImageInfo CurrentImageInfo() const;

  std::unique_ptr<DisplayPort> ownDisplay_;
  DisplayPort* display_;
  mem::Handle dib_ = nullptr;
  uint32_t backgroundColor_ = 0;

  int32_t sizeMode_ = 0;
  int32_t autoScroll_ = 1;
  int32_t autoRepaint_ = 1;
  double scaleX_ = 1.0, scaleY_ = 1.0;
  double requestedScaleX_ = 1.0, requestedScaleY_ = 1.0;
  int32_t horizontalMax_ = 0, horizontalPos_ = 0;
  int32_t verticalMax_ = 0, verticalPos_ = 0;
  bool layoutBusy_ = false;

  OverlayList overlay_;
  DrawAttributes draw_;
  // The overlay font.
  int32_t fontHeight_ = 50, fontWeight_ = 400;
  int32_t fontItalic_ = 0, fontUnderline_ = 0, fontStrikeOut_ = 0;
  std::string fontName_;
};

}  // namespace pv
