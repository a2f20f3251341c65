#include "control/window/user_input.h"

#include <shellapi.h>
#include <windowsx.h>

#include <string>

#include "control/com/control.h"
#include "control/com/events.h"
#include "control/window/popup_menu.h"
#include "platform/text_encoding.h"

namespace pv::control {
namespace {

constexpr LONG kButtonMask = MK_LBUTTON | MK_RBUTTON | MK_MBUTTON;
constexpr LONG kShiftMask = MK_SHIFT | MK_CONTROL;

// A mouse message's buttons, keys and point, as its events carry them.
struct Mouse {
  Mouse(WPARAM wParam, LPARAM lParam)
      : buttons(static_cast<LONG>(wParam) & kButtonMask),
        shift(static_cast<LONG>(wParam) & kShiftMask),
        x(GET_X_LPARAM(lParam)),
        y(GET_Y_LPARAM(lParam)) {}
  LONG buttons, shift, x, y;
};

enum class Button : LONG { Left = MK_LBUTTON, Right = MK_RBUTTON, Middle = MK_MBUTTON };

// A right click opens the context menu instead when some of its items may show.
bool RightClickOpensMenu(Control* self, Button button) {
  const ControlProperties& p = self->portable.properties();
  return button == Button::Right && (p.menuMask1 != 0 || p.menuMask2 != 0) && p.enableMenu != 0;
}

void OnMouseMove(Control* self, const Mouse& m) {
  if (self->MenuTracked()) return;
  self->portable.plugins().MouseMove(m.buttons, m.shift, m.x, m.y);
  FireEvent(self->events, Event::MouseMove, {m.buttons, m.shift, m.x, m.y});
}

void OnButtonDown(Control* self, HWND window, Button button, const Mouse& m) {
  if (RightClickOpensMenu(self, button)) {
    ShowContextMenu(self, m.x, m.y);
    return;
  }
  if (self->MenuTracked()) return;
  const LONG value = static_cast<LONG>(button);
  self->portable.plugins().MouseDown(value, m.shift, m.x, m.y);
  FireEvent(self->events, Event::MouseDown, {value, m.shift, m.x, m.y});
  // The matching button-up arrives even when the pointer has left the window.
  ReleaseCapture();
  SetCapture(window);
}

void OnButtonUp(Control* self, Button button, const Mouse& m) {
  ReleaseCapture();
  if (self->MenuTracked()) return;
  const LONG value = static_cast<LONG>(button);
  self->portable.plugins().MouseUp(value, m.shift, m.x, m.y);
  FireEvent(self->events, Event::MouseUp, {value, m.shift, m.x, m.y});
}

// Double clicks reach neither the plugins nor the menu's suppression.
void OnDoubleClick(Control* self, Button button, const Mouse& m) {
  if (RightClickOpensMenu(self, button)) {
    ShowContextMenu(self, m.x, m.y);
    return;
  }
  FireEvent(self->events, Event::MouseDoubleClick, {static_cast<LONG>(button), m.shift, m.x, m.y});
}

// The wheel reports screen coordinates and does not scroll the image.
void OnWheel(Control* self, const Mouse& m, WPARAM wParam) {
  if (self->MenuTracked()) return;
  const LONG wheel = GET_WHEEL_DELTA_WPARAM(wParam);
  self->portable.plugins().MouseWheel(m.buttons, m.shift, wheel, m.x, m.y);
  FireEvent(self->events, Event::MouseWheel, {m.buttons, m.shift, wheel, m.x, m.y});
}

// The thumb's position comes from the bar itself: the message carries only its low 16 bits.
void OnScroll(Control* self, HWND window, int bar, WPARAM wParam) {
  const int request = LOWORD(wParam);
  int32_t thumb = HIWORD(wParam);
  if (request == SB_THUMBPOSITION || request == SB_THUMBTRACK) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_TRACKPOS;
    if (GetScrollInfo(window, bar, &info)) thumb = info.nTrackPos;
  }
  self->portable.document().Scroll(bar == SB_HORZ ? ScrollBar::Horizontal : ScrollBar::Vertical,
                                   request, thumb);
  FireEvent(self->events, Event::Scroll,
            {GetScrollPos(window, SB_HORZ), GetScrollPos(window, SB_VERT)});
}

// Loads the one file dropped, unless a PreDropFiles handler refuses it, and reports the
// result with the path in a block that lives for the event. A drop is not logged.
void LoadDroppedFile(Control* self, HDROP drop) {
  PortableControl& portable = self->portable;
  portable.properties().preDropFiles = 1;
  FireEvent(self->events, Event::PreDropFiles);
  if (portable.properties().preDropFiles == 0) return;

  // The block holds the path as the host's ANSI programs read it; the load takes the path as
  // typed, so names outside the ANSI code page load too.
  const UINT ansiLength = DragQueryFileA(drop, 0, nullptr, 0);
  HGLOBAL block = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, ansiLength + 1);
  if (block) DragQueryFileA(drop, 0, static_cast<char*>(block), ansiLength + 1);
  std::wstring path(DragQueryFileW(drop, 0, nullptr, 0) + 1, L'\0');
  path.resize(DragQueryFileW(drop, 0, path.data(), static_cast<UINT>(path.size())));

  ImageDocument& document = portable.document();
  const Result loaded = document.Load(WideToUtf8(path), 0, 0);
  if (!document.auto_repaint()) document.Repaint();
  FireEvent(self->events, Event::DropFiles,
            {static_cast<LONG>(ResultValue(loaded)), EventArg::Handle(block)});
  if (block) GlobalFree(block);
}

void OnDropFiles(Control* self, HDROP drop) {
  if (DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) == 1) LoadDroppedFile(self, drop);
  DragFinish(drop);
}

bool Dispatch(Control* self, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const Mouse mouse(wParam, lParam);
  switch (message) {
    case WM_MOUSEMOVE: OnMouseMove(self, mouse); break;
    case WM_LBUTTONDOWN: OnButtonDown(self, window, Button::Left, mouse); break;
    case WM_RBUTTONDOWN: OnButtonDown(self, window, Button::Right, mouse); break;
    case WM_MBUTTONDOWN: OnButtonDown(self, window, Button::Middle, mouse); break;
    case WM_LBUTTONUP: OnButtonUp(self, Button::Left, mouse); break;
    case WM_RBUTTONUP: OnButtonUp(self, Button::Right, mouse); break;
    case WM_MBUTTONUP: OnButtonUp(self, Button::Middle, mouse); break;
    case WM_LBUTTONDBLCLK: OnDoubleClick(self, Button::Left, mouse); break;
    case WM_RBUTTONDBLCLK: OnDoubleClick(self, Button::Right, mouse); break;
    case WM_MBUTTONDBLCLK: OnDoubleClick(self, Button::Middle, mouse); break;
    case WM_MOUSEWHEEL: OnWheel(self, mouse, wParam); break;
    case WM_HSCROLL: OnScroll(self, window, SB_HORZ, wParam); break;
    case WM_VSCROLL: OnScroll(self, window, SB_VERT, wParam); break;
    case WM_DROPFILES: OnDropFiles(self, reinterpret_cast<HDROP>(wParam)); break;
    default: return false;
  }
  return true;
}

}  // namespace

bool HandleUserInput(Control* self, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // A handler may release the host's last reference from inside an event.
  AddRefControl(self);
  const bool handled = Dispatch(self, window, message, wParam, lParam);
  ReleaseControl(self);
  return handled;
}

}  // namespace pv::control
