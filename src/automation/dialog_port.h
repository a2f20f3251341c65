// The modal dialogs of the control's window, as the members that open them see them. Each runs
// on the control's thread with the window disabled and answers whether the user ended it with
// "決定", handing back the values chosen. The slider dialogs and the palette dialog change the
// control's image while they run (the preview, the applied entries) and put it back on
// "ｷｬﾝｾﾙ"; the others only choose, and their member performs the operation. The control opens
// them over the active window, with or without a window of its own; a portable control that no
// window layer serves (the command-line host's) has none, and every one answers as cancelled.
#pragma once

#include <cstdint>
#include <string>

#include "document/display_port.h"

namespace pv {

struct TrimChoice {
  float left = 0, top = 0, width = 0, height = 0;
};

struct CanvasChoice {
  int32_t width = 0, height = 0;
  int32_t position = 0;  // vertical flag in bits 0..2, horizontal flag in bits 8..10
};

struct ScaleChoice {
  double horizontal = 0, vertical = 0;
  int32_t method = 0;  // with bit 16 set: the values are a size in pixels
};

struct GrayRatios {
  double red = 0, green = 0, blue = 0;
};

// The file the save dialog chose and the format its type selects (a format code of Save).
struct SaveChoice {
  std::string path;  // UTF-8
  int16_t format = 0, quality = 0;
};

class DialogPort {
 public:
  virtual ~DialogPort() = default;

  // Slider dialogs: the image shows the last preview on "決定", the snapshot on "ｷｬﾝｾﾙ".
  virtual bool Mosaic(int32_t*) { return false; }
  virtual bool Rotation(float*) { return false; }
  virtual bool Gamma(float*) { return false; }                     // 8-bit images
  virtual bool RGBGamma(float*, float*, float*) { return false; }  // the others
  virtual bool Contrast(int32_t*, int32_t*) { return false; }
  // The threshold chosen, -1 when cancelled; `counts` is the gray histogram of the whole image.
  virtual int32_t Threshold(int32_t /*initial*/, const HistogramCounts&) { return -1; }

  // The palette dialog applies each change at once; "ｷｬﾝｾﾙ" puts the snapshot back.
  virtual bool Palette() { return false; }

  // Dialogs that only choose.
  virtual bool CustomGrayscale(GrayRatios*) { return false; }
  virtual bool Trim(TrimChoice*) { return false; }
  virtual bool CanvasSize(CanvasChoice*) { return false; }
  virtual bool Resize(ScaleChoice*) { return false; }

  // File dialogs; paths in UTF-8.
  virtual bool ChooseImageToLoad(std::string*) { return false; }
  virtual bool ChooseImageToSave(SaveChoice*) { return false; }
  virtual bool ChooseLogFile(bool /*forSaving*/, std::string*) { return false; }
  virtual bool ChooseLogTextFile(std::string*) { return false; }
};

}  // namespace pv
