#include "platform/file_io.h"

namespace pv {

std::FILE* OpenFile(const std::string& path, const char* mode) {
  // A name with a NUL in it names no file (the C string would end early).
  if (path.find('\0') != std::string::npos) return nullptr;
  return std::fopen(path.c_str(), mode);
}

}  // namespace pv
