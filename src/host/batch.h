// `pictavor replay`: one recorded Operation log replayed over many pictures, each loaded,
// replayed and saved under its own name in an output folder, by several worker processes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace pv::host {

struct BatchOptions {
  std::string log;
  std::string outDir;
  std::string format;  // bmp, png, jpg or tif; empty: each input's own
  int quality = 70;    // JPEG only
  int jobs = 0;        // 0: one per core
  bool force = false;  // an existing output may be replaced
  std::vector<std::string> inputs;
};

// The options after "replay"; false, with the reason, for a bad command line.
bool ParseBatch(const std::vector<std::string>& arguments, size_t from, BatchOptions* options,
                std::string* error);

// Runs the batch: 0 when every picture was written, 1 when some failed, 2 when nothing could
// start (a bad plan: an output that exists, two inputs writing one output, an input
// overwritten).
int RunBatch(const BatchOptions& options);

// What replaying one picture came to: the step that failed (0 none) and its Result code.
struct Outcome {
  int32_t step = 0;
  int32_t code = 0;
};

// Whether standard error is a terminal (progress is drawn there only then).
bool StandardErrorIsTerminal();

// Runs work(i) for every i below `count` in `jobs` workers and reports each outcome to
// done(i, outcome) in the calling process, in the order they finish.
void RunWorkers(size_t count, int jobs, const std::function<Outcome(size_t)>& work,
                const std::function<void(size_t, Outcome)>& done);

}  // namespace pv::host
