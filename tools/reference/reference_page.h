// The member reference as Markdown: every member of IPictavorCtl in the interface's order, from
// the member table, with the Result codes each answers.
#pragma once

#include <string>

namespace pv {

std::string ReferencePage();

}  // namespace pv
