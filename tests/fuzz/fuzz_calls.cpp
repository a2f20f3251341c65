// The host's call parser on arbitrary script lines; nothing is run.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "host/call_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view script(reinterpret_cast<const char*>(data), size);
  for (size_t start = 0; start <= script.size();) {
    const size_t end = std::min(script.find('\n', start), script.size());
    pv::host::ParsedCall call;
    std::string error;
    if (!pv::host::ParseCall(script.substr(start, end - start), &call, &error) && error.empty())
      __builtin_trap();  // a refusal always says why
    start = end + 1;
  }
  return 0;
}
