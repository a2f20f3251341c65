// libpng and libjpeg report errors by a long jump out of their own frames; this is where such a
// jump lands, so that a library error becomes a Result code instead of ending the process.
#pragma once

#include <csetjmp>

namespace pv {

// Runs `step`, a run of library calls; false when the library raised an error inside it. The
// jump skips the frames of `step`, so it must own nothing with a destructor: whatever the step
// uses lives in the caller, which cleans up after a failure.
template <typename Step>
[[gnu::noinline]] bool Guarded(std::jmp_buf& landing, Step&& step) {
  if (setjmp(landing)) return false;
  step();
  return true;
}

}  // namespace pv
