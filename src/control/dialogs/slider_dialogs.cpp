#include "control/dialogs/slider_dialogs.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "control/dialogs/histogram_pane.h"
#include "control/dialogs/slider_frame.h"

namespace pv::control {
namespace {

constexpr int kMosaicDialog = 114, kRotationDialog = 204, kGammaDialog = 115;
constexpr int kRGBGammaDialog = 116, kContrastDialog = 118;
constexpr int kLinkBox = 4201;

constexpr SliderRange kMosaicRange{0, 32, 4, 2};
constexpr SliderRange kRotationRange{-180, 180, 90, 4};
constexpr SliderRange kGammaRange{20, 500, 48, 4};  // hundredths
constexpr SliderRange kContrastRange{0, 255, 16, 3};

float Hundredths(int value) { return static_cast<float>(value * 0.01); }

class MosaicDialog : public SliderDialog {
 public:
  MosaicDialog(PortableControl& c, HWND w) : SliderDialog(c, w, 1, kMosaicRange) {}

 protected:
  int Initial(int) const override { return 0; }
  Result Apply() override { return document().Mosaic(static_cast<int16_t>(Value(0))); }
};

class RotationDialog : public SliderDialog {
 public:
  RotationDialog(PortableControl& c, HWND w) : SliderDialog(c, w, 1, kRotationRange) {}

 protected:
  int Initial(int) const override { return 0; }
  Result Apply() override { return document().Rotate(static_cast<float>(Value(0)), 1, 0); }
};

// Gamma is kept in hundredths by the sliders and written as a decimal in the edit boxes.
class GammaFrame : public SliderDialog {
 public:
  GammaFrame(PortableControl& c, HWND w, int channels)
      : SliderDialog(c, w, channels, kGammaRange) {}

 protected:
  int Initial(int) const override { return 100; }
  std::string Format(int value) const override {
    char text[32];
    std::snprintf(text, sizeof text, "%4.2f", value * 0.01);
    return text;
  }
  // Truncated to hundredths; the nudge keeps "1.15" from reading as 114.999...
  int Parse(const std::string& text) const override {
    return TruncToDisplay(std::atof(text.c_str()) * 100 + 1e-6);
  }
  void PaintPane(HDC dc) override { pane_.CopyTo(dc); }

  HistogramPane pane_;
};

class GammaDialog : public GammaFrame {
 public:
  GammaDialog(PortableControl& c, HWND w) : GammaFrame(c, w, 1) {}

 protected:
  Result Apply() override { return document().Gamma(Hundredths(Value(0))); }
  void UpdatePane() override { pane_.Draw(GrayTraces(document())); }
};

// With "リンク" checked the three channels move together.
class RGBGammaDialog : public GammaFrame {
 public:
  RGBGammaDialog(PortableControl& c, HWND w) : GammaFrame(c, w, 3) {}

 protected:
  Result Apply() override {
    return document().RGBGamma(Hundredths(Value(0)), Hundredths(Value(1)), Hundredths(Value(2)));
  }
  void UpdatePane() override { pane_.Draw(ColourTraces(document())); }
  void Show(int n, int value) override {
    const bool linked = IsDlgButtonChecked(window(), kLinkBox) == BST_CHECKED;
    for (int channel = 0; channel < channels(); ++channel)
      if (linked || channel == n) ShowOne(channel, value);
  }
};

// The preview stretches Low..Hi over the whole range, whatever ContrastLow and ContrastHi say.
class ContrastDialog : public SliderDialog {
 public:
  ContrastDialog(PortableControl& c, HWND w)
      : SliderDialog(c, w, 2, kContrastRange, Stepper::UpDown) {}

 protected:
  int Initial(int n) const override { return n == 0 ? 0 : 255; }
  Result Apply() override { return document().Contrast(Value(0), Value(1), 0, 255); }
  void UpdatePane() override { pane_.Draw(GrayTraces(document())); }
  void PaintPane(HDC dc) override { pane_.CopyTo(dc); }

 private:
  HistogramPane pane_;
};

}  // namespace

bool RunMosaicDialog(PortableControl& control, HWND controlWindow, int32_t* size) {
  MosaicDialog dialog(control, controlWindow);
  if (dialog.Run(kMosaicDialog) != 1) return false;
  *size = dialog.Chosen(0);
  return true;
}

bool RunRotationDialog(PortableControl& control, HWND controlWindow, float* angle) {
  RotationDialog dialog(control, controlWindow);
  if (dialog.Run(kRotationDialog) != 1) return false;
  *angle = static_cast<float>(dialog.Chosen(0));
  return true;
}

bool RunGammaDialog(PortableControl& control, HWND controlWindow, float* gamma) {
  GammaDialog dialog(control, controlWindow);
  if (dialog.Run(kGammaDialog) != 1) return false;
  *gamma = Hundredths(dialog.Chosen(0));
  return true;
}

bool RunRGBGammaDialog(PortableControl& control, HWND controlWindow, float* red, float* green,
                       float* blue) {
  RGBGammaDialog dialog(control, controlWindow);
  if (dialog.Run(kRGBGammaDialog) != 1) return false;
  *red = Hundredths(dialog.Chosen(0));
  *green = Hundredths(dialog.Chosen(1));
  *blue = Hundredths(dialog.Chosen(2));
  return true;
}

bool RunContrastDialog(PortableControl& control, HWND controlWindow, int32_t* low, int32_t* high) {
  ContrastDialog dialog(control, controlWindow);
  if (dialog.Run(kContrastDialog) != 1) return false;
  *low = dialog.Chosen(0);
  *high = dialog.Chosen(1);
  return true;
}

}  // namespace pv::control
