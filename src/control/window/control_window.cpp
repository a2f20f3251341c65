#include "control/window/control_window.h"

#include <shellapi.h>

#include "control/com/control.h"
#include "control/com/module.h"

namespace pv::control {
namespace {

constexpr wchar_t kClassName[] = L"PictavorCtlWindow";

Control* ControlOf(HWND window) {
  return reinterpret_cast<Control*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void OnCreate(Control* self, HWND window) {
  self->display.Attach(window);
  self->display.AcceptDroppedFiles(self->portable.properties().dropFiles != 0);
}

// The draw routine: the display when automatic repaint is on.
void Draw(Control* self, HDC dc) {
  PortableControl& portable = self->portable;
  if (!portable.document().auto_repaint()) return;
  portable.RefreshBackground();
  RECT client{};
  GetClientRect(self->display.window(), &client);
  self->display.PaintInto(dc, client, portable.document().View());
}

void OnPaint(Control* self, HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  if (dc) Draw(self, dc);
  EndPaint(window, &paint);
}

void OnSize(Control* self) {
  PortableControl& portable = self->portable;
  portable.RefreshBackground();
  portable.document().Relayout(false);
  if (portable.document().auto_repaint()) portable.document().Repaint();
}

// The thumb's position from the bar itself: the message carries only its low 16 bits.
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
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  Control* self = ControlOf(window);
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  switch (message) {
    case WM_CREATE: OnCreate(self, window); return 0;
    case WM_DESTROY: self->display.Detach(); return 0;
    case WM_NCDESTROY: SetWindowLongPtrW(window, GWLP_USERDATA, 0); break;
    case WM_SIZE: OnSize(self); return 0;
    case WM_PAINT: OnPaint(self, window); return 0;
    case WM_PRINTCLIENT: Draw(self, reinterpret_cast<HDC>(wParam)); return 0;
    case WM_ERASEBKGND: return 1;  // the paint covers the whole client area
    case WM_HSCROLL: OnScroll(self, window, SB_HORZ, wParam); return 0;
    case WM_VSCROLL: OnScroll(self, window, SB_VERT, wParam); return 0;
    case WM_DROPFILES: DragFinish(reinterpret_cast<HDROP>(wParam)); return 0;
    default: break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterWindowClass() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  if (GetClassInfoExW(ModuleInstance(), kClassName, &windowClass)) return true;
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = ModuleInstance();
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.lpszClassName = kClassName;
  return RegisterClassExW(&windowClass) != 0;
}

}  // namespace

HWND CreateControlWindow(Control* control, HWND parent, const RECT& position) {
  if (!RegisterWindowClass()) return nullptr;
  return CreateWindowExW(
      0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, position.left,
      position.top, position.right - position.left, position.bottom - position.top, parent, nullptr,
      ModuleInstance(), control);
}

}  // namespace pv::control
