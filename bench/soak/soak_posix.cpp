#include <malloc.h>
#include <unistd.h>

#include <fstream>

#include "platform/global_memory.h"
#include "soak.h"

namespace pv::soak {
namespace {

class PortableSite : public Site {
 public:
  explicit PortableSite(std::FILE* results) : host_(results, "") {}
  host::Host& host() override { return host_; }

 private:
  host::Host host_;
};

}  // namespace

Figures Measure() {
  Figures figures;
  // LeakSanitizer cannot see a lost block: the handle table still holds it.
  size_t blocks = 0, bytes = 0;
  if (mem::CountLive(&blocks, &bytes)) figures.memoryBlocks = static_cast<int64_t>(blocks);
#ifdef __SANITIZE_ADDRESS__
  return figures;  // freed memory waits in quarantine there; LeakSanitizer judges at exit
#endif
  long pages = 0, resident = 0;
  if (std::ifstream("/proc/self/statm") >> pages >> resident)
    figures.residentBytes = int64_t{resident} * sysconf(_SC_PAGESIZE);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || __GLIBC_MINOR__ >= 33)
  const struct mallinfo2 heap = mallinfo2();
  if (heap.uordblks) figures.privateBytes = static_cast<int64_t>(heap.uordblks + heap.hblkhd);
#endif
  return figures;
}

bool StartPlatform(std::string*) { return true; }

std::unique_ptr<Site> OpenSite(std::FILE* results, std::string*) {
  return std::make_unique<PortableSite>(results);
}

void Pump() {}

}  // namespace pv::soak
