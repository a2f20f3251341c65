#include "formats/progress.h"

namespace pv {
namespace {

// Set once at start-up by a host, or never: standard output is where the control writes.
std::FILE* g_stream = nullptr;
bool g_redirected = false;

}  // namespace

void SetProgressStream(std::FILE* stream) {
  g_stream = stream;
  g_redirected = true;
}

std::FILE* ProgressStream() { return g_redirected ? g_stream : stdout; }

void ReportSaveProgress(uint32_t done, uint32_t total) {
  std::FILE* stream = ProgressStream();
  if (!stream || total == 0) return;
  std::fprintf(stream, "\r%3d%% saved", static_cast<int>(uint64_t{done} * 100 / total));
}

}  // namespace pv
