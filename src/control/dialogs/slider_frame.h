// The frame of the slider dialogs. Each value has a slider (1501 ...), a small vertical scroll
// bar (1401 ...) or up-down control (1301 ...) and an edit box (1101 ...), which always show the
// same value. A released slider, a scroll-bar click, an up-down click and a committed edit
// (Return, or the edit losing the focus) preview the operation; dragging a slider only follows.
#pragma once

#include <string>
#include <vector>

#include "control/dialogs/preview_dialog.h"

namespace pv::control {

// The controls of the first value; the next value's are one higher.
constexpr int kFirstSlider = 1501, kFirstScrollBar = 1401, kFirstUpDown = 1301, kFirstEdit = 1101;

// atoi's reading of a text, saturated where atoi would overflow.
int ParseInteger(const std::string& text);

// Where a scroll-bar code moves `value`: the arrows by one, the page areas by ten, the ends to 0
// and 255; false for a code that moves nothing. The controls shown the value clamp it.
bool ScrollStep(WORD code, int* value);

struct SliderRange {
  int minimum, maximum, ticks;
  int textLimit;  // characters of the edit box
};

enum class Stepper { ScrollBar, UpDown };

class SliderDialog : public PreviewDialog {
 public:
  SliderDialog(PortableControl& control, HWND controlWindow, int channels, SliderRange range,
               Stepper stepper = Stepper::ScrollBar)
      : PreviewDialog(control, controlWindow),
        channels_(channels),
        range_(range),
        stepper_(stepper) {}

  // The value of channel `n` (0 for the first slider) when the dialog ended with "決定".
  int Chosen(int n) const { return n < static_cast<int>(chosen_.size()) ? chosen_[n] : 0; }

 protected:
  BOOL OnInit() override;
  INT_PTR OnConfirm() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;

  // The value channel `n` opens with.
  virtual int Initial(int n) const = 0;
  // The text of a value in an edit box, and the value of a text.
  virtual std::string Format(int value) const;
  virtual int Parse(const std::string& text) const;
  // Shows `value` on channel `n`: slider, stepper and edit box (the slider clamps it).
  virtual void Show(int n, int value);
  void ShowOne(int n, int value);

  // The slider's position.
  int Value(int n) const;
  int channels() const { return channels_; }

 private:
  // The channel whose control has `id` counted from `first`, or -1.
  int ChannelOf(int id, int first) const;
  void OnSlider(HWND slider, WORD code);
  void OnStepper(HWND stepper, WORD code, short position);
  void Commit(int n);

  int channels_;
  SliderRange range_;
  Stepper stepper_;
  std::vector<int> chosen_;
};

}  // namespace pv::control
