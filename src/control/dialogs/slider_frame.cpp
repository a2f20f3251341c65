#include "control/dialogs/slider_frame.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace pv::control {

int ParseInteger(const std::string& text) {
  const long long value = std::strtoll(text.c_str(), nullptr, 10);
  return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

bool ScrollStep(WORD code, int* value) {
  switch (code) {
    case SB_LINEUP: *value += 1; return true;
    case SB_LINEDOWN: *value -= 1; return true;
    case SB_PAGEUP: *value += 10; return true;
    case SB_PAGEDOWN: *value -= 10; return true;
    case SB_TOP: *value = 0; return true;
    case SB_BOTTOM: *value = 255; return true;
    default: return false;
  }
}

BOOL SliderDialog::OnInit() {
  for (int n = 0; n < channels_; ++n) {
    HWND slider = Item(kFirstSlider + n);
    SendMessageW(slider, TBM_SETRANGEMIN, FALSE, range_.minimum);
    SendMessageW(slider, TBM_SETRANGEMAX, FALSE, range_.maximum);
    SendMessageW(slider, TBM_SETTICFREQ, range_.ticks, 0);
    if (stepper_ == Stepper::ScrollBar)
      SetScrollRange(Item(kFirstScrollBar + n), SB_CTL, range_.minimum, range_.maximum, FALSE);
    else
      SendMessageW(Item(kFirstUpDown + n), UDM_SETRANGE32, range_.minimum, range_.maximum);
    SendMessageW(Item(kFirstEdit + n), EM_LIMITTEXT, range_.textLimit, 0);
    ShowOne(n, Initial(n));
  }
  return PreviewDialog::OnInit();
}

INT_PTR SliderDialog::OnConfirm() {
  chosen_.clear();
  for (int n = 0; n < channels_; ++n) chosen_.push_back(Value(n));
  return PreviewDialog::OnConfirm();
}

std::string SliderDialog::Format(int value) const { return std::to_string(value); }

int SliderDialog::Parse(const std::string& text) const { return ParseInteger(text); }

int SliderDialog::Value(int n) const {
  return static_cast<int>(SendMessageW(Item(kFirstSlider + n), TBM_GETPOS, 0, 0));
}

void SliderDialog::Show(int n, int value) { ShowOne(n, value); }

void SliderDialog::ShowOne(int n, int value) {
  SendMessageW(Item(kFirstSlider + n), TBM_SETPOS, TRUE, value);
  const int shown = Value(n);
  if (stepper_ == Stepper::ScrollBar)
    SetScrollPos(Item(kFirstScrollBar + n), SB_CTL, shown, TRUE);
  else
    SendMessageW(Item(kFirstUpDown + n), UDM_SETPOS32, 0, shown);
  SetItemText(kFirstEdit + n, Format(shown));
}

int SliderDialog::ChannelOf(int id, int first) const {
  return id >= first && id < first + channels_ ? id - first : -1;
}

void SliderDialog::OnSlider(HWND slider, WORD code) {
  const int n = ChannelOf(GetDlgCtrlID(slider), kFirstSlider);
  if (n < 0) return;
  Show(n, Value(n));
  if (code == TB_ENDTRACK) Preview();
}

void SliderDialog::OnStepper(HWND stepper, WORD code, short position) {
  const int id = GetDlgCtrlID(stepper);
  if (stepper_ == Stepper::UpDown) {
    const int n = ChannelOf(id, kFirstUpDown);
    // The end of the click repeats the position just reported.
    if (n < 0 || code != SB_THUMBPOSITION) return;
    Show(n, position);
    Preview();
    return;
  }
  const int n = ChannelOf(id, kFirstScrollBar);
  if (n < 0) return;
  int value = GetScrollPos(stepper, SB_CTL);
  if (!ScrollStep(code, &value)) return;
  Show(n, value);
  Preview();
}

void SliderDialog::Commit(int n) {
  const int typed = Parse(ItemText(kFirstEdit + n));
  if (typed != Value(n)) {
    Show(n, typed);
    Preview();
  } else {
    SetItemText(kFirstEdit + n, Format(typed));
  }
  SelectAllText(kFirstEdit + n);
}

bool SliderDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) {
  HWND from = reinterpret_cast<HWND>(lParam);
  switch (message) {
    case WM_HSCROLL:
      if (from) OnSlider(from, LOWORD(wParam));
      *result = TRUE;
      return true;
    case WM_VSCROLL:
      if (from) OnStepper(from, LOWORD(wParam), static_cast<short>(HIWORD(wParam)));
      *result = TRUE;
      return true;
    case WM_COMMAND: {
      // Return in an edit box reaches the dialog as a press of the hidden default button.
      const int n = LOWORD(wParam) == kEnterButton   ? ChannelOf(FocusedItem(), kFirstEdit)
                    : HIWORD(wParam) == EN_KILLFOCUS ? ChannelOf(LOWORD(wParam), kFirstEdit)
                                                     : -1;
      if (n < 0) break;
      Commit(n);
      *result = TRUE;
      return true;
    }
    default: break;
  }
  return PreviewDialog::OnMessage(message, wParam, lParam, result);
}

}  // namespace pv::control
