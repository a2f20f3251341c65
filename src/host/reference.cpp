#include "host/reference.h"

#include <algorithm>

#include "automation/invoke.h"
#include "automation/member_text.h"

namespace pv::host {
namespace {

constexpr char kUsage[] = R"(usage: pictavor [--blocks DIR] [--explain] [-f SCRIPT] [CALL ...]
       pictavor --list [NAME]
       pictavor --help
       pictavor replay LOG.pvr --out DIR [--format bmp|png|jpg|tif] [--quality Q]
                [--jobs N] [--force] FILE...

Runs automation calls on one Pictavor control, in order, and prints a line per call:
the member's name and what pVal received, then every other out parameter as name=value.

A call is NAME(ARGUMENTS): integers (decimal or 0x hex), floating numbers, "strings"
(with \" and \\), and for a memory block 0 or @"FILE", a new block holding the file's
bytes. Properties are get_NAME() and put_NAME(VALUE). For example:

  pictavor 'Load("in.bmp", 0, 0)' 'Grayscale(0, 0.299, 0.587, 0.114)' 'Save("out.png", 6, 0, 0)'

  --blocks DIR   also write each memory block a call hands out to DIR/CALL.PARAMETER.bin
  --explain      after a call that answers a non-zero Result code, say what it means
                 (on standard error)
  -f SCRIPT      read the calls from SCRIPT, one a line; blank lines and # comments skipped
  --list [NAME]  every member with its parameters, or one member in full

Exit status 0 when every call ran, whatever Result codes they answered; 2 for a call that
could not run (its message names it; the calls before it have run).

replay: each FILE loaded, the whole log replayed on it and the result saved in DIR under
the file's name, in FORMAT (default: the file's own), by N worker processes (default: one
per core). Exit status 1 when some picture failed (each is named with its step and Result
code), 2 when nothing could start. Inputs are never overwritten; outputs only with --force.
)";

}  // namespace

void PrintUsage(std::FILE* out) { std::fputs(kUsage, out); }

void PrintMemberList(std::FILE* out) {
  for (const Declaration& d : InterfaceDeclarations()) {
    const Member* row = FindMember(d.dispid, d.kind);
    std::string line = Signature(d);
    if (!row) {
      line += "  [not in this host]";
    } else {
      line += std::string(" -> ") + ReturnText(row->returns);
      if (LeavesLogEntry(*row)) line += "  [logged]";
      if (row->needsWindow) line += "  [needs the window]";
    }
    std::fprintf(out, "%s\n", line.c_str());
  }
}

bool PrintMember(std::FILE* out, std::string_view callName) {
  const auto& all = InterfaceDeclarations();
  const auto d = std::find_if(all.begin(), all.end(), [&](const Declaration& m) {
    return SameIgnoringCase(CallName(m), callName);
  });
  if (d == all.end()) return false;
  std::fprintf(out, "%s  (%s, DISPID %d)\n", CallName(*d).c_str(), MemberKindText(d->kind),
               static_cast<int>(d->dispid));
  for (const Param& p : d->params) std::fprintf(out, "  %-16s %s\n", p.name, ParamText(p).c_str());
  const Member* row = FindMember(d->dispid, d->kind);
  if (!row) {
    std::fprintf(out, "  not in this host: it needs a part of the control this host lacks\n");
    return true;
  }
  for (const Param& p : row->params)
    if (p.kind == ParamKind::Property)
      std::fprintf(out, "  %-16s %s\n", p.name, ParamText(p).c_str());
  std::fprintf(out, "  %-16s %s\n", "pVal", ReturnText(row->returns));
  std::fprintf(out, "  %-16s %s\n", "logged", LoggedText(*row));
  std::fprintf(out, "  %-16s %s\n", "needs window", row->needsWindow ? "yes" : "no");
  return true;
}

}  // namespace pv::host
