// pictavor [--blocks DIR] [--explain] [-f SCRIPT] [CALL ...] | --list [NAME] | --help
//          | replay LOG.pvr --out DIR [options] FILE...
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "formats/progress.h"
#include "host/batch.h"
#include "host/host.h"
#include "host/reference.h"
#include "host/runner.h"
#include "platform/file_io.h"

namespace {

constexpr int kBadCall = 2;
constexpr int kNoControl = 1;

int Usage() {
  std::fprintf(stderr,
               "usage: pictavor [--blocks DIR] [--explain] [-f SCRIPT] [CALL ...]  (--help)\n");
  return kBadCall;
}

// --list: every member, or the one named.
int List(const std::vector<std::string>& arguments, size_t next) {
  if (next >= arguments.size()) {
    pv::host::PrintMemberList(stdout);
    return 0;
  }
  if (pv::host::PrintMember(stdout, arguments[next])) return 0;
  std::fprintf(stderr, "pictavor: no member %s (pictavor --list)\n", arguments[next].c_str());
  return kBadCall;
}

// Script lines that are calls: blank lines and # comments are skipped.
bool ReadScript(const std::string& path, std::vector<std::string>* calls) {
  pv::mem::Handle block = nullptr;
  if (pv::ReadFileToBlock(path, &block) != pv::Result::Ok) return false;
  pv::mem::Owned owned(block);
  pv::mem::Locked bytes(block);
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos || line[first] == '#') continue;
    calls->emplace_back(line.substr(first));
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments = pv::host::ProgramArguments(argc, argv);
  std::string blocksDir, scriptPath;
  std::vector<std::string> calls;
  bool explain = false;
  if (!arguments.empty() && arguments[0] == "replay") {
    pv::host::BatchOptions options;
    std::string error;
    if (!pv::host::ParseBatch(arguments, 1, &options, &error)) {
      std::fprintf(stderr, "pictavor: %s\n", error.c_str());
      return kBadCall;
    }
    pv::SetProgressStream(nullptr);
    return pv::host::RunBatch(options);
  }
  for (size_t i = 0; i < arguments.size(); ++i) {
    if (arguments[i] == "--help" || arguments[i] == "-h") {
      pv::host::PrintUsage(stdout);
      return 0;
    }
    if (arguments[i] == "--list") return List(arguments, i + 1);
    if (arguments[i] == "--explain")
      explain = true;
    else if (arguments[i] == "--blocks" && i + 1 < arguments.size())
      blocksDir = arguments[++i];
    else if (arguments[i] == "-f" && i + 1 < arguments.size())
      scriptPath = arguments[++i];
    else if (arguments[i].compare(0, 2, "--") == 0)
      return Usage();
    else
      calls.push_back(arguments[i]);
  }
  if (!scriptPath.empty() && !ReadScript(scriptPath, &calls)) {
    std::fprintf(stderr, "pictavor: cannot read script %s\n", scriptPath.c_str());
    return kBadCall;
  }
  std::string error;
  std::unique_ptr<pv::host::MemberRunner> runner = pv::host::CreateRunner(&error);
  if (!runner) {
    std::fprintf(stderr, "pictavor: %s\n", error.c_str());
    return kNoControl;
  }
  // Standard output carries one result line per call; the PNG writer's progress goes aside.
  pv::SetProgressStream(stderr);
  pv::host::Host host(pv::host::ResultStream(), blocksDir, std::move(runner));
  if (explain) host.ExplainResultsOn(stderr);
  for (size_t n = 0; n < calls.size(); ++n) {
    if (!host.Run(static_cast<int>(n + 1), calls[n], &error)) {
      std::fprintf(stderr, "pictavor: call %zu `%s`: %s\n", n + 1, calls[n].c_str(), error.c_str());
      return kBadCall;
    }
  }
  return 0;
}
