#include <iconv.h>
#include <langinfo.h>

#include <clocale>

#include <cerrno>

#include "platform/text_encoding.h"

namespace pv {

namespace {

std::string Utf8ToCharset(std::string_view utf8, const char* charset) {
  iconv_t cd = iconv_open(charset, "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(utf8);
  // Byte encodings never need more than four bytes for a character UTF-8 spells in one.
  std::string out(utf8.size() * 4 + 4, '\0');
  char* in = const_cast<char*>(utf8.data());
  size_t inLeft = utf8.size();
  char* dst = out.data();
  size_t outLeft = out.size();
  while (inLeft > 0 && iconv(cd, &in, &inLeft, &dst, &outLeft) == static_cast<size_t>(-1)) {
    if (errno != EILSEQ && errno != EINVAL) break;
    // Skip the whole UTF-8 sequence that has no CP932 form.
    do {
      ++in;
      --inLeft;
    } while (inLeft > 0 && (static_cast<unsigned char>(*in) & 0xC0) == 0x80);
    *dst++ = '?';
    --outLeft;
  }
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return out;
}

}  // namespace

std::string Utf8ToCp932(std::string_view utf8) { return Utf8ToCharset(utf8, "CP932"); }

std::string Utf8ToTerminal(std::string_view utf8) {
  static const std::string charset = [] {
    setlocale(LC_CTYPE, "");
    const char* codeset = nl_langinfo(CODESET);
    return std::string(codeset ? codeset : "UTF-8");
  }();
  if (charset == "UTF-8" || charset == "utf8") return std::string(utf8);
  return Utf8ToCharset(utf8, charset.c_str());
}

}  // namespace pv
