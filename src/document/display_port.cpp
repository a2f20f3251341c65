#include "document/display_port.h"

namespace pv {

bool DisplayPort::IsStandardCursor(uint16_t id) {
  // IDC_ARROW to IDC_UPARROW, IDC_SIZE to IDC_HELP (32647 was never assigned), IDC_PIN and
  // IDC_PERSON.
  return (id >= 32512 && id <= 32516) || (id >= 32640 && id <= 32651 && id != 32647) ||
         id == 32671 || id == 32672;
}

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
