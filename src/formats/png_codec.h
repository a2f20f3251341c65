// PNG files.
#pragma once

#include <cstdint>

#include "base/result.h"
#include "platform/global_memory.h"

namespace pv {

class PngCodec {
 public:
  // Reads a whole file image into a new DIB: 8-bit grey, 8-bit RGB (16-bit RGB reduced to 8)
  // and palette pictures. 3 when the bytes are not a PNG, 5 for colour types and depths the
  // model does not take (opacity, grey other than 8 bits), 7 for any library failure.
  // Palette pictures get a full colour table; biClrUsed is the PLTE entry count.
  Result Read(mem::Handle file, mem::Handle* dib) const;
  // Writes palette DIBs as palette PNGs of their depth and deeper ones as 8-bit RGB of the
  // picture they hold, with gAMA 1.0 and tIME, printing progress lines (formats/progress.h).
  // 7 for any library failure.
  Result Write(mem::Handle dib, mem::Handle* file, int32_t* fileBytes) const;
};

}  // namespace pv
