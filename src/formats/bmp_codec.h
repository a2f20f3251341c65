// Windows bitmap files: a 14-byte file header in front of the DIB.
#pragma once

#include <cstdint>

#include "base/result.h"
#include "platform/global_memory.h"

namespace pv {

class BmpCodec {
 public:
  // Reads a whole BMP file into a new DIB. 3 when the bytes are not a BMP file; 5 for a header
  // the model cannot hold. Short colour tables are widened to the full table (zero entries).
  Result Read(mem::Handle file, mem::Handle* dib) const;
  // Writes the DIB as a new BMP file block.
  Result Write(mem::Handle dib, mem::Handle* file, int32_t* fileBytes) const;
  // Expands a DIB with biCompression 1 (RLE8) or 2 (RLE4) into a plain one.
  Result ExpandRle8(mem::Handle compressed, mem::Handle* dib) const;
  Result ExpandRle4(mem::Handle compressed, mem::Handle* dib) const;
};

}  // namespace pv
