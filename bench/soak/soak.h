// The soak: controls made and released many times over, then many load / operate / save cycles
// in one control. What the process holds is measured after a warm-up and at the end; a leak
// shows as growth between the two.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "host/host.h"

namespace pv::soak {

// What the process holds; −1 where this platform does not count it.
struct Figures {
  int64_t residentBytes = -1;
  int64_t privateBytes = -1;  // committed memory (Windows) or the heap in use (glibc)
  int64_t gdiObjects = -1;
  int64_t userObjects = -1;
  int64_t memoryBlocks = -1;  // global memory blocks alive, where the process counts them
};
Figures Measure();

// One control placed as this platform's hosts place it: in atl.dll's container on Windows,
// in the process natively. Releasing the site releases the control.
class Site {
 public:
  virtual ~Site() = default;
  // Runs member calls on the control; result lines go to the stream the site was opened with.
  virtual host::Host& host() = 0;
};

// Once per process, before the first site; false, with the reason, when no site can be opened.
bool StartPlatform(std::string* error);
// Null, with the reason, when the control cannot be had.
std::unique_ptr<Site> OpenSite(std::FILE* results, std::string* error);
// Lets the control's window handle what it was sent (layout, paint); nothing without windows.
void Pump();

}  // namespace pv::soak
