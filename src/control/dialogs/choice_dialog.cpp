#include "control/dialogs/choice_dialog.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace pv::control {

double DecimalOf(const std::string& text) {
  const double value = std::strtod(text.c_str(), nullptr);
  return std::isfinite(value) ? value : 0.0;  // "inf" and "nan" are no numbers to a user
}

int32_t IntegerOf(const std::string& text) {
  const long long value = std::strtoll(text.c_str(), nullptr, 10);
  constexpr long long low = std::numeric_limits<int32_t>::min();
  constexpr long long high = std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(value < low ? low : value > high ? high : value);
}

std::string TruncatedText(double value) {
  constexpr double low = std::numeric_limits<int32_t>::min();
  constexpr double high = std::numeric_limits<int32_t>::max();
  if (std::isnan(value)) value = 0;
  value = value < low ? low : value > high ? high : std::trunc(value);
  char text[16];
  std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
  return text;
}

bool ChoiceDialog::OnMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR* result) {
  if (message != WM_COMMAND) return false;
  *result = TRUE;
  if (LOWORD(wParam) == kEnterButton) {
    OnReturn(FocusedItem());
    return true;
  }
  return OnCommand(LOWORD(wParam), HIWORD(wParam));
}

void ChoiceDialog::LimitText(int id, int characters) {
  SendMessageW(Item(id), EM_SETLIMITTEXT, static_cast<WPARAM>(characters), 0);
}

void ChoiceDialog::ShowCurrentSize() {
  SetItemText(kCurrentWidthStatic, std::to_string(ImageWidth()));
  SetItemText(kCurrentHeightStatic, std::to_string(ImageHeight()));
}

bool ChoiceDialog::Checked(int id) const {
  return SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

int ChoiceDialog::FirstChecked(int first, int last) const {
  for (int id = first; id <= last; ++id)
    if (Checked(id)) return id - first;
  return -1;
}

}  // namespace pv::control
