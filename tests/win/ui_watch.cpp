#include "ui_watch.h"

#include <atomic>
#include <thread>

#include "win_support.h"

namespace pv::wintest {
namespace {

// The system's classes of popup menus and dialogs, by atom.
const wchar_t* const kMenuClass = reinterpret_cast<const wchar_t*>(ULONG_PTR{32768});
const wchar_t* const kDialogClass = reinterpret_cast<const wchar_t*>(ULONG_PTR{32770});

HWND VisibleWindow(const wchar_t* windowClass, const wchar_t* title) {
  HWND window = FindWindowW(windowClass, title);
  return window && IsWindowVisible(window) ? window : nullptr;
}

BOOL CALLBACK CollectStaticText(HWND child, LPARAM text) {
  wchar_t name[16] = {}, buffer[512] = {};
  GetClassNameW(child, name, 16);
  if (lstrcmpiW(name, L"Static") == 0 && GetWindowTextW(child, buffer, 512) > 0)
    *reinterpret_cast<std::wstring*>(text) += buffer;
  return TRUE;
}

}  // namespace

bool WhileShowing(const std::function<HWND()>& find, const std::function<void(HWND)>& handle,
                  const std::function<void()>& act) {
  std::atomic<bool> done{false}, found{false};
  std::thread watcher([&] {
    while (!done) {
      if (HWND window = find()) {
        found = true;
        handle(window);
        return;
      }
      Sleep(5);
    }
  });
  act();
  done = true;
  watcher.join();
  return found;
}

std::vector<ReadItem> ReadMenu(HMENU menu) {
  std::vector<ReadItem> items;
  const int count = GetMenuItemCount(menu);
  for (int n = 0; n < count; ++n) {
    wchar_t text[256] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = 256;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(n), TRUE, &info)) continue;
    ReadItem item;
    item.text = Cp932(std::wstring(text));
    item.id = info.wID;
    item.separator = (info.fType & MFT_SEPARATOR) != 0;
    item.grayed = (info.fState & MFS_GRAYED) != 0 && !item.separator;  // a separator is inert
    item.checked = (info.fState & MFS_CHECKED) != 0;
    if (info.hSubMenu) item.items = ReadMenu(info.hSubMenu);
    items.push_back(std::move(item));
  }
  return items;
}

HWND TrackedPopup() { return VisibleWindow(kMenuClass, nullptr); }

std::optional<std::vector<ReadItem>> TrackedMenu(const std::function<void()>& act) {
  std::vector<ReadItem> read;
  const bool opened = WhileShowing(
      TrackedPopup,
      [&](HWND popup) {
        read = ReadMenu(reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0)));
        PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
      },
      act);
  if (!opened) return std::nullopt;
  return read;
}

Box AnswerBox(const wchar_t* caption, WORD answer, const std::function<void()>& act) {
  Box box;
  box.shown = WhileShowing([caption] { return VisibleWindow(kDialogClass, caption); },
                           [&](HWND window) {
                             EnumChildWindows(window, CollectStaticText,
                                              reinterpret_cast<LPARAM>(&box.text));
                             PostMessageW(window, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
                           },
                           act);
  return box;
}

std::string Cp932(const std::wstring& wide) {
  const int n = WideCharToMultiByte(932, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string bytes(n > 0 ? n - 1 : 0, '\0');
  if (n > 1) WideCharToMultiByte(932, 0, wide.c_str(), -1, bytes.data(), n, nullptr, nullptr);
  return bytes;
}

std::string Cp932(const char* utf8) { return Cp932(Wide(utf8)); }

}  // namespace pv::wintest
