// What `pictavor` tells people: its usage and the member table as a reference.
#pragma once

#include <cstdio>
#include <string_view>

namespace pv::host {

void PrintUsage(std::FILE* out);
// Every member of the interface, one line each.
void PrintMemberList(std::FILE* out);
// One member in full; false when there is no member of that call name.
bool PrintMember(std::FILE* out, std::string_view callName);

}  // namespace pv::host
