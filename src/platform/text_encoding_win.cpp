#include <windows.h>

#include "platform/text_encoding.h"

namespace pv {

std::string Utf8ToCp932(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int size = static_cast<int>(utf8.size());
  const int wide = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  std::wstring text(wide, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, text.data(), wide);
  const int bytes = WideCharToMultiByte(932, 0, text.data(), wide, nullptr, 0, "?", nullptr);
  std::string out(bytes, '\0');
  WideCharToMultiByte(932, 0, text.data(), wide, out.data(), bytes, "?", nullptr);
  return out;
}

}  // namespace pv
