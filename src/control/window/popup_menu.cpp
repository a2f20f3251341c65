#include "control/window/popup_menu.h"

#include "automation/context_menu.h"
#include "automation/invoke.h"
#include "base/result.h"
#include "control/com/control.h"
#include "platform/text_encoding.h"

namespace pv::control {
namespace {

UINT StateFlags(const MenuItem& item) {
  return (item.grayed ? MF_GRAYED : 0u) | (item.checked ? MF_CHECKED : 0u);
}

void Append(HMENU menu, const MenuItem& item);

// A submenu and everything in it; null when USER has no room for it.
HMENU MakeSubmenu(const MenuItem& submenu) {
  HMENU menu = CreateMenu();
  if (menu)
    for (const MenuItem& item : submenu.items) Append(menu, item);
  return menu;
}

void Append(HMENU menu, const MenuItem& item) {
  const std::wstring text = Cp932ToWide(item.text);
  if (item.separator) {
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  } else if (item.IsSubmenu()) {
    if (HMENU submenu = MakeSubmenu(item))
      AppendMenuW(menu, MF_POPUP | StateFlags(item), reinterpret_cast<UINT_PTR>(submenu),
                  text.c_str());
  } else {
    AppendMenuW(menu, MF_STRING | StateFlags(item), static_cast<UINT_PTR>(item.id), text.c_str());
  }
}

// The error display: the code's message in a box that no window owns.
class ErrorBoxes : public MenuWindow {
 public:
  bool ShowError(Result code) override {
    const char* message = ResultMessage(code);
    if (!message) return true;
    MessageBoxW(nullptr, Utf8ToWide(message).c_str(), L"エラー", MB_ICONERROR | MB_OK);
    return false;
  }
};

}  // namespace

void ShowContextMenu(Control* self, int x, int y) {
  HWND window = self->display.window();
  POINT at{x, y};
  ClientToScreen(window, &at);
  HMENU popup = CreatePopupMenu();
  if (!popup) return;
  self->contextMenu = popup;
  for (const MenuItem& entry : BuildContextMenu(self->portable)) Append(popup, entry);
  PortableControl& portable = self->portable;
  Call arrow, restore;
  InvokeByName(portable, "SetCursorOfArrow", {}, &arrow);
  TrackPopupMenu(popup, 0, at.x, at.y, 0, window, nullptr);
  DestroyMenu(popup);
  self->contextMenu = nullptr;
  InvokeByName(portable, "SetCursorID", {static_cast<double>(arrow.pVal)}, &restore);
}

bool OnMenuCommand(Control* self, WPARAM wParam) {
  const int id = LOWORD(wParam);
  if (id < kFirstMenuCommand || id > kLastMenuCommand) return false;
  ErrorBoxes errors;
  RunMenuCommand(self->portable, id, errors);
  return true;
}

}  // namespace pv::control
