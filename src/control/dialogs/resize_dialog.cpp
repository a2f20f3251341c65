// The resize dialog: the new size in pixels or in percent of the current size, the other unit
// (and with "縦横の比率を保持する" the other side) following every committed edit, and the
// resampling method.
#include <algorithm>

#include "control/dialogs/choice_dialog.h"
#include "control/dialogs/value_dialogs.h"

namespace pv::control {
namespace {

constexpr int kResizeResource = 112;
constexpr int kPixels = 1201, kPercent = 1202, kKeepRatio = 4201;
constexpr int kPixelWidth = 1101, kPixelHeight = 1102, kPercentWidth = 1103, kPercentHeight = 1104;
constexpr int kFirstMethod = 1203, kLastMethod = 1207;
constexpr int kMaximum = 1205, kMinimum = 1206;  // for 8-bit images only
constexpr int32_t kAbsoluteSize = 0x10000;

class ResizeDialog : public ChoiceDialog {
 public:
  using ChoiceDialog::ChoiceDialog;
  ScaleChoice choice;

 protected:
  BOOL OnInit() override;
  INT_PTR OnConfirm() override;
  void OnReturn(int focused) override {
    Follow(focused);
    SelectAllText(focused);
  }
  bool OnCommand(int id, int code) override;

 private:
  void ChooseUnit(int unit);
  void Follow(int edited);
  void FollowPixels(bool width, double pixels, bool linked);
  void FollowPercent(bool width, double percent, bool linked);

  double width_ = 0, height_ = 0;  // the image's
  bool following_ = false;
};

BOOL ResizeDialog::OnInit() {
  width_ = ImageWidth();
  height_ = ImageHeight();
  for (int id = kPixelWidth; id <= kPercentHeight; ++id) LimitText(id, 4);
  ShowCurrentSize();
  SetItemText(kPixelWidth, TruncatedText(width_));
  SetItemText(kPixelHeight, TruncatedText(height_));
  SetItemText(kPercentWidth, "100");
  SetItemText(kPercentHeight, "100");
  CheckRadioButton(window(), kFirstMethod, kLastMethod, kFirstMethod);
  const bool eightBits = document().GetBitmapBits() == 8;
  EnableWindow(Item(kMaximum), eightBits);
  EnableWindow(Item(kMinimum), eightBits);
  CheckRadioButton(window(), kPixels, kPercent, kPixels);
  ChooseUnit(kPixels);
  return FALSE;  // the focus is set
}

INT_PTR ResizeDialog::OnConfirm() {
  const int32_t method = std::max(FirstChecked(kFirstMethod, kLastMethod), 0);
  if (Checked(kPixels))
    choice = {Decimal(kPixelWidth), Decimal(kPixelHeight), method | kAbsoluteSize};
  else
    choice = {Decimal(kPercentWidth) * 0.01, Decimal(kPercentHeight) * 0.01, method};
  return 1;
}

bool ResizeDialog::OnCommand(int id, int code) {
  if ((id == kPixels || id == kPercent) && code == BN_CLICKED) {
    ChooseUnit(id);
    return true;
  }
  if (id < kPixelWidth || id > kPercentHeight || code != EN_KILLFOCUS) return false;
  Follow(id);
  return true;
}

// The focus moves before the other unit's boxes are disabled, so that it is never lost.
void ResizeDialog::ChooseUnit(int unit) {
  const int first = unit == kPixels ? kPixelWidth : kPercentWidth;
  const int other = unit == kPixels ? kPercentWidth : kPixelWidth;
  EnableWindow(Item(first), TRUE);
  EnableWindow(Item(first + 1), TRUE);
  SendMessageW(window(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(first)), TRUE);
  SelectAllText(first);
  EnableWindow(Item(other), FALSE);
  EnableWindow(Item(other + 1), FALSE);
}

// An empty control has no size to relate to: nothing follows.
void ResizeDialog::Follow(int edited) {
  if (following_ || width_ <= 0 || height_ <= 0) return;
  if (edited < kPixelWidth || edited > kPercentHeight) return;
  following_ = true;
  const bool linked = Checked(kKeepRatio), width = edited == kPixelWidth || edited == kPercentWidth;
  const double value = Decimal(edited);
  if (edited == kPixelWidth || edited == kPixelHeight)
    FollowPixels(width, value, linked);
  else
    FollowPercent(width, value, linked);
  following_ = false;
}

// Pixels relate to percent as pixels * 100 / size: the quotient taken whole, so that 29 of 100
// pixels is 29 percent and not 28.999....
void ResizeDialog::FollowPixels(bool width, double pixels, bool linked) {
  const double side = width ? width_ : height_, across = width ? height_ : width_;
  const std::string percent = TruncatedText(pixels * 100 / side);
  SetItemText(width ? kPercentWidth : kPercentHeight, percent);
  if (!linked) return;
  SetItemText(width ? kPercentHeight : kPercentWidth, percent);
  SetItemText(width ? kPixelHeight : kPixelWidth, TruncatedText(across * pixels / side));
}

void ResizeDialog::FollowPercent(bool width, double percent, bool linked) {
  const double side = width ? width_ : height_, across = width ? height_ : width_;
  SetItemText(width ? kPixelWidth : kPixelHeight, TruncatedText(side * percent / 100));
  if (!linked) return;
  SetItemText(width ? kPixelHeight : kPixelWidth, TruncatedText(across * percent / 100));
  SetItemText(width ? kPercentHeight : kPercentWidth, TruncatedText(percent));
}

}  // namespace

bool RunResizeDialog(PortableControl& control, HWND controlWindow, ScaleChoice* choice) {
  ResizeDialog dialog(control, controlWindow);
  if (dialog.Run(kResizeResource) != 1) return false;
  *choice = dialog.choice;
  return true;
}

}  // namespace pv::control
