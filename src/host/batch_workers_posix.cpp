// Worker processes by fork: worker k takes the pictures k, k + jobs, ... and tells the parent
// each outcome as one short line on a shared pipe (a write under PIPE_BUF is never split).
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "host/batch.h"

namespace pv::host {
namespace {

[[noreturn]] void Work(int out, size_t first, size_t count, size_t step,
                       const std::function<Outcome(size_t)>& work) {
  for (size_t i = first; i < count; i += step) {
    const Outcome o = work(i);
    char line[64];
    const int n = std::snprintf(line, sizeof line, "%zu %d %d\n", i, o.step, o.code);
    if (write(out, line, static_cast<size_t>(n)) != n) break;
  }
  _exit(0);
}

}  // namespace

bool StandardErrorIsTerminal() { return isatty(STDERR_FILENO) == 1; }

void RunWorkers(size_t count, int jobs, const std::function<Outcome(size_t)>& work,
                const std::function<void(size_t, Outcome)>& done) {
  const size_t workers = std::min<size_t>(count, static_cast<size_t>(jobs > 0 ? jobs : 1));
  int channel[2];
  if (workers <= 1 || pipe(channel) != 0) {
    for (size_t i = 0; i < count; ++i) done(i, work(i));
    return;
  }
  std::fflush(nullptr);  // nothing buffered is written twice
  std::vector<pid_t> children;
  for (size_t k = 0; k < workers; ++k) {
    const pid_t child = fork();
    if (child == 0) {
      close(channel[0]);
      Work(channel[1], k, count, workers, work);
    }
    if (child > 0) children.push_back(child);
  }
  close(channel[1]);
  std::vector<bool> reported(count, false);
  std::FILE* lines = fdopen(channel[0], "r");
  size_t i = 0;
  int step = 0, code = 0;
  while (lines && std::fscanf(lines, "%zu %d %d", &i, &step, &code) == 3)
    if (i < count && !reported[i]) {
      reported[i] = true;
      done(i, {step, code});
    }
  if (lines) std::fclose(lines);
  for (pid_t child : children) waitpid(child, nullptr, 0);
  // A worker that died, or one that could not be started, leaves its pictures unreported.
  for (size_t n = 0; n < count; ++n)
    if (!reported[n]) done(n, {5, -1});
}

}  // namespace pv::host
