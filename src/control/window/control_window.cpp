#include "control/window/control_window.h"

#include "control/com/control.h"
#include "control/com/events.h"
#include "control/com/module.h"
#include "control/window/popup_menu.h"
#include "control/window/user_input.h"

namespace pv::control {
namespace {

constexpr wchar_t kClassName[] = L"PictavorCtlWindow";

Control* ControlOf(HWND window) {
  return reinterpret_cast<Control*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void OnCreate(Control* self, HWND window) {
  self->display.Attach(window);
  self->display.AcceptDroppedFiles(self->portable.properties().dropFiles != 0);
  self->logWindow.Create(window);  // before the plugins, which may log
  self->plugins.Load(&self->ctl.iface, ModuleInstance());
  self->portable.set_plugins(&self->plugins);
}

void OnDestroy(Control* self) {
  self->portable.set_plugins(nullptr);
  self->plugins.Unload();
  self->logWindow.Destroy();
  self->display.Detach();
}

// The display into `dc` when automatic repaint is on; whether it painted.
bool PaintDisplay(Control* self, HDC dc) {
  PortableControl& portable = self->portable;
  if (!portable.document().auto_repaint()) return false;
  portable.RefreshBackground();
  RECT client{};
  GetClientRect(self->display.window(), &client);
  self->display.PaintInto(dc, client, portable.document().View());
  return true;
}

// The window's own paint ends with the Draw event, painted or not. A copy for someone else
// (WM_PRINTCLIENT, as PrintWindow asks) is the display only.
void OnPaint(Control* self, HWND window) {
  AddRefControl(self);  // a handler of Draw may release the host's last reference
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  if (dc && PaintDisplay(self, dc)) self->portable.plugins().Drawn();
  FireEvent(self->events, Event::Draw);  // inside the paint: a handler may paint over it
  EndPaint(window, &paint);
  ReleaseControl(self);
}

void OnSize(Control* self) {
  PortableControl& portable = self->portable;
  portable.RefreshBackground();
  portable.document().Relayout(false);
  if (portable.document().auto_repaint()) portable.document().Repaint();
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  Control* self = ControlOf(window);
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  if (HandleUserInput(self, window, message, wParam, lParam)) return 0;
  switch (message) {
    case WM_CREATE: OnCreate(self, window); return 0;
    case WM_DESTROY: OnDestroy(self); return 0;
    case WM_NCDESTROY: SetWindowLongPtrW(window, GWLP_USERDATA, 0); break;
    case WM_SIZE: OnSize(self); return 0;
    case WM_PAINT: OnPaint(self, window); return 0;
    case WM_PRINTCLIENT: PaintDisplay(self, reinterpret_cast<HDC>(wParam)); return 0;
    case WM_ERASEBKGND: return 1;  // the paint covers the whole client area
    case WM_COMMAND:
      if (OnMenuCommand(self, wParam)) return 0;
      break;
    case WM_SETCURSOR: SetCursor(self->display.cursor()); return 0;
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
