#include "automation/member_text.h"

#include "automation/invoke.h"

namespace pv {

const char* KindText(ParamKind kind) {
  switch (kind) {
    case ParamKind::Long: return "long";
    case ParamKind::Double: return "double";
    case ParamKind::Float: return "float";
    case ParamKind::String: return "string";
    case ParamKind::Handle: return "block";
    case ParamKind::OutLong: return "out long";
    case ParamKind::OutHandle: return "out block";
    case ParamKind::OutDouble: return "out double";
    case ParamKind::OutFloat: return "out float";
    case ParamKind::InOutLong: return "in/out long";
    case ParamKind::Property: return "property";
  }
  return "?";
}

const char* ReturnText(ReturnKind returns) {
  switch (returns) {
    case ReturnKind::ResultCode: return "a Result code";
    case ReturnKind::Value: return "a value";
    case ReturnKind::Block: return "a memory block, yours to free";
    case ReturnKind::None: return "nothing";
  }
  return "?";
}

const char* MemberKindText(MemberKind kind) {
  switch (kind) {
    case MemberKind::Method: return "method";
    case MemberKind::PropertyGet: return "property get";
    case MemberKind::PropertyPut: return "property put";
  }
  return "?";
}

std::string ParamText(const Param& param) {
  if (param.kind == ParamKind::Property) return "the control's property, logged with the call";
  std::string text = KindText(param.kind);
  const Range r = param.range;
  if (r.Bounded() && r.min == r.max) text += ", only " + std::to_string(r.min);
  if (r.Bounded() && r.min != r.max)
    text += ", " + std::to_string(r.min) + " to " + std::to_string(r.max);
  return text;
}

std::string CallName(const Declaration& declaration) {
  return CallName(declaration.name, declaration.kind);
}

std::string Signature(const Declaration& declaration) {
  std::string text = CallName(declaration) + "(";
  for (size_t n = 0; n < declaration.params.size(); ++n) {
    const Param& p = declaration.params[n];
    text += (n ? ", " : "") + std::string(p.name) + " " + KindText(p.kind);
  }
  return text + ")";
}

const char* LoggedText(const Member& row) {
  if (!LeavesLogEntry(row)) return "no";
  return row.recordsOwnEntry ? "yes, the entry of the operation it ran" : "yes, when it answers 0";
}

}  // namespace pv
