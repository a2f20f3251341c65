#include "platform/file_io.h"
#include "platform/text_encoding.h"

namespace pv {

std::FILE* OpenFile(const std::string& path, const char* mode) {
  // A name that is not UTF-8, or has a NUL in it, names no file.
  std::wstring widePath;
  if (!Utf8ToWide(path, &widePath) || widePath.find(L'\0') != std::wstring::npos) return nullptr;
  const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
  return _wfopen(widePath.c_str(), wideMode.c_str());
}

}  // namespace pv
