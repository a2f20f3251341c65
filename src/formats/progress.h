// Progress lines of long writes ("\r 42% saved"). They go to standard output unless a host
// that keeps standard output for its own results sends them elsewhere.
#pragma once

#include <cstdint>
#include <cstdio>

namespace pv {

// Where progress lines go from now on; null silences them.
void SetProgressStream(std::FILE* stream);
std::FILE* ProgressStream();

// Reports that `done` of `total` rows are written, as "\r%3d%% saved".
void ReportSaveProgress(uint32_t done, uint32_t total);

}  // namespace pv
