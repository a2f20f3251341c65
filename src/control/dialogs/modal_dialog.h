// A modal dialog of the DLL's resources over the control. It is owned by the window active when
// it opens (the control's top-level window when none is), the control's window is disabled
// while it runs, and it ends only through its buttons: "決定" (4101) ends it with 1, "ｷｬﾝｾﾙ"
// (4102) with 0, unless the dialog says otherwise. Its default push button "Enter" (1) is moved
// off-screen, so Return in an edit box reaches the dialog as a press of button 1.
#pragma once

#include <string>

#include "automation/portable_control.h"
#include "control/com/com.h"

namespace pv::control {

constexpr int kEnterButton = 1;
constexpr int kConfirmButton = 4101;
constexpr int kCancelButton = 4102;

// The window a dialog over the control belongs to: the active one, or the control's top-level
// window when none is active.
HWND DialogOwner(HWND controlWindow);

// A window disabled for the scope, enabled again after it if it was enabled.
class DisabledWindow {
 public:
  explicit DisabledWindow(HWND window);
  ~DisabledWindow();
  DisabledWindow(const DisabledWindow&) = delete;
  DisabledWindow& operator=(const DisabledWindow&) = delete;

 private:
  HWND window_;
  bool wasEnabled_ = false;
};

class ModalDialog {
 public:
  ModalDialog(PortableControl& control, HWND controlWindow)
      : control_(control), controlWindow_(controlWindow) {}
  virtual ~ModalDialog() = default;
  ModalDialog(const ModalDialog&) = delete;
  ModalDialog& operator=(const ModalDialog&) = delete;

  // Runs dialog `resource` to its end; what it ended with, -1 when it could not be created.
  INT_PTR Run(int resource);

 protected:
  // WM_INITDIALOG, after "Enter" has moved away; whether the dialog manager sets the focus.
  virtual BOOL OnInit() { return TRUE; }
  // "決定" and "ｷｬﾝｾﾙ": what the dialog ends with.
  virtual INT_PTR OnConfirm() { return 1; }
  virtual INT_PTR OnCancel() { return 0; }
  // Every other message: whether it was handled (`result` is then the dialog procedure's).
  virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result);

  HWND window() const { return window_; }
  HWND Item(int id) const { return GetDlgItem(window_, id); }
  PortableControl& control() { return control_; }
  ImageDocument& document() { return control_.document(); }

  // Item texts are ASCII numbers or the system's own CP932 texts.
  std::string ItemText(int id) const;
  void SetItemText(int id, const std::string& text);
  void SelectAllText(int id);
  // The id of the item with the focus, 0 when none of the dialog's has it.
  int FocusedItem() const;
  // Fills the item's client area with `colour` (a COLORREF).
  void FillItem(int id, COLORREF colour);

 private:
  static INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

  PortableControl& control_;
  HWND controlWindow_;
  HWND window_ = nullptr;
};

}  // namespace pv::control
