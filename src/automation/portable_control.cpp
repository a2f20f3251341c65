#include "automation/portable_control.h"

namespace pv {

void PortableControl::MirrorProperties() {
  document_.set_auto_repaint(properties_.autoRepaint);
  document_.set_auto_scroll(properties_.autoScroll);
  document_.set_size_mode(properties_.paintSizeMode);
}

}  // namespace pv
