#include "host/batch.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <thread>

#include "base/result.h"
#include "host/runner.h"
#include "platform/text_encoding.h"

namespace pv::host {
namespace {

namespace fs = std::filesystem;

enum Step : int32_t { kNone, kLog, kLoad, kReplay, kSave, kNoControl };
const char* const kStepNames[] = {"",          "reading the log", "loading",
                                  "replaying", "saving",          "starting the control"};

// Save format codes by file extension.
int16_t FormatCode(std::string extension) {
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (extension == "png") return 6;
  if (extension == "jpg" || extension == "jpeg") return 1;
  if (extension == "tif" || extension == "tiff") return 3;
  if (extension == "bmp") return 4;
  return 0;
}

// Paths are UTF-8, on Windows too.
fs::path PathOf(const std::string& utf8) { return fs::u8path(utf8); }

std::string ExtensionOf(const std::string& path) {
  const std::string extension = PathOf(path).extension().u8string();
  return extension.empty() ? std::string() : extension.substr(1);
}

struct Job {
  std::string input, output;
  int16_t format;
};

// One worker's control: the log read once, then every picture loaded, replayed and saved.
class Replayer {
 public:
  explicit Replayer(const BatchOptions& options) : options_(options) {
    std::string error;
    runner_ = CreateRunner(&error);
    if (runner_) logRead_ = Call("LoadLog", {Text(options.log), Number(-2)}) == 0;
  }

  Outcome Replay(const Job& job) {
    if (!runner_) return {kNoControl, -1};
    if (!logRead_) return {kLog, 3};
    if (const int32_t r = Call("Load", {Text(job.input), Number(0), Number(0)})) return {kLoad, r};
    if (const int32_t r = Call("ExecuteLog", {Number(0), Number(0)})) return {kReplay, r};
    const int32_t quality = job.format == 1 ? options_.quality : 0;
    if (const int32_t r =
            Call("Save", {Text(job.output), Number(job.format), Number(0), Number(quality)}))
      return {kSave, r};
    return {};
  }

 private:
  static Arg Text(const std::string& s) {
    Arg a;
    a.s = s;
    return a;
  }
  static Arg Number(int32_t i) {
    Arg a;
    a.i = i;
    return a;
  }
  // The member's Result code; -1 when it could not run at all.
  int32_t Call(const char* name, std::vector<Arg> args) {
    const Member* member = FindMember(name);
    if (!member) return -1;
    ::pv::Call call;
    call.args = std::move(args);
    std::string error;
    if (!runner_->Run(*member, call, &error)) return -1;
    return static_cast<int32_t>(call.pVal);
  }

  const BatchOptions& options_;
  std::unique_ptr<MemberRunner> runner_;
  bool logRead_ = false;
};

// The jobs, or false with the reason when the plan would overwrite something.
bool Plan(const BatchOptions& options, std::vector<Job>* jobs, std::string* error) {
  std::error_code ec;
  auto canonical = [&](const std::string& path) {
    return fs::weakly_canonical(PathOf(path), ec).u8string();
  };
  std::map<std::string, std::string> inputs, outputs;  // canonical path -> the input
  for (const std::string& input : options.inputs) inputs.emplace(canonical(input), input);
  for (const std::string& input : options.inputs) {
    const std::string extension = options.format.empty() ? ExtensionOf(input) : options.format;
    const int16_t format = FormatCode(extension);
    if (!format) {
      *error = input + ": no save format for ." + extension + " (choose one with --format)";
      return false;
    }
    const std::string output =
        (PathOf(options.outDir) / PathOf(input).stem()).u8string() + "." + extension;
    const std::string key = canonical(output);
    if (inputs.count(key)) {
      *error = output + " is an input: it is never overwritten";
      return false;
    }
    const auto [at, fresh] = outputs.emplace(key, input);
    if (!fresh) {
      *error = input + " and " + at->second + " would both be written to " + output;
      return false;
    }
    if (fs::exists(PathOf(output), ec) && !options.force) {
      *error = output + " exists (--force replaces it)";
      return false;
    }
    jobs->push_back({input, output, format});
  }
  return true;
}

// A terminal line with done/total, the rate and the time left, redrawn in place.
class Progress {
 public:
  explicit Progress(size_t total)
      : total_(total),
        start_(std::chrono::steady_clock::now()),
        shown_(StandardErrorIsTerminal()) {}

  void Done() {
    ++done_;
    if (!shown_) return;
    const double rate = done_ / Seconds();
    std::fprintf(stderr, "\r%zu/%zu  %.2f images/s  %.0f s left ", done_, total_, rate,
                 rate > 0 ? (total_ - done_) / rate : 0.0);
    std::fflush(stderr);
  }
  // A line of its own, above the progress line.
  void Note(const std::string& line) {
    std::fprintf(stderr, "%s%s\n", shown_ ? "\r" : "", line.c_str());
  }
  void Finish(size_t failed) {
    if (shown_) std::fputc('\n', stderr);
    std::fprintf(stderr, "pictavor: replayed %zu of %zu pictures in %.1f s (%.2f images/s)%s\n",
                 done_ - failed, total_, Seconds(), done_ / Seconds(),
                 failed ? (", " + std::to_string(failed) + " failed").c_str() : "");
  }

 private:
  double Seconds() const {
    const double s =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    return s > 1e-6 ? s : 1e-6;
  }
  size_t total_, done_ = 0;
  std::chrono::steady_clock::time_point start_;
  bool shown_;
};

}  // namespace

bool ParseBatch(const std::vector<std::string>& arguments, size_t from, BatchOptions* options,
                std::string* error) {
  auto value = [&](size_t* i, std::string* out) {
    if (*i + 1 >= arguments.size()) return false;
    *out = arguments[++*i];
    return true;
  };
  std::string text;
  for (size_t i = from; i < arguments.size(); ++i) {
    const std::string& a = arguments[i];
    bool ok = true;
    if (a == "--out") {
      ok = value(&i, &options->outDir);
    } else if (a == "--format") {
      ok = value(&i, &options->format) && FormatCode(options->format) != 0;
    } else if (a == "--quality") {
      ok = value(&i, &text) && (options->quality = std::atoi(text.c_str())) >= 2 &&
           options->quality <= 254;
    } else if (a == "--jobs") {
      ok = value(&i, &text) && (options->jobs = std::atoi(text.c_str())) >= 1;
    } else if (a == "--force") {
      options->force = true;
    } else if (a.compare(0, 2, "--") == 0) {
      ok = false;
    } else if (options->log.empty()) {
      options->log = a;
    } else {
      options->inputs.push_back(a);
    }
    if (!ok) {
      *error = "bad option " + a;
      return false;
    }
  }
  if (options->log.empty() || options->outDir.empty() || options->inputs.empty()) {
    *error =
        "usage: pictavor replay LOG.pvr --out DIR [--format bmp|png|jpg|tif] "
        "[--quality Q] [--jobs N] [--force] FILE...";
    return false;
  }
  return true;
}

int RunBatch(const BatchOptions& options) {
  std::vector<Job> jobs;
  std::string error;
  std::error_code ec;
  if (!fs::is_regular_file(PathOf(options.log), ec)) {
    std::fprintf(stderr, "pictavor: cannot read the log %s\n", options.log.c_str());
    return 2;
  }
  fs::create_directories(PathOf(options.outDir), ec);
  if (!Plan(options, &jobs, &error)) {
    std::fprintf(stderr, "pictavor: %s\n", error.c_str());
    return 2;
  }
  const int cores = static_cast<int>(std::thread::hardware_concurrency());
  const int workers = options.jobs > 0 ? options.jobs : (cores > 0 ? cores : 1);
  Progress progress(jobs.size());
  size_t failed = 0;
  std::unique_ptr<Replayer> replayer;  // one per worker process, made there
  RunWorkers(
      jobs.size(), workers,
      [&](size_t i) {
        if (!replayer) replayer = std::make_unique<Replayer>(options);
        return replayer->Replay(jobs[i]);
      },
      [&](size_t i, Outcome outcome) {
        progress.Done();
        if (outcome.step == kNone) return;
        ++failed;
        progress.Note("pictavor: " + jobs[i].input + ": " + kStepNames[outcome.step] +
                      " failed with " + std::to_string(outcome.code) + " (" +
                      Utf8ToTerminal(ResultMeaning(outcome.code)) + ")");
      });
  progress.Finish(failed);
  return failed ? 1 : 0;
}

}  // namespace pv::host
