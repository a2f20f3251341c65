#include "control/dialogs/modal_dialog.h"

#include <commctrl.h>

#include "control/com/module.h"

namespace pv::control {

HWND DialogOwner(HWND controlWindow) {
  if (HWND active = GetActiveWindow()) return active;
  return controlWindow ? GetAncestor(controlWindow, GA_ROOT) : nullptr;
}

DisabledWindow::DisabledWindow(HWND window) : window_(window) {
  wasEnabled_ = window_ && IsWindowEnabled(window_);
  if (wasEnabled_) EnableWindow(window_, FALSE);
}

DisabledWindow::~DisabledWindow() {
  if (wasEnabled_) EnableWindow(window_, TRUE);
}

INT_PTR ModalDialog::Run(int resource) {
  static const bool classes = [] {
    const INITCOMMONCONTROLSEX used{sizeof(INITCOMMONCONTROLSEX),
                                    ICC_BAR_CLASSES | ICC_UPDOWN_CLASS | ICC_LISTVIEW_CLASSES};
    return InitCommonControlsEx(&used) != FALSE;
  }();
  (void)classes;
  HWND owner = DialogOwner(controlWindow_);
  const DisabledWindow disabled(controlWindow_);
  return DialogBoxParamW(ModuleInstance(), MAKEINTRESOURCEW(resource), owner, Proc,
                         reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK ModalDialog::Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    reinterpret_cast<ModalDialog*>(lParam)->window_ = dialog;
  }
  auto* self = reinterpret_cast<ModalDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
  return self ? self->Dispatch(message, wParam, lParam) : FALSE;
}

INT_PTR ModalDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  INT_PTR result = FALSE;
  switch (message) {
    case WM_INITDIALOG:
      SetWindowPos(Item(kEnterButton), nullptr, -1000, -1000, 10, 10, SWP_NOZORDER);
      return OnInit();
    case WM_COMMAND:
      if (LOWORD(wParam) == kConfirmButton || LOWORD(wParam) == kCancelButton) {
        const bool confirmed = LOWORD(wParam) == kConfirmButton;
        EndDialog(window_, confirmed ? OnConfirm() : OnCancel());
        return TRUE;
      }
      if (OnMessage(message, wParam, lParam, &result)) return result;
      return LOWORD(wParam) == IDCANCEL;  // Escape does not end the dialog
    default: return OnMessage(message, wParam, lParam, &result) ? result : FALSE;
  }
}

bool ModalDialog::OnMessage(UINT, WPARAM, LPARAM, INT_PTR*) { return false; }

std::string ModalDialog::ItemText(int id) const {
  char text[256] = {};
  GetDlgItemTextA(window_, id, text, sizeof text);
  return text;
}

void ModalDialog::SetItemText(int id, const std::string& text) {
  SetDlgItemTextA(window_, id, text.c_str());
}

void ModalDialog::SelectAllText(int id) { SendDlgItemMessageW(window_, id, EM_SETSEL, 0, -1); }

int ModalDialog::FocusedItem() const {
  HWND focus = GetFocus();
  return focus && GetParent(focus) == window_ ? GetDlgCtrlID(focus) : 0;
}

void ModalDialog::FillItem(int id, COLORREF colour) {
  HWND item = Item(id);
  if (!item) return;
  RECT area;
  GetClientRect(item, &area);
  HDC dc = GetDC(item);
  if (!dc) return;
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &area, brush);
  DeleteObject(brush);
  ReleaseDC(item, dc);
}

}  // namespace pv::control
