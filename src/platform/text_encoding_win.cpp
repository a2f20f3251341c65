#include <windows.h>

#include "platform/text_encoding.h"

namespace pv {
namespace {

// UTF-16 of bytes in `codePage`; with MB_ERR_INVALID_CHARS, empty for bytes it does not hold.
std::wstring Widen(std::string_view bytes, DWORD flags, UINT codePage = CP_UTF8) {
  const int size = static_cast<int>(bytes.size());
  const int chars =
      size > 0 ? MultiByteToWideChar(codePage, flags, bytes.data(), size, nullptr, 0) : 0;
  std::wstring wide(chars > 0 ? chars : 0, L'\0');
  if (chars > 0) MultiByteToWideChar(codePage, flags, bytes.data(), size, wide.data(), chars);
  return wide;
}

}  // namespace

bool Utf8ToWide(std::string_view utf8, std::wstring* wide) {
  *wide = Widen(utf8, MB_ERR_INVALID_CHARS);
  return utf8.empty() || !wide->empty();
}

std::wstring Utf8ToWide(std::string_view utf8) { return Widen(utf8, MB_ERR_INVALID_CHARS); }

std::wstring Cp932ToWide(std::string_view cp932) { return Widen(cp932, 0, 932); }

std::string WideToUtf8(std::wstring_view wide) {
  const int chars = static_cast<int>(wide.size());
  const int bytes =
      chars > 0 ? WideCharToMultiByte(CP_UTF8, 0, wide.data(), chars, nullptr, 0, nullptr, nullptr)
                : 0;
  std::string out(bytes > 0 ? bytes : 0, '\0');
  if (bytes > 0)
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), chars, out.data(), bytes, nullptr, nullptr);
  return out;
}

namespace {

std::string Utf8ToCodePage(std::string_view utf8, UINT codePage) {
  const std::wstring text = Widen(utf8, 0);
  if (text.empty()) return {};
  const int wide = static_cast<int>(text.size());
  const int bytes = WideCharToMultiByte(codePage, 0, text.data(), wide, nullptr, 0, "?", nullptr);
  std::string out(bytes > 0 ? bytes : 0, '\0');
  if (bytes > 0)
    WideCharToMultiByte(codePage, 0, text.data(), wide, out.data(), bytes, "?", nullptr);
  return out;
}

}  // namespace

std::string Utf8ToCp932(std::string_view utf8) { return Utf8ToCodePage(utf8, 932); }

std::string Utf8ToTerminal(std::string_view utf8) {
  const UINT codePage = GetConsoleOutputCP();
  if (codePage == CP_UTF8) return std::string(utf8);
  return Utf8ToCodePage(utf8, codePage ? codePage : GetACP());
}

}  // namespace pv
