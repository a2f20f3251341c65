// The members of IPictavorCtl that need no window, declared once as data: name, DISPID,
// parameters in interface order and the behaviour. The command-line host, the COM object and
// replay all read this table.
#pragma once

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "automation/portable_control.h"
#include "platform/global_memory.h"

namespace pv {

enum class MemberKind : uint8_t { Method, PropertyGet, PropertyPut };

enum class ParamKind : uint8_t {
  Long,       // in long
  Double,     // in double
  Float,      // in float
  String,     // in BSTR
  Handle,     // in memory block (pointer-sized on 64-bit Windows)
  OutLong,    // long*
  OutHandle,  // long* receiving a block the caller then owns
  OutDouble,  // double*
  OutFloat,   // float*
  InOutLong,  // long*, read and written
  Property,   // not an interface parameter: the control's long property of this name, read when
              // the call is made and logged with the arguments (replay passes the logged value)
};

inline bool IsInput(ParamKind k) { return k <= ParamKind::Handle || k == ParamKind::InOutLong; }
// Whether callers pass the parameter (every kind but Property).
inline bool IsInterfaceParam(ParamKind k) { return k != ParamKind::Property; }

// What pVal receives.
enum class ReturnKind : uint8_t {
  ResultCode,  // a Result code, sign-extended from 16 bits
  Value,       // a queried value
  Block,       // a memory block the caller then owns (null: 0)
  None,        // property put: nothing
};

// The values of a long parameter that the operation takes; others are refused with 1. The
// whole of long where the operation sets no bounds of its own (or bounds that depend on the
// image). Dialogs and the host's member reference read it.
struct Range {
  int32_t min = INT32_MIN;
  int32_t max = INT32_MAX;
  bool Bounded() const { return min != INT32_MIN || max != INT32_MAX; }
};

struct Param {
  const char* name;
  ParamKind kind;
  Range range = {};
};

// One argument slot per parameter, in interface order.
struct Arg {
  int32_t i = 0;
  double d = 0;
  std::string s;
  mem::Handle h = nullptr;
};

struct Call {
  std::vector<Arg> args;
  int64_t pVal = 0;
  mem::Handle pValBlock = nullptr;
  // Set by a member that found it cannot run in this control: it needs to draw with the
  // window's GDI, which a host without a window lacks. Nothing was changed.
  bool needsWindow = false;

  int32_t Long(size_t n) const { return args[n].i; }
  int16_t Short(size_t n) const { return static_cast<int16_t>(args[n].i); }
  double Double(size_t n) const { return args[n].d; }
  // A float parameter: the number rounded to float, beyond float's range infinite as in IEEE.
  float Float(size_t n) const {
    const double d = args[n].d;
    if (std::isnan(d) || std::fabs(d) <= FLT_MAX) return static_cast<float>(d);
    return d > 0 ? HUGE_VALF : -HUGE_VALF;
  }
  uint32_t Unsigned(size_t n) const { return static_cast<uint32_t>(args[n].i); }
  const std::string& String(size_t n) const { return args[n].s; }
  mem::Handle Handle(size_t n) const { return args[n].h; }
  void SetResult(Result r) { pVal = ResultValue(r); }
  void SetValue(int32_t v) { pVal = v; }
  void SetUnsigned(uint32_t v) { pVal = v; }
  void SetBlock(mem::Handle h) { pValBlock = h; }
};

using MemberHandler = std::function<void(PortableControl& control, Call& call)>;

struct Member {
  const char* name;
  int32_t dispid;
  MemberKind kind;
  std::vector<Param> params;  // without pVal
  ReturnKind returns;
  bool logged;  // a zero Result code records a Log entry
  MemberHandler handler;
  bool needsWindow = false;  // hosts without the control's window cannot run it
  // The handler records a Log entry itself: a dialog's, of the operation it applied; a plugin
  // execution's, of the plugin run.
  bool recordsOwnEntry = false;

  // The name callers use: properties as get_Name and put_Name.
  std::string CallName() const;
  size_t InputCount() const;
};

// The name callers use for a member of this name and kind: properties as get_Name and put_Name.
std::string CallName(const char* name, MemberKind kind);

// The DLL's flat export of a member: PVC_ + call name forwarding to the member, none, or one
// that reads or writes the property's field itself.
enum class FlatExport : uint8_t { Forward, None, Field };

// A member as the interface description declares it, whether this control has its row or not.
struct Declaration {
  const char* name;
  int32_t dispid;
  MemberKind kind;
  std::vector<Param> params;
  FlatExport flatExport;
};
// Every member of the interface, in the description's order.
const std::vector<Declaration>& InterfaceDeclarations();

// The rows, each with the DISPID and parameters that the interface description declares.
const std::vector<Member>& Members();
// Rows whose own statements contradict the interface description (none, in a sound build).
const std::vector<std::string>& InterfaceDisagreements();
// Whether two names are the same ignoring ASCII case, as IDispatch compares them.
bool SameIgnoringCase(std::string_view a, std::string_view b);
// The member by its call name, ignoring case as IDispatch does; null when there is none.
const Member* FindMember(std::string_view callName);
// The member with this DISPID and kind; null when there is none.
const Member* FindMember(int32_t dispid, MemberKind kind);
// The method whose DISPID is `dispid` (an operation code of the log); null when there is none.
const Member* FindMethod(int32_t dispid);

}  // namespace pv
