#include "host/host.h"

#include <cinttypes>

#include "base/result.h"
#include "host/call_parser.h"
#include "platform/file_io.h"
#include "platform/text_encoding.h"

namespace pv::host {
namespace {

// Blocks read from @ files live for one call: the member copies what it keeps.
struct InputBlocks {
  std::vector<mem::Owned> blocks;
};

bool BindLong(const Literal& literal, Arg* arg) {
  if (literal.kind != Literal::Kind::Integer) return false;
  // Hex spells a 32-bit pattern (0xFFFFFFFF is -1); decimal must fit.
  if (literal.integer < INT32_MIN || literal.integer > UINT32_MAX) return false;
  arg->i = static_cast<int32_t>(static_cast<uint32_t>(literal.integer));
  return true;
}

bool BindReal(const Literal& literal, Arg* arg) {
  if (literal.kind == Literal::Kind::Integer)
    arg->d = static_cast<double>(literal.integer);
  else if (literal.kind == Literal::Kind::Real)
    arg->d = literal.real;
  else
    return false;
  return true;
}

}  // namespace

Host::Host(std::FILE* out, std::string blocksDir, std::unique_ptr<MemberRunner> runner)
    : runner_(std::move(runner)), out_(out), blocksDir_(std::move(blocksDir)) {}

bool Host::BindArguments(const Member& member, const std::vector<Literal>& literals, Call* call,
                         std::string* error) {
  call->args.resize(member.params.size());
  size_t next = 0;
  for (size_t n = 0; n < member.params.size(); ++n) {
    const Param& param = member.params[n];
    if (!IsInput(param.kind)) continue;
    const Literal& literal = literals[next++];
    Arg& arg = call->args[n];
    bool bound = false;
    switch (param.kind) {
      case ParamKind::Long:
      case ParamKind::InOutLong: bound = BindLong(literal, &arg); break;
      case ParamKind::Double:
      case ParamKind::Float: bound = BindReal(literal, &arg); break;
      case ParamKind::String:
        bound = literal.kind == Literal::Kind::String;
        arg.s = literal.text;
        break;
      case ParamKind::Handle:
        if (literal.kind == Literal::Kind::File) {
          const Result read = ReadFileToBlock(literal.text, &arg.h);
          if (read != Result::Ok) {
            *error = "cannot read \"" + literal.text + "\"";
            return false;
          }
          bound = true;
        } else {
          bound = literal.kind == Literal::Kind::Integer && literal.integer == 0;
        }
        break;
      default: break;
    }
    if (!bound) {
      *error = std::string("wrong value for parameter ") + param.name;
      return false;
    }
  }
  return true;
}

bool Host::Run(int number, std::string_view text, std::string* error) {
  ParsedCall parsed;
  if (!ParseCall(text, &parsed, error)) return false;
  const Member* member = FindMember(parsed.name);
  if (!member) {
    *error = "unknown member " + parsed.name;
    return false;
  }
  if (member->needsWindow) {
    *error = member->CallName() + " needs the control's window, which this host does not have";
    return false;
  }
  if (parsed.args.size() != member->InputCount()) {
    *error = member->CallName() + " takes " + std::to_string(member->InputCount()) +
             " argument(s), not " + std::to_string(parsed.args.size());
    return false;
  }
  Call call;
  const bool bound = BindArguments(*member, parsed.args, &call, error);
  // Blocks handed in stay the caller's: free them once the member has run.
  std::vector<mem::Owned> inputs;
  for (size_t n = 0; n < call.args.size(); ++n)
    if (member->params[n].kind == ParamKind::Handle) inputs.emplace_back(call.args[n].h);
  if (!bound || !runner_->Run(*member, call, error)) return false;
  Report(number, *member, call);
  return true;
}

std::string Host::Block(int number, const char* name, mem::Handle block) {
  mem::Owned owned(block);
  if (!block) return "0";
  const size_t size = mem::Size(block);
  if (!blocksDir_.empty()) {
    mem::Locked bytes(block);
    const std::string path = blocksDir_ + "/" + std::to_string(number) + "." + name + ".bin";
    WriteBlockToFile(path, bytes.data(), bytes.size());
  }
  return std::to_string(size) + "B";
}

void Host::Report(int number, const Member& member, Call& call) {
  std::string line = member.CallName() + " ";
  if (member.returns == ReturnKind::Block)
    line += Block(number, "pVal", call.pValBlock);
  else
    line += std::to_string(call.pVal);
  for (size_t n = 0; n < member.params.size(); ++n) {
    const Param& param = member.params[n];
    const Arg& arg = call.args[n];
    char real[32];
    switch (param.kind) {
      case ParamKind::OutLong:
      case ParamKind::InOutLong:
        line += " " + std::string(param.name) + "=" + std::to_string(arg.i);
        break;
      case ParamKind::OutHandle:
        line += " " + std::string(param.name) + "=" + Block(number, param.name, arg.h);
        break;
      case ParamKind::OutDouble:
      case ParamKind::OutFloat:
        std::snprintf(real, sizeof real, "%.9g", arg.d);
        line += " " + std::string(param.name) + "=" + real;
        break;
      default: break;
    }
  }
  std::fprintf(out_, "%s\n", line.c_str());
  std::fflush(out_);
  if (explain_ && member.returns == ReturnKind::ResultCode && call.pVal != 0) {
    const std::string meaning = ResultMeaning(static_cast<int32_t>(call.pVal));
    std::fprintf(explain_, "pictavor: %s %lld: %s\n", member.CallName().c_str(),
                 static_cast<long long>(call.pVal), Utf8ToTerminal(meaning).c_str());
    std::fflush(explain_);
  }
}

}  // namespace pv::host
