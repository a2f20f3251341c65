#include "document/display_port.h"

namespace pv {

bool HeadlessDisplay::OuterSize(int32_t* width, int32_t* height) {
  *width = 0;
  *height = 0;
  return false;
}

Result HeadlessDisplay::BuildDisplayBitmap(mem::Handle dib) {
  if (!dib) return Result::BadParameter;
  DibLock lock(dib);
  hasBitmap_ = lock.status() == Result::Ok;
  return lock.status();
}

}  // namespace pv
