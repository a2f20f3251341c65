// What executes a member call for the host: the portable control in the same process, or on
// Windows the registered control through IDispatch. Parsing, binding and printing are the
// host's and the same for both.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "automation/invoke.h"

namespace pv::host {

class MemberRunner {
 public:
  virtual ~MemberRunner() = default;
  // Runs the member with the call's arguments and fills in its outputs; false, with the
  // reason, when the control could not run it at all (a Result code is no such failure).
  virtual bool Run(const Member& member, Call& call, std::string* error) = 0;
};

// The member table called directly on a control of this process.
class PortableRunner : public MemberRunner {
 public:
  bool Run(const Member& member, Call& call, std::string* error) override {
    InvokeMember(control_, member, call);
    if (call.needsWindow) *error = member.CallName() + " needs the control's window to draw";
    return !call.needsWindow;
  }

 private:
  PortableControl control_;
};

// The runner of this platform's `pictavor`: the portable control, or on Windows the
// registered control. Null, with the reason, when the control cannot be had.
std::unique_ptr<MemberRunner> CreateRunner(std::string* error);

#ifdef _WIN32
// A runner on a control the caller already holds (one in a container, say), through its
// IDispatch; the runner keeps its own reference.
std::unique_ptr<MemberRunner> CreateRunner(struct IDispatch* control);
#endif

// The program's arguments in UTF-8 (on Windows read as UTF-16 from the command line).
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Where result lines go: standard output, LF line ends. On Windows the control in the process
// prints to standard output too (its PNG progress); there the process's standard output is
// turned to standard error and the results keep the original to themselves.
std::FILE* ResultStream();

}  // namespace pv::host
