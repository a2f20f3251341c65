#include <ole2.h>
#include <psapi.h>
#include <windows.h>

#include "host/runner.h"
#include "soak.h"

namespace pv::soak {
namespace {

using AxWinInit = BOOL(WINAPI*)();
using AxCreateControlEx = HRESULT(WINAPI*)(LPCOLESTR, HWND, IStream*, IUnknown**, IUnknown**,
                                           REFIID, IUnknown*);
AxCreateControlEx createControl = nullptr;
ATOM hostClass = 0;

// Wine answers GetGuiResources with ERROR_CALL_NOT_IMPLEMENTED. Its handle tables take a
// handle's bare 16-bit index, so there the live objects are counted by trying every index:
// GDI objects of any kind, and the process's own windows and menus among the USER objects.
int64_t ProbeGdiObjects() {
  int64_t count = 0;
  for (ULONG_PTR index = 1; index < 0x10000; ++index)
    if (GetObjectType(reinterpret_cast<HGDIOBJ>(index))) ++count;
  return count;
}

int64_t ProbeUserObjects() {
  int64_t count = 0;
  const DWORD self = GetCurrentProcessId();
  for (ULONG_PTR index = 0x20; index < 0x10000; index += 2) {
    const HWND window = reinterpret_cast<HWND>(index);
    DWORD owner = 0;
    if (IsWindow(window))
      count += GetWindowThreadProcessId(window, &owner) && owner == self;
    else
      count += IsMenu(reinterpret_cast<HMENU>(index)) != FALSE;
  }
  return count;
}

int64_t GuiObjects(DWORD kind, int64_t (*probe)()) {
  SetLastError(0);
  const DWORD count = GetGuiResources(GetCurrentProcess(), kind);
  return GetLastError() == ERROR_CALL_NOT_IMPLEMENTED ? probe() : count;
}

class ContainerSite : public Site {
 public:
  ContainerSite(std::FILE* results) : results_(results) {}
  ~ContainerSite() override {
    host_.reset();
    if (control_) control_->Release();
    if (container_) container_->Release();
    if (window_) DestroyWindow(window_);
    Pump();
  }

  bool Open(std::string* error) {
    window_ = CreateWindowExW(0, reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(hostClass)), L"",
                              WS_POPUP | WS_VISIBLE, 0, 0, 320, 240, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    IUnknown* unknown = nullptr;
    HRESULT hr = window_ ? createControl(L"Pictavor.PictavorCtl", window_, nullptr, &container_,
                                         &unknown, IID_NULL, nullptr)
                         : E_FAIL;
    if (SUCCEEDED(hr)) {
      hr = unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&control_));
      unknown->Release();
    }
    if (FAILED(hr)) {
      *error =
          "cannot place Pictavor.PictavorCtl in atl.dll's container; is Pictavor.dll "
          "registered?";
      return false;
    }
    host_ = std::make_unique<host::Host>(results_, "", host::CreateRunner(control_));
    Pump();
    return true;
  }

  host::Host& host() override { return *host_; }

 private:
  std::FILE* results_;
  HWND window_ = nullptr;
  IUnknown* container_ = nullptr;
  IDispatch* control_ = nullptr;
  std::unique_ptr<host::Host> host_;
};

}  // namespace

Figures Measure() {
  Figures figures;
  // Objects first: the first probe's own allocations must not count as the control's.
  figures.gdiObjects = GuiObjects(GR_GDIOBJECTS, ProbeGdiObjects);
  figures.userObjects = GuiObjects(GR_USEROBJECTS, ProbeUserObjects);
  PROCESS_MEMORY_COUNTERS memory = {};
  if (GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory)) {
    figures.residentBytes = static_cast<int64_t>(memory.WorkingSetSize);
    figures.privateBytes = static_cast<int64_t>(memory.PagefileUsage);
  }
  return figures;
}

bool StartPlatform(std::string* error) {
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
    *error = "COM does not start";
    return false;
  }
  HMODULE atl = LoadLibraryW(L"atl.dll");
  const auto winInit = reinterpret_cast<AxWinInit>(
      reinterpret_cast<void*>(atl ? GetProcAddress(atl, "AtlAxWinInit") : nullptr));
  createControl = reinterpret_cast<AxCreateControlEx>(
      reinterpret_cast<void*>(atl ? GetProcAddress(atl, "AtlAxCreateControlEx") : nullptr));
  WNDCLASSW c = {};
  c.lpfnWndProc = DefWindowProcW;
  c.hInstance = GetModuleHandleW(nullptr);
  c.lpszClassName = L"PictavorSoakHost";
  hostClass = RegisterClassW(&c);
  if (!winInit || !createControl || !winInit() || !hostClass) {
    *error = "atl.dll's container is not available";
    return false;
  }
  return true;
}

std::unique_ptr<Site> OpenSite(std::FILE* results, std::string* error) {
  auto site = std::make_unique<ContainerSite>(results);
  if (!site->Open(error)) return nullptr;
  return site;
}

void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace pv::soak
