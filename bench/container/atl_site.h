// A control placed in atl.dll's container, in a top-level window of its own, as compiled and
// scripted hosts on Windows place it. For the programs that measure the control in a real
// window: the soak and the DLL bench.
#pragma once

#include <ole2.h>
#include <windows.h>

#include <string>

namespace pv::bench {

// Once per process, after COM started in the thread; false, with the reason, when atl.dll has
// no container.
bool StartAtlContainer(std::string* error);

// Handles what the thread's windows were sent (layout, paint).
void PumpMessages();

class AtlSite {
 public:
  AtlSite() = default;
  ~AtlSite();
  AtlSite(const AtlSite&) = delete;
  AtlSite& operator=(const AtlSite&) = delete;

  // Places Pictavor.PictavorCtl in a borderless window of the size given; false, with the
  // reason, when the container cannot have it.
  bool Open(int width, int height, std::string* error);
  // The control's interface `iid`, added a reference; null when it has none.
  void* Query(REFIID iid) const;
  // The control's own window, where it lays out and paints; null before Open.
  HWND ControlWindow() const;

 private:
  HWND window_ = nullptr;
  IUnknown* container_ = nullptr;
  IUnknown* control_ = nullptr;
};

}  // namespace pv::bench
