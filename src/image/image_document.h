// The Image document: owns the current DIB; every operation on the image runs through one of
// its entry points, which check the arguments, run the operation and lay the display out again.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "image/dib.h"
#include "image/display_port.h"
#include "image/result.h"

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
  Result Monochrome(int32_t threshold);
  Result GetPalette(int32_t index, int32_t* color) const;
  Result SetPalette(int32_t index, int32_t color);

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

  mem::Handle dib() const { return dib_; }

  // Copies of the control's display properties.
  void set_auto_repaint(int32_t v) { autoRepaint_ = v; }
  int32_t auto_repaint() const { return autoRepaint_; }
  void set_auto_scroll(int32_t v) { autoScroll_ = v; }
  void set_size_mode(int32_t v) { sizeMode_ = v; }
  void set_requested_scale(double x, double y) {
    requestedScaleX_ = x;
    requestedScaleY_ = y;
  }
  double scale_x() const { return scaleX_; }
  double scale_y() const { return scaleY_; }
  int32_t horizontal_maximum() const { return horizontalMax_; }
  int32_t vertical_maximum() const { return verticalMax_; }

 private:
  // Frees the DIB and the display bitmap: the document is empty.
  void Clear();
  // Installs a new DIB in place of the old one and lays out.
  Result Replace(mem::Handle dib);
  Result ExpandRunLengths();
  void ComputeDisplayScale(double* x, double* y);

  std::unique_ptr<DisplayPort> ownDisplay_;
  DisplayPort* display_;
  mem::Handle dib_ = nullptr;

  int32_t sizeMode_ = 0;
  int32_t autoScroll_ = 1;
  int32_t autoRepaint_ = 1;
  double scaleX_ = 1.0, scaleY_ = 1.0;
  double requestedScaleX_ = 1.0, requestedScaleY_ = 1.0;
  int32_t horizontalMax_ = 0, horizontalPos_ = 0;
  int32_t verticalMax_ = 0, verticalPos_ = 0;
  bool layoutBusy_ = false;
};

}  // namespace pv
