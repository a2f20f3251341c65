// A window that hosts Pictavor through the system's ATL container (atl.dll), shows a picture in
// it with overlay annotations and stays open for a while: the demo's screenshots are taken of
// it. The scene "menu" opens the context menu with its colour submenu; "windows" runs a few
// logged operations and shows the log and histogram windows beside the control; "gamma" and
// "resize" open those parameter dialogs beside it.
// Usage: pictavor_container PICTURE [SECONDS] [menu|windows|gamma|resize]
#include <ole2.h>
#include <windows.h>
// After the Windows headers it extends.
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "pictavor_h.h"

namespace {

using AxWinInit = BOOL(WINAPI*)();
using AxCreateControlEx = HRESULT(WINAPI*)(LPCOLESTR, HWND, IStream*, IUnknown**, IUnknown**,
                                           REFIID, IUnknown*);

template <typename F>
F Function(HMODULE module, const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

std::wstring Wide(const char* text) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  std::wstring wide(n > 0 ? n - 1 : 0, L'\0');
  if (n > 0) MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), n);
  return wide;
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SIZE) {
    if (HWND host = GetWindow(window, GW_CHILD))
      MoveWindow(host, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
    return 0;
  }
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(window, message, wParam, lParam);
}

void CALLBACK CloseFrame(HWND frame, UINT, UINT_PTR, DWORD) { DestroyWindow(frame); }

HWND controlWindow = nullptr;

// The keys a user presses in the open menu: down to "ｶﾗｰ", the fifth entry, and into it.
void CALLBACK WalkMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  HWND popup = FindWindowW(reinterpret_cast<LPCWSTR>(ULONG_PTR{32768}), nullptr);
  for (WPARAM key : {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT})
    PostMessageW(popup, WM_KEYDOWN, key, 0);
}

// A right click in the middle of the picture; the menu tracks from here on.
void CALLBACK OpenMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  SetTimer(nullptr, 0, 500, WalkMenu);
  SendMessageW(controlWindow, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(200, 150));
}

// Moves the control's popup titled `title` to (x, y) on the screen.
void Place(const wchar_t* title, int x, int y) {
  if (HWND window = FindWindowW(nullptr, title))
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// A logged chain of operations, the log window listing it and the picture's histogram.
void ShowWindows(IPictavorCtl* control) {
  LONG result = -1, width = 0, height = 0;
  control->DispLogDialog(1, &result);
  control->Gamma(1.3f, &result);
  control->Smooth(&result);
  control->TurnOver(1, &result);
  control->RGBGamma(1.0f, 1.1f, 0.9f, &result);
  control->GetWidth(&width);
  control->GetHeight(&height);
  control->DispHistogram(0, 0, width, height, &result);
  std::printf("Windows: %ld\n", static_cast<long>(result));
  Place(L"操作履歴", 575, 40);
  Place(L"ﾋｽﾄｸﾞﾗﾑ", 575, 300);
}

IPictavorCtl* theControl = nullptr;

// The open parameter dialog moved beside the control, and its first slider dragged to
// `position` and released, which previews on the picture.
void ArrangeDialog(const wchar_t* title, int position) {
  HWND dialog = FindWindowW(reinterpret_cast<LPCWSTR>(ULONG_PTR{32770}), title);
  if (!dialog) return;
  RECT frame;
  GetWindowRect(dialog, &frame);
  const int x = std::min<int>(575, GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left) - 8);
  SetWindowPos(dialog, nullptr, x, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  if (HWND slider = GetDlgItem(dialog, 1501); slider && position >= 0) {
    SendMessageW(slider, TBM_SETPOS, TRUE, position);
    SendMessageW(dialog, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(slider));
  }
}

void CALLBACK ArrangeGamma(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  if (HWND dialog = FindWindowW(nullptr, L"ｶﾞﾝﾏ補正"))
    SendDlgItemMessageW(dialog, 4201, BM_CLICK, 0, 0);  // "リンク": the channels move together
  ArrangeDialog(L"ｶﾞﾝﾏ補正", 160);
}

void CALLBACK ArrangeResize(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  ArrangeDialog(L"ｲﾒｰｼﾞの拡大・縮小", -1);
}

// Each opens its dialog, which runs until the frame closes.
void CALLBACK OpenGamma(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  SetTimer(nullptr, 0, 700, ArrangeGamma);
  float red = 0, green = 0, blue = 0;
  LONG result = -1;
  theControl->OperateGamma(&red, &green, &blue, &result);
}

void CALLBACK OpenResize(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  SetTimer(nullptr, 0, 700, ArrangeResize);
  double horizontal = 0, vertical = 0;
  LONG type = 0, result = -1;
  theControl->OperateSetImageScale(&horizontal, &vertical, &type, &result);
}

HWND MakeFrame() {
  WNDCLASSW frameClass = {};
  frameClass.lpfnWndProc = FrameProc;
  frameClass.hInstance = GetModuleHandleW(nullptr);
  frameClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  frameClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  frameClass.lpszClassName = L"PictavorContainer";
  RegisterClassW(&frameClass);
  return CreateWindowExW(0, L"PictavorContainer", L"Pictavor", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40,
                         40, 520, 400, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

// Shows the picture scaled to the window keeping its aspect, on a grey background.
void Show(IPictavorCtl* control, const std::wstring& picture) {
  BSTR name = SysAllocString(picture.c_str());
  LONG result = -1;
  control->put_BackColor(RGB(64, 64, 64));
  control->put_PaintSizeMode(4);
  control->Load(name, 0, 0, &result);
  SysFreeString(name);
  std::printf("Load: %ld\n", static_cast<long>(result));
}

// Annotates the picture with overlay items, in client coordinates: a frame, a ring, a pointer
// line and a Japanese caption.
void Annotate(IPictavorCtl* control) {
  LONG result = -1;
  control->put_DrawPenWidth(3);
  control->put_DrawPenColor(RGB(255, 40, 40));
  control->DrawRectangle(60, 60, 180, 120, 0, &result);
  control->put_DrawPenColor(RGB(255, 220, 0));
  control->put_DrawFillStyle(0);
  control->DrawEllipse(300, 140, 120, 120, 0, &result);
  control->DrawLine(240, 120, 300, 200, &result);
  control->put_DrawFontColor(RGB(255, 255, 255));
  control->SetFontInfo(28, 700, 0, 0, 0, &result);
  BSTR face = SysAllocString(L"MS Gothic");
  control->SetFontName(face, &result);
  SysFreeString(face);
  BSTR caption = SysAllocString(L"画像に注釈");
  control->DrawText(70, 190, 200, 40, caption, &result);
  SysFreeString(caption);
  std::printf("Annotate: %ld\n", static_cast<long>(result));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: pictavor_container PICTURE [SECONDS]\n");
    return 2;
  }
  const DWORD milliseconds = 1000u * static_cast<DWORD>(argc > 2 ? std::atoi(argv[2]) : 10);
  const std::string scene = argc > 3 ? argv[3] : "";
  HMODULE atl = LoadLibraryW(L"atl.dll");
  auto winInit = Function<AxWinInit>(atl, "AtlAxWinInit");
  auto createControl = Function<AxCreateControlEx>(atl, "AtlAxCreateControlEx");
  if (!winInit || !createControl || !winInit()) {
    std::fprintf(stderr, "atl.dll's container is not available\n");
    return 1;
  }
  HWND frame = MakeFrame();
  RECT client;
  GetClientRect(frame, &client);
  HWND host = CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE, 0, 0, client.right,
                              client.bottom, frame, nullptr, GetModuleHandleW(nullptr), nullptr);
  IUnknown *container = nullptr, *unknown = nullptr;
  HRESULT hr = createControl(L"Pictavor.PictavorCtl", host, nullptr, &container, &unknown, IID_NULL,
                             nullptr);
  IPictavorCtl* control = nullptr;
  if (SUCCEEDED(hr))
    hr = unknown->QueryInterface(IID_IPictavorCtl, reinterpret_cast<void**>(&control));
  if (FAILED(hr)) {
    std::fprintf(stderr, "cannot embed Pictavor.PictavorCtl: 0x%08lx\n",
                 static_cast<unsigned long>(hr));
    return 1;
  }
  Show(control, Wide(argv[1]));
  Annotate(control);
  if (IOleWindow* window = nullptr;
      SUCCEEDED(unknown->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&window)))) {
    window->GetWindow(&controlWindow);
    window->Release();
  }
  if (scene == "windows") ShowWindows(control);
  if (scene == "menu") SetTimer(nullptr, 0, 1500, OpenMenu);
  theControl = control;
  if (scene == "gamma") SetTimer(nullptr, 0, 1500, OpenGamma);
  if (scene == "resize") SetTimer(nullptr, 0, 1500, OpenResize);
  std::fflush(stdout);
  SetTimer(frame, 1, milliseconds, CloseFrame);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  control->Release();
  unknown->Release();
  container->Release();
  return 0;
}
