// Whole-file reads and writes between a path and a memory block. Paths are UTF-8 everywhere;
// on Windows they reach the file system as UTF-16, so any Unicode name works on any locale.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "base/result.h"
#include "platform/global_memory.h"

namespace pv {

// Opens a file by its UTF-8 path with an fopen mode; null when it cannot be opened.
std::FILE* OpenFile(const std::string& path, const char* mode);

// Reads the whole file into a new block: 2 when it cannot be opened, 4 when fewer bytes arrive
// than the file's length, 7 without memory.
Result ReadFileToBlock(const std::string& path, mem::Handle* block);
// Creates or truncates the file and writes the bytes: 2 when it cannot be created or written.
Result WriteBlockToFile(const std::string& path, const uint8_t* bytes, size_t size);

}  // namespace pv
