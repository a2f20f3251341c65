// User-interface text reaches users in code page 932 (Shift-JIS, half-width katakana included);
// sources hold it as UTF-8 and convert here, at the boundary.
#pragma once

#include <string>
#include <string_view>

namespace pv {

// CP932 bytes of UTF-8 text; characters CP932 lacks become '?'.
std::string Utf8ToCp932(std::string_view utf8);
// UTF-8 text in the encoding of the terminal or console the process writes to (the locale's
// character set; on Windows the console's output code page); characters it lacks become '?'.
std::string Utf8ToTerminal(std::string_view utf8);

#ifdef _WIN32
// UTF-16 of UTF-8 text; false for bytes that are not UTF-8.
bool Utf8ToWide(std::string_view utf8, std::wstring* wide);
// The same for the system's own texts, which are UTF-8: empty for bytes that are not.
std::wstring Utf8ToWide(std::string_view utf8);
// UTF-16 of CP932 text (the system's on-screen bytes).
std::wstring Cp932ToWide(std::string_view cp932);
// UTF-8 of UTF-16 text (an unpaired surrogate becomes U+FFFD).
std::string WideToUtf8(std::wstring_view wide);
#endif

}  // namespace pv
