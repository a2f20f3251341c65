#include "control/dialogs/jpeg_options_dialog.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>

#include "control/dialogs/modal_dialog.h"
#include "control/dialogs/slider_frame.h"
// After the Windows headers it extends.
#include <commctrl.h>

namespace pv::control {
namespace {

constexpr int kBaseline = 1201, kProgressive = 1202;
constexpr int kQualityEdit = 1101, kQualityScroll = 1401, kQualitySlider = 1501;
constexpr int kMinQuality = 1, kMaxQuality = 100;

std::mutex settingsLock;
JpegSettings settings;

// The slider, the scroll bar and the edit box always show the same quality.
class JpegOptionsDialog : public ModalDialog {
 public:
  explicit JpegOptionsDialog(PortableControl& control)
      : ModalDialog(control, nullptr), chosen_(ProcessJpegSettings()) {}
  const JpegSettings& chosen() const { return chosen_; }

 protected:
  BOOL OnInit() override {
    CheckRadioButton(window(), kBaseline, kProgressive,
                     chosen_.variant == 1 ? kBaseline : kProgressive);
    SendDlgItemMessageW(window(), kQualitySlider, TBM_SETRANGE, FALSE,
                        MAKELPARAM(kMinQuality, kMaxQuality));
    SendDlgItemMessageW(window(), kQualitySlider, TBM_SETPAGESIZE, 0, 25);
    SetScrollRange(Item(kQualityScroll), SB_CTL, kMinQuality, kMaxQuality, FALSE);
    SendDlgItemMessageW(window(), kQualityEdit, EM_LIMITTEXT, 3, 0);
    Show(chosen_.quality);
    return TRUE;
  }

  INT_PTR OnConfirm() override {
    chosen_.variant = IsDlgButtonChecked(window(), kBaseline) == BST_CHECKED ? 1 : 2;
    chosen_.quality =
        static_cast<int16_t>(SendDlgItemMessageW(window(), kQualitySlider, TBM_GETPOS, 0, 0));
    return 1;
  }

  bool OnMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR* result) override {
    *result = TRUE;
    switch (message) {
      case WM_HSCROLL:
        Show(static_cast<int>(SendDlgItemMessageW(window(), kQualitySlider, TBM_GETPOS, 0, 0)));
        return true;
      case WM_VSCROLL: return Step(LOWORD(wParam));
      case WM_COMMAND:
        if (LOWORD(wParam) == kEnterButton ||
            (LOWORD(wParam) == kQualityEdit && HIWORD(wParam) == EN_KILLFOCUS)) {
          Show(std::atoi(ItemText(kQualityEdit).c_str()));
          SelectAllText(kQualityEdit);
          return true;
        }
        return false;
      default: return false;
    }
  }

 private:
  // The quality, clamped to the range, on all three controls.
  void Show(int quality) {
    quality = std::clamp(quality, kMinQuality, kMaxQuality);
    SendDlgItemMessageW(window(), kQualitySlider, TBM_SETPOS, TRUE, quality);
    SetScrollPos(Item(kQualityScroll), SB_CTL, quality, TRUE);
    SetItemText(kQualityEdit, std::to_string(quality));
  }

  // The scroll bar steps as the slider dialogs' do; the ends clamp to the quality's range.
  bool Step(WORD code) {
    int quality = GetScrollPos(Item(kQualityScroll), SB_CTL);
    if (!ScrollStep(code, &quality)) return false;
    Show(quality);
    return true;
  }

  JpegSettings chosen_;
};

}  // namespace

JpegSettings ProcessJpegSettings() {
  const std::lock_guard<std::mutex> hold(settingsLock);
  return settings;
}

bool RunJpegOptionsDialog(PortableControl& control) {
  JpegOptionsDialog dialog(control);
  if (dialog.Run(119) != 1) return false;
  const std::lock_guard<std::mutex> hold(settingsLock);
  settings = dialog.chosen();
  return true;
}

}  // namespace pv::control
