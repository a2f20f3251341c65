// Arbitrary .pvr files read and exported as the log's text, a line per entry.
#include <cstddef>
#include <cstdint>

#include "log/operation_log.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  pv::OperationLog log;
  if (log.LoadLogBytes(data, size, -2) != pv::Result::Ok) return 0;
  if (log.lines().size() != log.entries().size()) __builtin_trap();
  log.SaveLogTextFile("/dev/null");
  return 0;
}
