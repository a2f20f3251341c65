#include "automation/portable_control.h"

#include "automation/ole_color.h"

namespace pv {

void PortableControl::MirrorProperties() {
  document_.set_auto_repaint(properties_.autoRepaint);
  document_.set_auto_scroll(properties_.autoScroll);
  document_.set_size_mode(properties_.paintSizeMode);
  const ControlProperties& p = properties_;
  document_.set_draw_attributes({p.drawPenColor, p.drawPenStyle, p.drawPenWidth, p.drawFillColor,
                                 p.drawFillStyle, p.drawFontColor, p.drawType});
}

void PortableControl::RefreshBackground() {
  uint32_t colorref = 0;
  if (TranslateOleColor(properties_.backColor, &colorref)) document_.set_background_color(colorref);
}

}  // namespace pv
