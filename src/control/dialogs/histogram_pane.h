// The histogram pane of the tone dialogs: a white 256 x 100 bitmap with one curve per channel,
// copied unscaled into the dialog's frame control.
#pragma once

#include <vector>

#include "control/com/com.h"
#include "document/image_document.h"

namespace pv::control {

// One channel's counts and the colour (a COLORREF) of its curve.
struct HistogramTrace {
  HistogramCounts counts;
  COLORREF colour;
};

// The gray histogram of the image, one pixel short of each edge as the tone dialogs count it;
// none when the document has no image or no gray histogram.
std::vector<HistogramTrace> GrayTraces(const ImageDocument& document);
// Red, green and blue over the whole image; none when there is no such histogram.
std::vector<HistogramTrace> ColourTraces(const ImageDocument& document);

class HistogramPane {
 public:
  static constexpr int kWidth = 256, kHeight = kHistogramGraphHeight;

  HistogramPane();
  ~HistogramPane();
  HistogramPane(const HistogramPane&) = delete;
  HistogramPane& operator=(const HistogramPane&) = delete;

  // White again, then each trace in order, each scaled by its own largest count.
  void Draw(const std::vector<HistogramTrace>& traces);
  // Into the top-left corner of `dc`.
  void CopyTo(HDC dc) const;

 private:
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  uint8_t* bits_ = nullptr;
};

}  // namespace pv::control
