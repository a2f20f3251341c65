// The Result codes each member can answer, kept beside the member rows: the reference page
// lists them, and the tests hold every member's answers to them.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace pv {

struct MemberResults {
  const char* callName;
  std::vector<int32_t> codes;  // ascending; 0, success, is left out
  // Codes from outside the control that the member hands on, in words; null: none.
  const char* handsOn = nullptr;
};

// One entry per member, in the interface's order. A member whose pVal is a value, a block or
// nothing has no codes.
const std::vector<MemberResults>& MemberResultTable();
// The entry of a call name as the table writes it; null when there is none.
const MemberResults* ResultsOf(std::string_view callName);

}  // namespace pv
