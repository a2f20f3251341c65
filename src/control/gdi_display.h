// The display of a control that has no window yet: no size, no scroll bars, nothing to paint,
// but its display bitmap is a real DIB section, the one GetBITMAP hands out.
#pragma once

#include "control/com.h"
#include "image/display_port.h"

namespace pv::control {

class GdiDisplay : public HeadlessDisplay {
 public:
  GdiDisplay() = default;
  ~GdiDisplay() override { DeleteDisplayBitmap(); }
  GdiDisplay(const GdiDisplay&) = delete;
  GdiDisplay& operator=(const GdiDisplay&) = delete;

  Result BuildDisplayBitmap(mem::Handle dib) override;
  void DeleteDisplayBitmap() override;
  bool HasDisplayBitmap() const override { return section_ != nullptr; }
  void* DisplayBitmap() const override { return section_; }

 private:
  HDC dc_ = nullptr;
  HBITMAP section_ = nullptr;
  void* bits_ = nullptr;
};

}  // namespace pv::control
