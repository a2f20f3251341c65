#pragma once

#include <vector>

#include "automation/members.h"

namespace pv {

// Appends the rows of the plugin members; a control without plugins answers them as with an
// empty registry value.
void AddPluginMembers(std::vector<Member>* table);

}  // namespace pv
