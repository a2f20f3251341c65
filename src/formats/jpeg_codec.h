// Jpeg files.
#pragma once

#include <cstdint>

#include "image/result.h"
#include "platform/global_memory.h"

namespace pv {

class JpegCodec {
 public:
  // Reads a whole file image into a new DIB; 3 when the bytes are not in this format.
  Result Read(mem::Handle file, mem::Handle* dib) const;
  Result Write(mem::Handle dib, mem::Handle* file, int32_t* fileBytes, int16_t quality) const;
};

}  // namespace pv
