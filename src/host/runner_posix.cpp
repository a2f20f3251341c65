#include "host/runner.h"

namespace pv::host {

std::unique_ptr<MemberRunner> CreateRunner(std::string*) {
  return std::make_unique<PortableRunner>();
}

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

std::FILE* ResultStream() { return stdout; }

}  // namespace pv::host
