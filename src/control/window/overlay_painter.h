// The Draw overlay's items drawn with GDI.
#pragma once

#include <vector>

#include "control/com/com.h"
#include "document/overlay.h"

namespace pv::control {

// Draws `items` in order into `dc`; an item at DIB point (X, Y) lands on (sx·X + ox, sy·Y + oy).
// The device context's state is restored afterwards.
void PaintOverlay(HDC dc, const std::vector<OverlayItem>& items, float sx, float sy, int ox,
                  int oy);

}  // namespace pv::control
