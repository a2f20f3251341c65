#include "dib/device_bitmap.h"

namespace pv {

mem::Handle DibFromBitmap(void*) { return nullptr; }

}  // namespace pv
