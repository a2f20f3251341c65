#include "control/window/image_info_window.h"

#include <string>

#include "control/com/module.h"

namespace pv::control {
namespace {

INT_PTR CALLBACK ImageInfoProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: return TRUE;
    case WM_CLOSE: ShowWindow(dialog, SW_HIDE); return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) ShowWindow(dialog, SW_HIDE);
      return TRUE;
    default: return FALSE;
  }
}

}  // namespace

void ImageInfoWindow::Create(HWND owner) {
  Destroy();
  window_ = CreateDialogParamW(ModuleInstance(), MAKEINTRESOURCEW(kImageInfoDialog), owner,
                               ImageInfoProc, 0);
}

void ImageInfoWindow::Destroy() {
  if (window_) DestroyWindow(window_);
  window_ = nullptr;
}

void ImageInfoWindow::Refresh(const ImageInfo& info) {
  if (!window_) return;
  const int32_t values[] = {info.width, info.height, info.bitCount, info.paletteSize};
  bool empty = false;
  for (int32_t v : values) empty = empty || v == -1;
  for (size_t n = 0; n < 4; ++n)
    SetDlgItemTextW(window_, kImageInfoFields[n], empty ? L"" : std::to_wstring(values[n]).c_str());
}

void ImageInfoWindow::Show() {
  if (window_) ShowWindow(window_, SW_SHOW);
}

}  // namespace pv::control
