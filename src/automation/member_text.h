// The words in which people are told about members: the command-line host's member list and
// the reference page both use them.
#pragma once

#include <string>

#include "automation/members.h"

namespace pv {

// "long", "out block", "in/out long"...
const char* KindText(ParamKind kind);
// What pVal receives: "a Result code", "a value"...
const char* ReturnText(ReturnKind returns);
// "method", "property get" or "property put".
const char* MemberKindText(MemberKind kind);
// The parameter's kind, with its range where the table bounds it ("long, 0 to 7"); for a
// Property parameter, that the control supplies it.
std::string ParamText(const Param& param);
// The call name as callers write it, properties as get_Name and put_Name.
std::string CallName(const Declaration& declaration);
// The call name with every parameter's name and kind: "Mosaic(iDim long)".
std::string Signature(const Declaration& declaration);
// Whether a call leaves a Log entry, in words: "yes, when it answers 0", "no"...
const char* LoggedText(const Member& row);

}  // namespace pv
