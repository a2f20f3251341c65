// pictavor [--blocks DIR] [-f SCRIPT] [CALL ...]
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "formats/progress.h"
#include "host/host.h"

namespace {

constexpr int kBadCall = 2;

int Usage() {
  std::fprintf(stderr, "usage: pictavor [--blocks DIR] [-f SCRIPT] [CALL ...]\n");
  return kBadCall;
}

// Script lines that are calls: blank lines and # comments are skipped.
bool ReadScript(const std::string& path, std::vector<std::string>* calls) {
  std::ifstream script(path);
  if (!script) return false;
  std::string line;
  while (std::getline(script, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == '#') continue;
    calls->push_back(line.substr(start));
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::string blocksDir, scriptPath;
  std::vector<std::string> calls;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--blocks") == 0 && i + 1 < argc)
      blocksDir = argv[++i];
    else if (std::strcmp(argv[i], "-f") == 0 && i + 1 < argc)
      scriptPath = argv[++i];
    else if (argv[i][0] == '-' && argv[i][1] == '-')
      return Usage();
    else
      calls.emplace_back(argv[i]);
  }
  if (!scriptPath.empty() && !ReadScript(scriptPath, &calls)) {
    std::fprintf(stderr, "pictavor: cannot read script %s\n", scriptPath.c_str());
    return kBadCall;
  }
  // Standard output carries one result line per call; the PNG writer's progress goes aside.
  pv::SetProgressStream(stderr);
  pv::host::Host host(stdout, blocksDir);
  for (size_t n = 0; n < calls.size(); ++n) {
    std::string error;
    if (!host.Run(static_cast<int>(n + 1), calls[n], &error)) {
      std::fprintf(stderr, "pictavor: call %zu `%s`: %s\n", n + 1, calls[n].c_str(), error.c_str());
      return kBadCall;
    }
  }
  return 0;
}
