#include "control/dialogs/window_dialogs.h"

#include "control/com/control.h"
#include "control/dialogs/file_dialogs.h"
#include "control/dialogs/modal_dialog.h"
#include "control/dialogs/slider_dialogs.h"
#include "control/dialogs/value_dialogs.h"

namespace pv::control {
namespace {

HWND ControlWindow(Control* c) { return c->display.window(); }
// The log's file dialogs belong to the log window while it exists.
HWND LogOwner(Control* c) {
  return c->logWindow.window() ? c->logWindow.window() : ControlWindow(c);
}

}  // namespace

bool WindowDialogs::Mosaic(int32_t* size) {
  return RunMosaicDialog(owner_->portable, ControlWindow(owner_), size);
}
bool WindowDialogs::Rotation(float* angle) {
  return RunRotationDialog(owner_->portable, ControlWindow(owner_), angle);
}
bool WindowDialogs::Gamma(float* gamma) {
  return RunGammaDialog(owner_->portable, ControlWindow(owner_), gamma);
}
bool WindowDialogs::RGBGamma(float* red, float* green, float* blue) {
  return RunRGBGammaDialog(owner_->portable, ControlWindow(owner_), red, green, blue);
}
bool WindowDialogs::Contrast(int32_t* low, int32_t* high) {
  return RunContrastDialog(owner_->portable, ControlWindow(owner_), low, high);
}
int32_t WindowDialogs::Threshold(int32_t initial, const HistogramCounts& counts) {
  return RunThresholdDialog(owner_->portable, ControlWindow(owner_), initial, counts);
}
bool WindowDialogs::Palette() { return RunPaletteDialog(owner_->portable, ControlWindow(owner_)); }
bool WindowDialogs::CustomGrayscale(GrayRatios* ratios) {
  return RunCustomGrayscaleDialog(owner_->portable, ControlWindow(owner_), ratios);
}
bool WindowDialogs::Trim(TrimChoice* choice) {
  return RunTrimDialog(owner_->portable, ControlWindow(owner_), choice);
}
bool WindowDialogs::CanvasSize(CanvasChoice* choice) {
  return RunCanvasSizeDialog(owner_->portable, ControlWindow(owner_), choice);
}
bool WindowDialogs::Resize(ScaleChoice* choice) {
  return RunResizeDialog(owner_->portable, ControlWindow(owner_), choice);
}
bool WindowDialogs::ChooseImageToLoad(std::string* path) {
  const DisabledWindow disabled(ControlWindow(owner_));
  return control::ChooseImageToLoad(DialogOwner(ControlWindow(owner_)), path);
}
bool WindowDialogs::ChooseImageToSave(SaveChoice* choice) {
  const DisabledWindow disabled(ControlWindow(owner_));
  return control::ChooseImageToSave(owner_->portable, DialogOwner(ControlWindow(owner_)), choice);
}
bool WindowDialogs::ChooseLogFile(bool forSaving, std::string* path) {
  const DisabledWindow disabled(ControlWindow(owner_));
  return control::ChooseLogFile(LogOwner(owner_), forSaving, path);
}
bool WindowDialogs::ChooseLogTextFile(std::string* path) {
  const DisabledWindow disabled(ControlWindow(owner_));
  return control::ChooseLogTextFile(LogOwner(owner_), path);
}

}  // namespace pv::control
