#include "atl_site.h"

namespace pv::bench {
namespace {

using AxWinInit = BOOL(WINAPI*)();
using AxCreateControlEx = HRESULT(WINAPI*)(LPCOLESTR, HWND, IStream*, IUnknown**, IUnknown**,
                                           REFIID, IUnknown*);
AxCreateControlEx createControl = nullptr;
ATOM hostClass = 0;

}  // namespace

bool StartAtlContainer(std::string* error) {
  HMODULE atl = LoadLibraryW(L"atl.dll");
  const auto winInit = reinterpret_cast<AxWinInit>(
      reinterpret_cast<void*>(atl ? GetProcAddress(atl, "AtlAxWinInit") : nullptr));
  createControl = reinterpret_cast<AxCreateControlEx>(
      reinterpret_cast<void*>(atl ? GetProcAddress(atl, "AtlAxCreateControlEx") : nullptr));
  WNDCLASSW c = {};
  c.lpfnWndProc = DefWindowProcW;
  c.hInstance = GetModuleHandleW(nullptr);
  c.lpszClassName = L"PictavorBenchHost";
  hostClass = RegisterClassW(&c);
  if (!winInit || !createControl || !winInit() || !hostClass) {
    *error = "atl.dll's container is not available";
    return false;
  }
  return true;
}

void PumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

AtlSite::~AtlSite() {
  if (control_) control_->Release();
  if (container_) container_->Release();
  if (window_) DestroyWindow(window_);
  PumpMessages();
}

bool AtlSite::Open(int width, int height, std::string* error) {
  window_ = CreateWindowExW(0, reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(hostClass)), L"",
                            WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  const HRESULT hr = window_ ? createControl(L"Pictavor.PictavorCtl", window_, nullptr, &container_,
                                             &control_, IID_NULL, nullptr)
                             : E_FAIL;
  if (FAILED(hr) || !control_) {
    *error =
        "cannot place Pictavor.PictavorCtl in atl.dll's container; is Pictavor.dll registered?";
    return false;
  }
  PumpMessages();
  return true;
}

void* AtlSite::Query(REFIID iid) const {
  void* object = nullptr;
  return control_ && SUCCEEDED(control_->QueryInterface(iid, &object)) ? object : nullptr;
}

HWND AtlSite::ControlWindow() const {
  auto* window = static_cast<IOleWindow*>(Query(IID_IOleWindow));
  HWND handle = nullptr;
  if (window) {
    window->GetWindow(&handle);
    window->Release();
  }
  return handle;
}

}  // namespace pv::bench
