#include "control/window/log_window.h"

#include <algorithm>

#include "automation/invoke.h"
#include "automation/replay.h"
#include "control/com/module.h"
#include "platform/text_encoding.h"

namespace pv::control {
namespace {

// Commands of menu 212.
enum Command : int {
  kLoadReplacing = 32778,
  kLoadInserting = 32779,
  kLoadAppending = 32780,
  kSave = 32781,
  kSaveAs = 32782,
  kClose = 32783,
  kDelete = 32787,
  kStartLogging = 32788,
  kStopLogging = 32789,
  kClear = 32790,
  kSaveText = 32791,
  kRunAll = 32792,
  kRunSelected = 32793,
};

}  // namespace

void LogWindow::Create(HWND owner) {
  Destroy();
  CreateDialogParamW(ModuleInstance(), MAKEINTRESOURCEW(kDialog), owner, Proc,
                     reinterpret_cast<LPARAM>(this));
  if (!window_) return;
  control_.log().set_observer(this);
  RefreshList();
}

void LogWindow::Destroy() {
  if (!window_) return;
  control_.log().set_observer(nullptr);
  DestroyWindow(window_);
  window_ = nullptr;
  list_ = nullptr;
}

void LogWindow::Show(bool show) {
  if (window_) ShowWindow(window_, show ? SW_SHOW : SW_HIDE);
}

void LogWindow::LineInserted(size_t index) {
  if (!list_) return;
  const std::wstring line = Cp932ToWide(control_.log().lines()[index]);
  SendMessageW(list_, LB_INSERTSTRING, index, reinterpret_cast<LPARAM>(line.c_str()));
}

void LogWindow::LineRemoved(size_t index) {
  if (list_) SendMessageW(list_, LB_DELETESTRING, index, 0);
}

void LogWindow::LinesReplaced() { RefreshList(); }

void LogWindow::LoggingChanged(bool on) {
  if (!window_) return;
  HMENU menu = GetMenu(window_);
  CheckMenuItem(menu, kStartLogging, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
  CheckMenuItem(menu, kStopLogging, MF_BYCOMMAND | (on ? MF_UNCHECKED : MF_CHECKED));
}

void LogWindow::RefreshList() {
  if (!list_) return;
  SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list_, LB_RESETCONTENT, 0, 0);
  for (const std::string& line : control_.log().lines()) {
    const std::wstring wide = Cp932ToWide(line);
    SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
  }
  SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list_, nullptr, TRUE);
}

int LogWindow::LineCount() const {
  return list_ ? static_cast<int>(SendMessageW(list_, LB_GETCOUNT, 0, 0)) : 0;
}

std::vector<int32_t> LogWindow::SelectedLines() const {
  const LRESULT count = list_ ? SendMessageW(list_, LB_GETSELCOUNT, 0, 0) : 0;
  std::vector<int> lines(count > 0 ? static_cast<size_t>(count) : 0);
  if (!lines.empty())
    lines.resize(static_cast<size_t>(std::max<LRESULT>(
        SendMessageW(list_, LB_GETSELITEMS, lines.size(), reinterpret_cast<LPARAM>(lines.data())),
        0)));
  return {lines.begin(), lines.end()};  // the list box hands them out in ascending order
}

int LogWindow::Say(const char* utf8, const char* caption, UINT flags) const {
  return MessageBoxW(window_, Utf8ToWide(utf8).c_str(), Utf8ToWide(caption).c_str(), flags);
}

// The file's entries go before the one selected line; with no lines they are appended.
void LogWindow::InsertFromFile() {
  Call call;
  if (LineCount() == 0) {
    InvokeByName(control_, "OperateLoadLog", {-1}, &call);
    return;
  }
  const std::vector<int32_t> selected = SelectedLines();
  if (selected.size() != 1) {
    Say("行が複数選択されています。\n挿入先を１行のみ選択してください。", "ｴﾗｰ",
        MB_ICONERROR | MB_OK);
    return;
  }
  InvokeByName(control_, "OperateLoadLog", {static_cast<double>(selected[0])}, &call);
}

// From the last line up, so the indices of the lines still to go do not move.
void LogWindow::DeleteSelected() {
  for (int line = LineCount() - 1; line >= 0; --line) {
    if (SendMessageW(list_, LB_GETSEL, line, 0) <= 0) continue;
    SendMessageW(list_, LB_SETSEL, FALSE, line);
    control_.log().DeleteEntry(line);
  }
}

void LogWindow::RunAll() {
  if (LineCount() == 0) {
    Say("実行するｼﾞｮﾌﾞがありません。", "ｴﾗｰ", MB_ICONERROR | MB_OK);
    return;
  }
  if (Say("一括実行を行います。宜しいですか？", "確認", MB_YESNO | MB_ICONQUESTION) == IDYES)
    ReplayEntries(control_, nullptr, 0);
}

void LogWindow::RunSelected() {
  const std::vector<int32_t> selected = SelectedLines();
  if (selected.empty()) {
    Say("実行するｼﾞｮﾌﾞが選択されていません。", "ｴﾗｰ", MB_ICONERROR | MB_OK);
    return;
  }
  if (Say("選択ｼﾞｮﾌﾞ実行を行います。宜しいですか？", "確認", MB_YESNO | MB_ICONQUESTION) == IDYES)
    ReplayEntries(control_, selected.data(), selected.size());
}

// The file commands' Result codes are not shown: a failed load or save is silent.
void LogWindow::OnCommand(int id) {
  Call call;
  switch (id) {
    case kLoadReplacing: InvokeByName(control_, "OperateLoadLog", {-2}, &call); break;
    case kLoadInserting: InsertFromFile(); break;
    case kLoadAppending: InvokeByName(control_, "OperateLoadLog", {-1}, &call); break;
    case kSave: InvokeByName(control_, "OperateSaveLog", {0}, &call); break;
    case kSaveAs: InvokeByName(control_, "OperateSaveLog", {1}, &call); break;
    case kClose:
    case IDCANCEL: Show(false); break;
    case kDelete: DeleteSelected(); break;
    case kStartLogging: control_.log().StartLogging(); break;
    case kStopLogging: control_.log().StopLogging(); break;
    case kClear: control_.log().DeleteEntry(-1); break;
    case kSaveText: InvokeByName(control_, "OperateSaveLogText", {}, &call); break;
    case kRunAll: RunAll(); break;
    case kRunSelected: RunSelected(); break;
    default: break;
  }
}

INT_PTR CALLBACK LogWindow::Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    auto* self = reinterpret_cast<LogWindow*>(lParam);
    self->window_ = dialog;
    self->list_ = GetDlgItem(dialog, kList);
    return TRUE;
  }
  auto* self = reinterpret_cast<LogWindow*>(GetWindowLongPtrW(dialog, DWLP_USER));
  if (!self) return FALSE;
  switch (message) {
    case WM_CLOSE: self->Show(false); return TRUE;
    case WM_SIZE:
      if (self->list_)
        SetWindowPos(self->list_, nullptr, 0, 0, LOWORD(lParam), HIWORD(lParam),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOOWNERZORDER);
      return TRUE;
    case WM_COMMAND:
      if (lParam == 0 || LOWORD(wParam) == IDCANCEL) self->OnCommand(LOWORD(wParam));
      return TRUE;
    case WM_NCDESTROY:
      self->window_ = nullptr;
      self->list_ = nullptr;
      return FALSE;
    default: return FALSE;
  }
}

}  // namespace pv::control
