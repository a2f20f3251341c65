#include "embedded.h"

#include <cstdio>
#include <fstream>

#include "test_support.h"

namespace pv::wintest {

Atl::Atl() : module(LoadLibraryW(L"atl.dll")) {
  if (!module) return;
  winInit = reinterpret_cast<BOOL(WINAPI*)()>(
      reinterpret_cast<void*>(GetProcAddress(module, "AtlAxWinInit")));
  createControl = reinterpret_cast<decltype(createControl)>(
      reinterpret_cast<void*>(GetProcAddress(module, "AtlAxCreateControlEx")));
}

Atl::~Atl() {
  if (module) FreeLibrary(module);
}

void PumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

HWND MakeHostWindow(int width, int height) {
  static const ATOM kClass = [] {
    WNDCLASSW c = {};
    c.lpfnWndProc = DefWindowProcW;
    c.hInstance = GetModuleHandleW(nullptr);
    c.lpszClassName = L"PictavorTestHost";
    return RegisterClassW(&c);
  }();
  return CreateWindowExW(0, reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(kClass)), L"",
                         WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

void Embedded::SetUp() {
  ASSERT_TRUE(atl_.module && atl_.winInit && atl_.createControl)
      << "atl.dll and its container functions";
  static const bool initialised = atl_.winInit();  // registers its window classes once
  ASSERT_TRUE(initialised);
  host_ = MakeHostWindow(100, 100);
  ASSERT_TRUE(host_);
  Ref<IUnknown> unknown;
  ASSERT_EQ(atl_.createControl(L"Pictavor.PictavorCtl", host_, stream_, container_.out(),
                               unknown.out(), IID_NULL, nullptr),
            S_OK);
  control_ = unknown.As<IPictavorCtl>(IID_IPictavorCtl);
  ASSERT_TRUE(control_);
  ASSERT_EQ(unknown.As<IOleWindow>(IID_IOleWindow)->GetWindow(&window_), S_OK);
  PumpMessages();
}

void Embedded::TearDown() {
  control_.reset();
  container_.reset();
  if (host_) DestroyWindow(host_);
  PumpMessages();
}

void Embedded::Resize(int width, int height) {
  SetWindowPos(host_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
  PumpMessages();
}

void Embedded::Show(int32_t width, int32_t height,
                    const std::function<uint32_t(int32_t, int32_t)>& pixel) {
  ShowDib(test::MakeDib(width, height, 24, {}, pixel));
}

void Embedded::ShowIndexed(int32_t width, int32_t height, int bits,
                           const std::function<uint32_t(int32_t, int32_t)>& index) {
  const size_t entries = size_t{1} << bits;
  const test::Bytes table =
      test::Table(entries, [entries](size_t i) { return 0x010101u * (255 * i / (entries - 1)); });
  ShowDib(test::MakeDib(width, height, bits, table, index));
}

void Embedded::ShowDib(mem::Handle block) {
  mem::Owned dib(block);
  LONG v = -1;
  ASSERT_EQ(control_->SetDIB(reinterpret_cast<LONG_PTR>(dib.get()), &v), S_OK);
  ASSERT_EQ(v, 0);
  PumpMessages();
}

std::vector<std::string> Embedded::LogTextLines() {
  const std::string path = test::TempPath("log-text-lines.txt");
  Bstr name(Wide(path).c_str());
  LONG v = -1;
  EXPECT_EQ(control_->SaveLogText(name.get(), &v), S_OK);
  std::vector<std::string> lines;
  {
    std::ifstream file(path, std::ios::binary);
    for (std::string line; std::getline(file, line);)
      lines.push_back(line.substr(0, line.size() - 1));
  }
  std::remove(path.c_str());
  return lines;
}

void Embedded::ShowBlank(int32_t width, int32_t height) {
  Show(width, height, [](int32_t, int32_t) { return 0u; });
}

Capture::Capture(HWND window) {
  RECT r;
  GetClientRect(window, &r);
  width_ = r.right;
  HDC screen = GetDC(nullptr);
  dc_ = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = r.right;
  info.bmiHeader.biHeight = -r.bottom;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  bitmap_ =
      CreateDIBSection(screen, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
  ReleaseDC(nullptr, screen);
  old_ = SelectObject(dc_, bitmap_);
  PrintWindow(window, dc_, PW_CLIENTONLY);
  GdiFlush();
}

Capture::~Capture() {
  SelectObject(dc_, old_);
  DeleteObject(bitmap_);
  DeleteDC(dc_);
}

HRESULT RecordingSink::QueryInterface(REFIID riid, void** ppv) {
  *ppv = nullptr;
  if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IDispatch) &&
      !IsEqualIID(riid, answers_))
    return E_NOINTERFACE;
  *ppv = this;
  AddRef();
  return S_OK;
}

HRESULT RecordingSink::Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                              EXCEPINFO*, UINT*) {
  Invocation call{dispid, {}, {}};
  // The arguments arrive last first.
  for (UINT n = params ? params->cArgs : 0; n-- > 0;) {
    const VARIANT& v = params->rgvarg[n];
    call.types.push_back(V_VT(&v));
    call.values.push_back(V_VT(&v) == VT_I8 ? static_cast<LONG_PTR>(V_I8(&v)) : V_I4(&v));
  }
  calls.push_back(call);
  if (onInvoke) onInvoke(calls.back());
  return answer;
}

}  // namespace pv::wintest
