// What `pictavor` tells people: its usage, the member table as a reference, and what a Result
// code means.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace pv::host {

void PrintUsage(std::FILE* out);
// Every member of the interface, one line each.
void PrintMemberList(std::FILE* out);
// One member in full; false when there is no member of that call name.
bool PrintMember(std::FILE* out, std::string_view callName);
// The code's message (UTF-8), or its meaning for the codes without one.
std::string ResultMeaning(int32_t code);

}  // namespace pv::host
