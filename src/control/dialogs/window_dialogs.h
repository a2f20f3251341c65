// The control's dialogs, each opened over its window.
#pragma once

#include "automation/dialog_port.h"

namespace pv::control {

struct Control;

class WindowDialogs : public DialogPort {
 public:
  explicit WindowDialogs(Control* owner) : owner_(owner) {}

  bool Mosaic(int32_t* size) override;
  bool Rotation(float* angle) override;
  bool Gamma(float* gamma) override;
  bool RGBGamma(float* red, float* green, float* blue) override;
  bool Contrast(int32_t* low, int32_t* high) override;
  int32_t Threshold(int32_t initial, const HistogramCounts& counts) override;
  bool Palette() override;
  bool CustomGrayscale(GrayRatios* ratios) override;
  bool Trim(TrimChoice* choice) override;
  bool CanvasSize(CanvasChoice* choice) override;
  bool Resize(ScaleChoice* choice) override;
  bool ChooseImageToLoad(std::string* path) override;
  bool ChooseImageToSave(SaveChoice* choice) override;
  bool ChooseLogFile(bool forSaving, std::string* path) override;
  bool ChooseLogTextFile(std::string* path) override;

 private:
  Control* owner_;
};

}  // namespace pv::control
