#include "dialog_user.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <commdlg.h>

#include <atomic>
#include <thread>

#include "platform/text_encoding.h"
#include "ui_watch.h"

namespace pv::wintest {
namespace {

const wchar_t* const kDialogClass = reinterpret_cast<const wchar_t*>(ULONG_PTR{32770});

// The marker that Settle posts behind the user's input; the hook of the dialog's thread sees it
// only after everything posted before it was handled.
UINT SettleMessage() {
  static const UINT message = RegisterWindowMessageW(L"PictavorDialogUserSettle");
  return message;
}

HANDLE settled = nullptr;

LRESULT CALLBACK SeeMessages(int code, WPARAM removed, LPARAM lParam) {
  const MSG* msg = reinterpret_cast<const MSG*>(lParam);
  if (code == HC_ACTION && removed == PM_REMOVE && msg->message == SettleMessage() && settled)
    SetEvent(settled);
  return CallNextHookEx(nullptr, code, removed, lParam);
}

}  // namespace

void DialogUser::Settle() const {
  const DWORD thread = GetWindowThreadProcessId(dialog_, nullptr);
  settled = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, SeeMessages, nullptr, thread);
  // A dialog that ends drops what was posted to it.
  if (PostMessageW(dialog_, SettleMessage(), 0, 0))
    for (int n = 0; n < 250 && WaitForSingleObject(settled, 20) == WAIT_TIMEOUT; ++n)
      if (!IsWindowVisible(dialog_)) break;
  UnhookWindowsHookEx(hook);
  CloseHandle(settled);
  settled = nullptr;
}

void DialogUser::AwaitClosed() const {
  for (int n = 0; n < 250 && IsWindowVisible(dialog_); ++n) Sleep(20);
}

namespace {

void NotifySlider(HWND dialog, HWND slider, WORD code, int position) {
  SendMessageW(dialog, WM_HSCROLL, MAKEWPARAM(code, position), reinterpret_cast<LPARAM>(slider));
}

}  // namespace

void DialogUser::Drag(int id, int position) {
  SendMessageW(Item(id), TBM_SETPOS, TRUE, position);
  NotifySlider(dialog_, Item(id), TB_THUMBTRACK, position);
}

void DialogUser::Slide(int id, int position) {
  Drag(id, position);
  NotifySlider(dialog_, Item(id), TB_THUMBPOSITION, position);
  NotifySlider(dialog_, Item(id), TB_ENDTRACK, position);
}

void DialogUser::Scroll(int id, int code) {
  SendMessageW(dialog_, WM_VSCROLL, MAKEWPARAM(code, 0), reinterpret_cast<LPARAM>(Item(id)));
}

void DialogUser::UpDown(int id, int position) {
  HWND updown = Item(id);
  SendMessageW(updown, UDM_SETPOS32, 0, position);
  SendMessageW(dialog_, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, position),
               reinterpret_cast<LPARAM>(updown));
}

void DialogUser::Type(int id, const std::string& text) {
  SendMessageW(Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Utf8ToWide(text).c_str()));
}

void DialogUser::Focus(int id) {
  SendMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(id)), TRUE);
}

void DialogUser::PressReturn(int id) {
  Focus(id);
  PostMessageW(Item(id), WM_KEYDOWN, VK_RETURN, 1);
  PostMessageW(Item(id), WM_CHAR, '\r', 1);
  PostMessageW(Item(id), WM_KEYUP, VK_RETURN, 0xC0000001);
  Settle();
}

void DialogUser::Click(int id) {
  PostMessageW(Item(id), BM_CLICK, 0, 0);
  Settle();
}

void DialogUser::Confirm() {
  Click(4101);
  AwaitClosed();
}

void DialogUser::Cancel() {
  Click(4102);
  AwaitClosed();
}

void DialogUser::SelectRow(int id, int row) {
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(Item(id), LVM_SETITEMSTATE, static_cast<WPARAM>(row),
               reinterpret_cast<LPARAM>(&item));
  NMITEMACTIVATE click{};
  click.hdr = {Item(id), static_cast<UINT_PTR>(id), static_cast<UINT>(NM_CLICK)};
  click.iItem = row;
  SendMessageW(dialog_, WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&click));
}

std::string DialogUser::Text(int id) const {
  wchar_t text[512] = {};
  GetWindowTextW(Item(id), text, 512);
  return Cp932(std::wstring(text));
}

int DialogUser::SliderPosition(int id) const {
  return static_cast<int>(SendMessageW(Item(id), TBM_GETPOS, 0, 0));
}

int DialogUser::ScrollPosition(int id) const { return GetScrollPos(Item(id), SB_CTL); }

int DialogUser::UpDownPosition(int id) const {
  return static_cast<int>(SendMessageW(Item(id), UDM_GETPOS32, 0, 0));
}

bool DialogUser::Checked(int id) const {
  return SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool DialogUser::Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }

std::string DialogUser::RowText(int id, int row, int column) const {
  wchar_t text[128] = {};
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = 128;
  SendMessageW(Item(id), LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
               reinterpret_cast<LPARAM>(&item));
  return Cp932(std::wstring(text));
}

int DialogUser::RowCount(int id) const {
  return static_cast<int>(SendMessageW(Item(id), LVM_GETITEMCOUNT, 0, 0));
}

// The file dialogs' own controls.
// The name box is an edit box in dialogs with a template, a combo box in the others.
constexpr int kFileNameEdit = 0x480, kFileNameCombo = 0x47C, kFileTypeList = 0x470;

// The box takes Windows separators only.
void DialogUser::TypeFileName(const std::string& path) {
  std::string windows = path[0] == '/' ? "Z:" + path : path;  // Wine's drive of the root
  for (char& c : windows)
    if (c == '/') c = '\\';
  const int box = Item(kFileNameEdit) ? kFileNameEdit : kFileNameCombo;
  SendMessageW(dialog_, CDM_SETCONTROLTEXT, box,
               reinterpret_cast<LPARAM>(Utf8ToWide(windows).c_str()));
}

void DialogUser::ChooseFileType(int entry) {
  HWND list = Item(kFileTypeList);
  SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(entry), 0);
  for (WORD code : {CBN_SELCHANGE, CBN_SELENDOK})
    SendMessageW(dialog_, WM_COMMAND, MAKEWPARAM(kFileTypeList, code),
                 reinterpret_cast<LPARAM>(list));
}

void DialogUser::PressDefault() {
  PostMessageW(dialog_, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  AwaitClosed();
}

void DialogUser::Dismiss() {
  PostMessageW(dialog_, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  AwaitClosed();
}

DialogUser DialogUser::Template() const {
  return DialogUser(FindWindowExW(dialog_, nullptr, kDialogClass, nullptr));
}

struct DialogCanceller::State {
  DWORD thread = GetCurrentThreadId();
  std::atomic<bool> done{false};
  std::thread watcher;
};

namespace {

BOOL CALLBACK CancelDialog(HWND window, LPARAM) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  if (!IsWindowVisible(window) || lstrcmpW(name, L"#32770") != 0) return TRUE;
  if (GetDlgItem(window, kFileTypeList))
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  else if (HWND cancel = GetDlgItem(window, 4102))
    PostMessageW(cancel, BM_CLICK, 0, 0);
  return TRUE;
}

}  // namespace

DialogCanceller::DialogCanceller() : state_(new State) {
  state_->watcher = std::thread([state = state_] {
    while (!state->done) {
      EnumThreadWindows(state->thread, CancelDialog, 0);
      Sleep(10);
    }
  });
}

DialogCanceller::~DialogCanceller() {
  state_->done = true;
  state_->watcher.join();
  delete state_;
}

HWND AwaitDialog(const char* title) {
  const std::wstring caption = Utf8ToWide(title);
  for (int n = 0; n < 250; ++n) {
    HWND dialog = FindWindowW(kDialogClass, caption.c_str());
    if (dialog && IsWindowVisible(dialog)) return dialog;
    Sleep(20);
  }
  return nullptr;
}

namespace {

BOOL CALLBACK ListVisible(HWND window, LPARAM titles) {
  wchar_t title[128] = {};
  GetWindowTextW(window, title, 128);
  if (!IsWindowVisible(window)) return TRUE;
  auto* shown = reinterpret_cast<std::string*>(titles);
  *shown += " \"" + Cp932(title) + "\"";
  for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    wchar_t name[16] = {}, text[256] = {};
    GetClassNameW(c, name, 16);
    if (lstrcmpiW(name, L"Static") == 0 && GetWindowTextW(c, text, 256) > 0)
      *shown += " [" + Cp932(text) + "]";
  }
  return TRUE;
}

void DriveToTheEnd(HWND dialog, const char* what, const std::function<void(DialogUser&)>& drive) {
  DialogUser user(dialog);
  user.Settle();  // what the dialog posted itself while opening comes first
  drive(user);
  if (IsWindow(dialog) && IsWindowVisible(dialog)) {
    std::string shown;
    EnumThreadWindows(GetWindowThreadProcessId(dialog, nullptr), ListVisible,
                      reinterpret_cast<LPARAM>(&shown));
    ADD_FAILURE() << "the dialog " << what << " was left open; showing:" << shown;
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    user.Cancel();
  }
}

}  // namespace

bool WithFileDialog(const std::function<void(DialogUser&)>& drive,
                    const std::function<void()>& act) {
  return WhileShowing(
      []() -> HWND {
        HWND dialog = FindWindowW(kDialogClass, nullptr);
        return dialog && IsWindowVisible(dialog) && GetDlgItem(dialog, kFileTypeList) ? dialog
                                                                                      : nullptr;
      },
      [&](HWND dialog) { DriveToTheEnd(dialog, "of files", drive); }, act);
}

bool WithDialog(const char* title, const std::function<void(DialogUser&)>& drive,
                const std::function<void()>& act) {
  const std::wstring caption = Utf8ToWide(title);
  return WhileShowing(
      [&]() -> HWND {
        HWND dialog = FindWindowW(kDialogClass, caption.c_str());
        return dialog && IsWindowVisible(dialog) ? dialog : nullptr;
      },
      [&](HWND dialog) { DriveToTheEnd(dialog, title, drive); }, act);
}

}  // namespace pv::wintest
