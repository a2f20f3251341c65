// The image-information window (dialog 144, "画像情報"): the DIB's width, height, bit count and
// colour-table size. Hidden until DispImageInfo shows it; closing hides it again.
#pragma once

#include "control/com/com.h"
#include "document/display_port.h"

namespace pv::control {

class ImageInfoWindow {
 public:
  ImageInfoWindow() = default;
  ~ImageInfoWindow() { Destroy(); }
  ImageInfoWindow(const ImageInfoWindow&) = delete;
  ImageInfoWindow& operator=(const ImageInfoWindow&) = delete;

  void Create(HWND owner);
  void Destroy();
  // New values for the fields; a DIB-less document (any value -1) empties all four.
  void Refresh(const ImageInfo& info);
  void Show();
  HWND window() const { return window_; }

 private:
  HWND window_ = nullptr;
};

// The dialog's value fields, in the order of ImageInfo.
constexpr int kImageInfoDialog = 144;
constexpr int kImageInfoFields[] = {1441, 1442, 1443, 1444};

}  // namespace pv::control
