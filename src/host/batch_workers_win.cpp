// On Windows the pictures are replayed one after another in this process, through the
// registered control.
#include <io.h>

#include <cstdio>

#include "host/batch.h"

namespace pv::host {

bool StandardErrorIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

void RunWorkers(size_t count, int, const std::function<Outcome(size_t)>& work,
                const std::function<void(size_t, Outcome)>& done) {
  for (size_t i = 0; i < count; ++i) done(i, work(i));
}

}  // namespace pv::host
