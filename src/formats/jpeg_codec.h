// JPEG (JFIF) files.
#pragma once

#include <cstdint>

#include "base/result.h"
#include "platform/global_memory.h"

namespace pv {

class JpegCodec {
 public:
  // Reads a whole file image into a new DIB: 8-bit grey or 24-bit. 3 when the bytes are not a
  // JPEG, are broken, or hold a colour space the model does not take (CMYK); 7 without memory.
  Result Read(mem::Handle file, mem::Handle* dib) const;
  // Writes an 8-bit DIB as grey (its index bytes) or a 24-bit DIB as colour; format 2 is
  // progressive, anything else baseline; quality above 100 acts as 100. 8 for other depths,
  // 7 for any library failure.
  Result Write(mem::Handle dib, mem::Handle* file, int32_t* fileBytes, int16_t format,
               int16_t quality) const;
};

}  // namespace pv
