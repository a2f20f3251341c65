// Modal user interface met as a user meets it: a helper thread waits for the tracked popup menu
// or the message box that this thread is showing, reads it and answers it.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pv::wintest {

// Runs `act` on this thread while a helper thread waits for a window that `find` finds and
// hands it to `handle` (which must end its modal loop); whether one appeared before `act`
// returned.
bool WhileShowing(const std::function<HWND()>& find, const std::function<void(HWND)>& handle,
                  const std::function<void()>& act);

// A menu item as read back from a real menu: the text in CP932 bytes, its ID and states.
struct ReadItem {
  std::string text;
  UINT id = 0;
  bool grayed = false, checked = false, separator = false;
  std::vector<ReadItem> items;  // a submenu's
};
std::vector<ReadItem> ReadMenu(HMENU menu);

// The window of the popup menu being tracked, or null.
HWND TrackedPopup();

// The popup menu that `act` tracks, read back while it is tracked and dismissed with Escape;
// nothing when no menu opened.
std::optional<std::vector<ReadItem>> TrackedMenu(const std::function<void()>& act);

// A message box titled `caption` that `act` shows, answered with the button `answer`: whether
// it showed and its text.
struct Box {
  bool shown = false;
  std::wstring text;
};
Box AnswerBox(const wchar_t* caption, WORD answer, const std::function<void()>& act);

// Text as the CP932 bytes the screen shows.
std::string Cp932(const std::wstring& wide);
std::string Cp932(const char* utf8);

}  // namespace pv::wintest
