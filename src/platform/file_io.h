// Whole-file reads and writes between a path and a memory block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "image/result.h"
#include "platform/global_memory.h"

namespace pv {

// Reads the whole file into a new block: 2 when it cannot be opened, 4 when fewer bytes arrive
// than the file's length, 7 without memory.
Result ReadFileToBlock(const std::string& path, mem::Handle* block);
// Creates or truncates the file and writes the bytes: 2 when it cannot be created or written.
Result WriteBlockToFile(const std::string& path, const uint8_t* bytes, size_t size);

}  // namespace pv
