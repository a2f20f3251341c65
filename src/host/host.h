// The command-line host: runs calls by member name against one control instance.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "automation/members.h"
#include "host/runner.h"

namespace pv::host {

class Host {
 public:
  // Result lines go to `out`; blocks handed out are also written under `blocksDir` when set.
  // The calls run through `runner`.
  Host(std::FILE* out, std::string blocksDir,
       std::unique_ptr<MemberRunner> runner = std::make_unique<PortableRunner>());

  // Runs call number `number` (from 1). False, with the reason, when the call could not be
  // run: a syntax error, an unknown member, a wrong argument, an unreadable @ file, a call the
  // control refused.
  bool Run(int number, std::string_view text, std::string* error);
  // After each call that answers a non-zero Result code, a line on `explain` with its meaning,
  // in the terminal's encoding.
  void ExplainResultsOn(std::FILE* explain) { explain_ = explain; }

 private:
  bool BindArguments(const Member& member, const std::vector<struct Literal>& literals, Call* call,
                     std::string* error);
  void Report(int number, const Member& member, Call& call);
  std::string Block(int number, const char* name, mem::Handle block);

  std::unique_ptr<MemberRunner> runner_;
  std::FILE* out_;
  std::string blocksDir_;
  std::FILE* explain_ = nullptr;
};

}  // namespace pv::host
