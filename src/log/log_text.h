// The one-line Japanese description of every Log entry.
#pragma once

#include <string>

#include "log/operation_log.h"

namespace pv {

// The entry's display line in CP932; false for an operation code that has none.
bool FormatEntry(const LogEntry& entry, std::string* line);

}  // namespace pv
