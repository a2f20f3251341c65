#include <iconv.h>

#include <cerrno>

#include "platform/text_encoding.h"

namespace pv {

std::string Utf8ToCp932(std::string_view utf8) {
  iconv_t cd = iconv_open("CP932", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(utf8);
  std::string out(utf8.size() * 2 + 4, '\0');  // CP932 never needs more bytes than UTF-8
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

}  // namespace pv
