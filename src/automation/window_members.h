#pragma once

#include <vector>

#include "automation/members.h"

namespace pv {

// Appends the rows that reach the control's window: its cursor and its device contexts.
void AddWindowMembers(std::vector<Member>* table);

}  // namespace pv
