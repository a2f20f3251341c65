// Replay of Log entries against the current image.
#pragma once

#include <cstdint>

#include "automation/portable_control.h"

namespace pv {

// Performs one entry through the operation of its code; 1 for a code without one.
Result ReplayEntry(PortableControl& control, const LogEntry& entry);
// Performs the listed entries in list order (indices outside the log are skipped), or all of
// them when `indices` is null, with logging and automatic repaint off; paints once at the end.
void ReplayEntries(PortableControl& control, const int32_t* indices, size_t count);
// The ExecuteLog member: a block of 32-bit entry indices, or null for every entry.
Result ExecuteLog(PortableControl& control, mem::Handle indices, int32_t count);

}  // namespace pv
