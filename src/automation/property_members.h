#pragma once

#include <vector>

#include "automation/members.h"

namespace pv {

// Appends the get and put rows of the control's long properties.
void AddPropertyMembers(std::vector<Member>* table);

}  // namespace pv
