#include "automation/invoke.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "base/bytes.h"
#include "log/log_text.h"

namespace pv {
namespace {

// Where each logged argument lies in a parameter block.
struct Slot {
  size_t offset;
  size_t width;
};

std::vector<Slot> Layout(const Member& member, size_t* size) {
  std::vector<Slot> slots;
  size_t offset = 0, widest = 1;
  for (const Param& p : member.params) {
    const size_t width = p.kind == ParamKind::Double ? 8 : 4;
    offset = (offset + width - 1) / width * width;
    slots.push_back({offset, width});
    offset += width;
    widest = std::max(widest, width);
  }
  *size = (offset + widest - 1) / widest * widest;
  return slots;
}

// The current value of the control's long property `name`.
int32_t PropertyValue(PortableControl& control, const char* name) {
  const Member* get = FindMember(std::string("get_") + name);
  Call value;
  if (get) get->handler(control, value);
  return static_cast<int32_t>(value.pVal);
}

}  // namespace

size_t PackedSize(const Member& member) {
  size_t size = 0;
  Layout(member, &size);
  return size;
}

std::vector<uint8_t> PackArguments(const Member& member, const Call& call) {
  size_t size = 0;
  const std::vector<Slot> slots = Layout(member, &size);
  std::vector<uint8_t> block(size, 0);
  for (size_t n = 0; n < slots.size(); ++n) {
    uint8_t* p = block.data() + slots[n].offset;
    const Arg& arg = call.args[n];
    switch (member.params[n].kind) {
      case ParamKind::Double: std::memcpy(p, &arg.d, 8); break;
      case ParamKind::Float: {
        const float f = call.Float(n);
        std::memcpy(p, &f, 4);
        break;
      }
      default: WriteI32(p, arg.i); break;
    }
  }
  return block;
}

Call UnpackArguments(const Member& member, const std::vector<uint8_t>& block) {
  size_t size = 0;
  const std::vector<Slot> slots = Layout(member, &size);
  std::vector<uint8_t> bytes(block);
  bytes.resize(std::max(size, block.size()), 0);
  Call call;
  call.args.resize(member.params.size());
  for (size_t n = 0; n < slots.size(); ++n) {
    const uint8_t* p = bytes.data() + slots[n].offset;
    Arg& arg = call.args[n];
    switch (member.params[n].kind) {
      case ParamKind::Double: std::memcpy(&arg.d, p, 8); break;
      case ParamKind::Float: {
        float f;
        std::memcpy(&f, p, 4);
        arg.d = f;
        break;
      }
      default: arg.i = ReadI32(p); break;
    }
  }
  return call;
}

namespace {

void FillProperties(PortableControl& control, const Member& member, Call& call) {
  call.args.resize(std::max(call.args.size(), member.params.size()));
  for (size_t n = 0; n < member.params.size(); ++n)
    if (member.params[n].kind == ParamKind::Property)
      call.args[n].i = PropertyValue(control, member.params[n].name);
}

}  // namespace

void InvokeMember(PortableControl& control, const Member& member, Call& call) {
  FillProperties(control, member, call);
  member.handler(control, call);
  if (member.logged && call.pVal == 0) RecordCall(control, member, call);
}

void RecordCall(PortableControl& control, const Member& member, const Call& call) {
  control.log().RecordEntry(member.dispid, PackArguments(member, call));
}

bool LeavesLogEntry(const Member& member) {
  if (member.recordsOwnEntry) return true;
  // The parameter block as the log keeps it: a code without a display line is not recorded.
  const LogEntry kept{member.dispid,
                      std::vector<uint8_t>(OperationLog::ParameterSize(member.dispid), 0)};
  std::string line;
  return member.logged && FormatEntry(kept, &line);
}

Call PrepareCall(PortableControl& control, const Member& member,
                 const std::vector<double>& inputs) {
  Call call;
  call.args.resize(member.params.size());
  auto next = inputs.begin();
  for (size_t n = 0; n < member.params.size() && next != inputs.end(); ++n) {
    const ParamKind kind = member.params[n].kind;
    if (!IsInput(kind)) continue;
    if (kind == ParamKind::Double || kind == ParamKind::Float)
      call.args[n].d = *next;
    else if (kind != ParamKind::String && kind != ParamKind::Handle)
      call.args[n].i = static_cast<int32_t>(*next);
    ++next;
  }
  FillProperties(control, member, call);
  return call;
}

bool InvokeByName(PortableControl& control, std::string_view callName,
                  const std::vector<double>& inputs, Call* call) {
  const Member* member = FindMember(callName);
  if (!member) return false;
  *call = PrepareCall(control, *member, inputs);
  InvokeMember(control, *member, *call);
  return true;
}

}  // namespace pv
