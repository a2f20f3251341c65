#include "control/dialogs/value_dialogs.h"

#include <limits>

#include "control/dialogs/choice_dialog.h"

namespace pv::control {
namespace {

constexpr int kGrayscaleResource = 113, kTrimResource = 135, kCanvasResource = 145;

class GrayscaleDialog : public ChoiceDialog {
 public:
  using ChoiceDialog::ChoiceDialog;
  GrayRatios ratios;

 protected:
  BOOL OnInit() override {
    for (int id = 1101; id <= 1103; ++id) LimitText(id, 6);
    return TRUE;
  }
  INT_PTR OnConfirm() override {
    ratios = {Decimal(1101), Decimal(1102), Decimal(1103)};
    return 1;
  }
};

class TrimDialog : public ChoiceDialog {
 public:
  using ChoiceDialog::ChoiceDialog;
  TrimChoice choice;

 protected:
  BOOL OnInit() override {
    for (int id = 1101; id <= 1104; ++id) LimitText(id, 4);
    ShowCurrentSize();
    return TRUE;
  }
  INT_PTR OnConfirm() override {
    choice = {Single(1101), Single(1102), Single(1103), Single(1104)};
    return 1;
  }

 private:
  // Beyond a float's range the operation receives the largest float, not an infinity.
  float Single(int id) const {
    constexpr double most = std::numeric_limits<float>::max();
    const double value = Decimal(id);
    return static_cast<float>(value < -most ? -most : value > most ? most : value);
  }
};

// The radio buttons of one side, in id order, each a placement flag: 1, 2, 4.
int32_t PlacementFlag(int checkedIndex) { return checkedIndex < 0 ? 0 : 1 << checkedIndex; }

class CanvasSizeDialog : public ChoiceDialog {
 public:
  using ChoiceDialog::ChoiceDialog;
  CanvasChoice choice;

 protected:
  static constexpr int kTop = 1201, kBottom = 1203, kLeft = 1204, kRight = 1206;

  BOOL OnInit() override {
    LimitText(1101, 4);
    LimitText(1102, 4);
    ShowCurrentSize();
    CheckRadioButton(window(), kTop, kBottom, 1202);
    CheckRadioButton(window(), kLeft, kRight, 1205);
    return TRUE;
  }
  INT_PTR OnConfirm() override {
    choice.width = Integer(1101);
    choice.height = Integer(1102);
    choice.position = PlacementFlag(FirstChecked(kTop, kBottom)) |
                      PlacementFlag(FirstChecked(kLeft, kRight)) << 8;
    return 1;
  }
};

}  // namespace

bool RunCustomGrayscaleDialog(PortableControl& control, HWND controlWindow, GrayRatios* ratios) {
  GrayscaleDialog dialog(control, controlWindow);
  if (dialog.Run(kGrayscaleResource) != 1) return false;
  *ratios = dialog.ratios;
  return true;
}

bool RunTrimDialog(PortableControl& control, HWND controlWindow, TrimChoice* choice) {
  TrimDialog dialog(control, controlWindow);
  if (dialog.Run(kTrimResource) != 1) return false;
  *choice = dialog.choice;
  return true;
}

bool RunCanvasSizeDialog(PortableControl& control, HWND controlWindow, CanvasChoice* choice) {
  CanvasSizeDialog dialog(control, controlWindow);
  if (dialog.Run(kCanvasResource) != 1) return false;
  *choice = dialog.choice;
  return true;
}

}  // namespace pv::control
