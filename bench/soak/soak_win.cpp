#include <ole2.h>
#include <psapi.h>
#include <windows.h>

#include "atl_site.h"
#include "host/runner.h"
#include "soak.h"

namespace pv::soak {
namespace {

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
  explicit ContainerSite(std::FILE* results) : results_(results) {}

  bool Open(std::string* error) {
    if (!site_.Open(320, 240, error)) return false;
    auto* control = static_cast<IDispatch*>(site_.Query(IID_IDispatch));
    if (!control) {
      *error = "Pictavor.PictavorCtl has no IDispatch";
      return false;
    }
    host_ = std::make_unique<host::Host>(results_, "", host::CreateRunner(control));
    control->Release();
    return true;
  }

  host::Host& host() override { return *host_; }

 private:
  std::FILE* results_;
  bench::AtlSite site_;
  std::unique_ptr<host::Host> host_;  // released before the site, with its reference
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
  return bench::StartAtlContainer(error);
}

std::unique_ptr<Site> OpenSite(std::FILE* results, std::string* error) {
  auto site = std::make_unique<ContainerSite>(results);
  if (!site->Open(error)) return nullptr;
  return site;
}

void Pump() { bench::PumpMessages(); }

}  // namespace pv::soak
