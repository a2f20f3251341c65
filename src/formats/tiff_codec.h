// TIFF files: uncompressed 8-bit and 24-bit strip images, written and read without a library.
#pragma once

#include <cstdint>

#include "base/result.h"
#include "platform/global_memory.h"

namespace pv {

class TiffCodec {
 public:
  // Reads the first image of an "II" or "MM" file into a new DIB. 3 when the byte-order mark
  // is missing; 5 for anything else the reader does not take or that points outside the file
  // (compression, bit counts other than 8 and 24, missing strips, bad offsets); 7 without memory.
  Result Read(mem::Handle file, mem::Handle* dib) const;
  // Writes an 8-bit (with ColorMap) or 24-bit DIB in one fixed little-endian layout; 8 for
  // other depths, 7 without memory.
  Result Write(mem::Handle dib, mem::Handle* file, int32_t* fileBytes) const;
};

}  // namespace pv
