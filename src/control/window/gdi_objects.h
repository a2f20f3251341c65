// GDI objects that a drawing routine makes and selects for as long as it draws.
#pragma once

#include "control/com/com.h"

namespace pv::control {

// A new GDI object selected into a device context while it lives, then the previous one put
// back and the object deleted.
class Selected {
 public:
  Selected(HDC dc, HGDIOBJ object) : dc_(dc), object_(object), old_(SelectObject(dc, object)) {}
  ~Selected() {
    SelectObject(dc_, old_);
    DeleteObject(object_);
  }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  HDC dc_;
  HGDIOBJ object_;
  HGDIOBJ old_;
};

}  // namespace pv::control
