// Feeds arbitrary bytes to the .pvr reader at each insert position; every record read is also
// given its display line.
#include <cstddef>
#include <cstdint>

#include "log/operation_log.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  pv::OperationLog log;
  for (int32_t position : {-1, 0, 1, -2, 5, -3}) log.LoadLogBytes(data, size, position);
  return 0;
}
