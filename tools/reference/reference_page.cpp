#include "reference_page.h"

#include "automation/member_results.h"
#include "automation/member_text.h"
#include "base/result.h"

namespace pv {
namespace {

constexpr char kIntro[] = R"(# IPictavorCtl member reference

<!-- Written by pictavor_reference (tools/reference) from the member table; edit the table, not
this page. -->

Every member of the automation interface `IPictavorCtl` of `Pictavor.dll`, in the interface's
order (the order of its vtable slots after `IDispatch`'s).

## Calling the members

- **Through COM**: `IPictavorCtl` is a dual interface; scripts reach every member by name
  through `IDispatch`, C and C++ through the vtable.
- **Through the flat C API**: both DLLs, 32-bit and 64-bit, export a function `PVC_` followed
  by the member's call name (`PVC_Load`, `PVC_get_AutoScroll`) for every member but the four
  whose section says "no flat export". It takes the `IPictavorCtl` pointer first, then the
  member's parameters in order, then `pVal`, and uses the standard-call convention
  (`__stdcall`: the function removes its arguments). `pictavor.h` in the build's `sdk/include`
  declares them; the 32-bit import library also offers the decorated names
  (`_PVC_GetWidth@8`).
- **HRESULT**: always `S_OK`. Failures travel in `pVal`, never in the `HRESULT` (a null `pVal`
  or interface pointer is refused with `E_POINTER` before the member runs).
- **Properties** are two members each, as the interface declares them: `get_Name`, whose `pVal`
  carries the value, and `put_Name`, which takes it and hands nothing back. Both have the
  property's DISPID and a vtable slot of their own.
- **Parameters** are listed in order without `pVal`. Kinds: `long`, `double`, `float`,
  `string` (a `BSTR`), `block` (a global memory handle: pointer-sized in the 64-bit DLL), `out`
  and `in/out` for pointers the member writes through. A range says which values the member
  takes; others are refused with 1. A `property` parameter is not passed: the member reads the
  control's property of that name when it runs, and logs its value with the call.
- **Result codes**: a member whose `pVal` is a Result code puts 0 there on success, otherwise
  one of the codes its section lists (sign-extended from 16 bits). Three come up in many
  sections: 1 also answers a call through the DLL that passes a null pointer for an out
  parameter (nothing runs); 5, an image the control holds but the operations refuse (a BMP
  with bit-field masks loads and is kept); 6 and 7, a change whose display bitmap the window
  cannot make.
- **Logged**: whether a successful call records a Log entry in the Operation log while logging
  is on.
- **Needs the control's window**: a host without the window (such as the command-line host
  `pictavor`) cannot run the member.
)";

std::string Code(const std::string& text) { return "`" + text + "`"; }

std::string Capitalised(std::string text) {
  if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 32);
  return text;
}

std::string MessageText(const ResultText& row) {
  if (row.message) return row.message;
  return row.code == Result::Ok ? row.meaning : std::string("(no message) ") + row.meaning;
}

std::string ResultCodeTable() {
  std::string text = "\n## Result codes\n\n| Code | Message |\n|---|---|\n";
  for (const ResultText& row : ResultTable())
    text += "| " + std::to_string(ResultValue(row.code)) + " | " + MessageText(row) + " |\n";
  return text;
}

std::string ResultLine(int32_t code) {
  const ResultText* row = FindResult(code);
  return std::to_string(code) + ": " + (row ? MessageText(*row) : ResultMeaning(code));
}

std::string ExportText(const Declaration& d) {
  const std::string name = Code("PVC_" + CallName(d));
  switch (d.flatExport) {
    case FlatExport::Forward: return "Flat export " + name + ".";
    case FlatExport::None: return "No flat export.";
    case FlatExport::Field:
      return "Flat export " + name +
             ", which works on the property's field itself: no property notifications, no "
             "repaint, no return value.";
  }
  return "";
}

std::string ParamTable(const std::vector<Param>& params) {
  if (params.empty()) return "No parameters.\n";
  std::string text = "| Parameter | Kind |\n|---|---|\n";
  for (const Param& p : params) text += "| " + Code(p.name) + " | " + ParamText(p) + " |\n";
  return text;
}

std::string ResultCodesText(const Member& row, const MemberResults* entry) {
  if (row.returns != ReturnKind::ResultCode) return "- Result codes: none, pVal is no code.\n";
  if (!entry) return "- Result codes: not listed.\n";
  std::string text = "- Result codes:\n  - " + ResultLine(0) + "\n";
  for (int32_t code : entry->codes) text += "  - " + ResultLine(code) + "\n";
  if (entry->handsOn) text += "  - " + std::string(entry->handsOn) + "\n";
  return text;
}

std::string MemberSection(size_t number, const Declaration& d) {
  std::string text = "\n### " + std::to_string(number) + ". " + Code(CallName(d)) + "\n\n";
  text += Capitalised(MemberKindText(d.kind)) + ", DISPID " + std::to_string(d.dispid) + ". " +
          ExportText(d) + "\n\n";
  const Member* row = FindMember(d.dispid, d.kind);
  if (!row) return text + ParamTable(d.params) + "\nNot in the member table.\n";
  text += ParamTable(row->params) + "\n";
  text += "- pVal: " + std::string(ReturnText(row->returns)) + ".\n";
  text += ResultCodesText(*row, ResultsOf(CallName(d)));
  text += "- Logged: " + std::string(LoggedText(*row)) + ".\n";
  text += "- Needs the control's window: " + std::string(row->needsWindow ? "yes" : "no") + ".\n";
  return text;
}

}  // namespace

std::string ReferencePage() {
  std::string page = kIntro + ResultCodeTable() + "\n## Members\n";
  const auto& declarations = InterfaceDeclarations();
  for (size_t n = 0; n < declarations.size(); ++n) page += MemberSection(n + 1, declarations[n]);
  return page;
}

}  // namespace pv
