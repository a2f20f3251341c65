// What the value dialogs share: numbers read from and written to their edit boxes, the image's
// current size in statics 1001 and 1002, and Return in an edit box, which reaches the dialog as
// a press of the hidden default button and only selects the box's whole text.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>

#include "control/dialogs/modal_dialog.h"

namespace pv::control {

constexpr int kCurrentWidthStatic = 1001;
constexpr int kCurrentHeightStatic = 1002;

// A number as the edit boxes' parsers read it: anything that is not a finite number is 0, and
// an integer beyond 32 bits is clamped to them.
double DecimalOf(const std::string& text);
int32_t IntegerOf(const std::string& text);
// trunc(value) in decimal, clamped to 32 bits; what is not a number writes 0.
std::string TruncatedText(double value);

class ChoiceDialog : public ModalDialog {
 protected:
  using ModalDialog::ModalDialog;

  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;
  // Return with the focus on `focused` (0: none of the dialog's items).
  virtual void OnReturn(int focused) { SelectAllText(focused); }
  // WM_COMMAND from an item other than the buttons; whether it was handled.
  virtual bool OnCommand(int /*id*/, int /*code*/) { return false; }

  double Decimal(int id) const { return DecimalOf(ItemText(id)); }
  int32_t Integer(int id) const { return IntegerOf(ItemText(id)); }
  void LimitText(int id, int characters);
  // The image's size; 0 without an image.
  int32_t ImageWidth() { return std::max(document().GetWidth(), 0); }
  int32_t ImageHeight() { return std::max(document().GetHeight(), 0); }
  void ShowCurrentSize();
  bool Checked(int id) const;
  // The index of the first checked button of ids first..last, -1 when none is.
  int FirstChecked(int first, int last) const;
};

}  // namespace pv::control
