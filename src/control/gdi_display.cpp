#include "control/gdi_display.h"

#include "platform/gdi_bitmap.h"

namespace pv::control {

Result GdiDisplay::BuildDisplayBitmap(mem::Handle dib) {
  DeleteDisplayBitmap();
  if (!dib) return Result::BadParameter;
  return DibToSection(dib, &dc_, &section_, &bits_);
}

void GdiDisplay::DeleteDisplayBitmap() {
  if (section_) DeleteObject(section_);
  if (dc_) DeleteDC(dc_);
  dc_ = nullptr;
  section_ = nullptr;
  bits_ = nullptr;
}

}  // namespace pv::control
