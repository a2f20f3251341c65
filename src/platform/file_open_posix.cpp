#include <sys/stat.h>

#include "platform/file_io.h"

namespace pv {

std::FILE* OpenFile(const std::string& path, const char* mode) {
  // A name with a NUL in it names no file (the C string would end early).
  if (path.find('\0') != std::string::npos) return nullptr;
  std::FILE* file = std::fopen(path.c_str(), mode);
  // A folder opens here as a file whose length reads as huge: it is a file that cannot be read.
  struct stat status;
  if (file && (fstat(fileno(file), &status) != 0 || S_ISDIR(status.st_mode))) {
    std::fclose(file);
    return nullptr;
  }
  return file;
}

}  // namespace pv
