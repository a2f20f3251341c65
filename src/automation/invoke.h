// Calling a member the way every caller does, and the Log entry that a successful call records.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "automation/members.h"

namespace pv {

// Runs the member; a logged member that reported 0 then records its Log entry.
void InvokeMember(PortableControl& control, const Member& member, Call& call);

// A call of the member as InvokeByName makes it, with the control's properties filled in.
Call PrepareCall(PortableControl& control, const Member& member, const std::vector<double>& inputs);
// Records the member's Log entry for the call, as a successful call of it does.
void RecordCall(PortableControl& control, const Member& member, const Call& call);
// Whether a successful call leaves a Log entry while logging is on: a row recorded after a zero
// Result code whose operation code the log keeps, or a row that records its own.
bool LeavesLogEntry(const Member& member);

// Calls a member as a host does, by its call name: `inputs` are its input parameters in order,
// missing ones 0 (strings and memory blocks are always empty), every output starts at 0. False
// when the control has no such member; nothing is done then.
bool InvokeByName(PortableControl& control, std::string_view callName,
                  const std::vector<double>& inputs, Call* call);

// The arguments as a parameter block: packed in order, 32-bit integers and floats as 4 bytes,
// doubles as 8 bytes aligned to 8, the block padded to its widest field.
std::vector<uint8_t> PackArguments(const Member& member, const Call& call);
// Bytes of the block PackArguments makes for the member.
size_t PackedSize(const Member& member);
// The inverse, for replay: arguments from a parameter block (missing bytes read as zero).
Call UnpackArguments(const Member& member, const std::vector<uint8_t>& block);

}  // namespace pv
