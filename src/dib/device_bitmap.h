// Device bitmaps (an HBITMAP, passed as an opaque pointer) turned into the image model's DIBs.
// Only Windows has them: elsewhere no bitmap can be read.
#pragma once

#include "platform/global_memory.h"

namespace pv {

// A new DIB with the bitmap's pixels: 1, 4 or 8 bits for palette bitmaps, 24 for every deeper
// one; null when the bitmap cannot be read.
mem::Handle DibFromBitmap(void* bitmap);

}  // namespace pv
