// The binarisation threshold dialog (202): the edit box leads. The slider and the scroll bar
// only write the edit text, and each change of that text sets both and previews. Its pane shows
// the gray histogram as bars, the columns at or below the threshold in inverted colours.
#include "control/dialogs/slider_dialogs.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "control/dialogs/preview_dialog.h"
#include "control/dialogs/slider_frame.h"

namespace pv::control {
namespace {

constexpr int kThresholdDialog = 202;

// The dialog whose Return keys go to the focused control; one per thread, as dialogs are modal.
thread_local HWND returnDialog = nullptr;

bool IsReturnKey(const MSG& msg) {
  return ((msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) && msg.wParam == VK_RETURN) ||
         (msg.message == WM_CHAR && msg.wParam == '\r');
}

// Runs before the dialog manager would turn Return into a command.
LRESULT CALLBACK PassReturn(int code, WPARAM wParam, LPARAM lParam) {
  auto* msg = reinterpret_cast<MSG*>(lParam);
  if (code == MSGF_DIALOGBOX && msg && returnDialog && IsChild(returnDialog, msg->hwnd) &&
      IsReturnKey(*msg)) {
    TranslateMessage(msg);
    DispatchMessageW(msg);
    return TRUE;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The bar heights, 0 at the top; the largest count reaches about nine tenths of the pane.
std::array<int32_t, 256> BarTops(const HistogramCounts& counts) {
  const int32_t largest = *std::max_element(counts.begin(), counts.end());
  const double scale = std::max(1.0, std::trunc(1.1 * largest));
  std::array<int32_t, 256> y{};
  for (size_t i = 0; i < counts.size(); ++i)
    y[i] = std::clamp(kHistogramGraphHeight - TruncToDisplay(counts[i] / scale * 100), 0,
                      kHistogramGraphHeight);
  return y;
}

class ThresholdDialog : public PreviewDialog {
 public:
  ThresholdDialog(PortableControl& c, HWND w, int32_t initial, const HistogramCounts& counts)
      : PreviewDialog(c, w), initial_(std::clamp(initial, 0, 255)), tops_(BarTops(counts)) {}
  ~ThresholdDialog() override {
    if (hook_) UnhookWindowsHookEx(hook_);
    returnDialog = nullptr;
  }

 protected:
  BOOL OnInit() override;
  // The image shows the threshold chosen even when it was never changed.
  INT_PTR OnConfirm() override {
    if (!previewed()) Preview();
    const int threshold = Threshold();
    PreviewDialog::OnConfirm();
    return threshold;
  }
  INT_PTR OnCancel() override {
    PreviewDialog::OnCancel();
    return -1;
  }
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;
  Result Apply() override { return document().Monochrome(static_cast<int16_t>(Threshold())); }
  void PaintPane(HDC dc) override;

 private:
  int Threshold() const { return GetScrollPos(Item(kFirstScrollBar), SB_CTL); }
  void WriteEdit(int value);
  void OnEditChanged();
  void OnScroll(WORD code);

  int initial_;
  std::array<int32_t, 256> tops_;
  bool initialising_ = true;
  HHOOK hook_ = nullptr;
};

BOOL ThresholdDialog::OnInit() {
  HWND slider = Item(kFirstSlider);
  SendMessageW(slider, TBM_SETRANGEMIN, FALSE, 0);
  SendMessageW(slider, TBM_SETRANGEMAX, FALSE, 255);
  SendMessageW(slider, TBM_SETTICFREQ, 64, 0);
  SendMessageW(slider, TBM_SETPOS, TRUE, initial_);
  SetScrollRange(Item(kFirstScrollBar), SB_CTL, 0, 255, FALSE);
  SetScrollPos(Item(kFirstScrollBar), SB_CTL, initial_, TRUE);
  SendMessageW(Item(kFirstEdit), EM_LIMITTEXT, 3, 0);
  WriteEdit(initial_);
  initialising_ = false;
  returnDialog = window();
  hook_ = SetWindowsHookExW(WH_MSGFILTER, PassReturn, nullptr, GetCurrentThreadId());
  return PreviewDialog::OnInit();
}

// Unchanged text is not written again, so a slider that reports one position several times
// previews it once.
void ThresholdDialog::WriteEdit(int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%3d", value);
  if (ItemText(kFirstEdit) != text) SetItemText(kFirstEdit, text);
}

void ThresholdDialog::OnEditChanged() {
  if (initialising_) return;
  SetScrollPos(Item(kFirstScrollBar), SB_CTL, ParseInteger(ItemText(kFirstEdit)), TRUE);
  SendMessageW(Item(kFirstSlider), TBM_SETPOS, TRUE, Threshold());
  Preview();
}

// Clamped before it is written, so the edit box never shows a value the scroll bar cannot hold.
void ThresholdDialog::OnScroll(WORD code) {
  int value = Threshold();
  if (!ScrollStep(code, &value)) return;
  WriteEdit(std::clamp(value, 0, 255));
}

bool ThresholdDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) {
  HWND from = reinterpret_cast<HWND>(lParam);
  switch (message) {
    case WM_HSCROLL:
      if (from && from == Item(kFirstSlider))
        WriteEdit(static_cast<int>(SendMessageW(from, TBM_GETPOS, 0, 0)));
      *result = TRUE;
      return true;
    case WM_VSCROLL:
      if (from && from == Item(kFirstScrollBar)) OnScroll(LOWORD(wParam));
      *result = TRUE;
      return true;
    case WM_COMMAND:
      if (LOWORD(wParam) == kFirstEdit && HIWORD(wParam) == EN_CHANGE) OnEditChanged();
      return LOWORD(wParam) == kFirstEdit || LOWORD(wParam) == kEnterButton;
    case DM_GETDEFID:
      // No default button: an edit box handed Return would otherwise pass it on to "Enter".
      SetWindowLongPtrW(window(), DWLP_MSGRESULT, 0);
      *result = TRUE;
      return true;
    default: return PreviewDialog::OnMessage(message, wParam, lParam, result);
  }
}

void ThresholdDialog::PaintPane(HDC dc) {
  const int threshold = Threshold();
  HGDIOBJ white = GetStockObject(WHITE_PEN), black = GetStockObject(BLACK_PEN);
  HGDIOBJ previous = SelectObject(dc, white);
  for (int x = 0; x < 256; ++x) {
    const bool inverted = x <= threshold;
    SelectObject(dc, inverted ? black : white);
    MoveToEx(dc, x, 0, nullptr);
    LineTo(dc, x, tops_[x]);
    SelectObject(dc, inverted ? white : black);
    LineTo(dc, x, kHistogramGraphHeight);
  }
  SelectObject(dc, previous);
}

}  // namespace

int32_t RunThresholdDialog(PortableControl& control, HWND controlWindow, int32_t initial,
                           const HistogramCounts& counts) {
  ThresholdDialog dialog(control, controlWindow, initial, counts);
  const INT_PTR threshold = dialog.Run(kThresholdDialog);
  return threshold >= 0 && threshold <= 255 ? static_cast<int32_t>(threshold) : -1;
}

}  // namespace pv::control
