#include "automation/ole_color.h"

#include <iterator>

namespace pv {
namespace {

constexpr uint32_t Rgb(uint32_t red, uint32_t green, uint32_t blue) {
  return red | green << 8 | blue << 16;
}

// System colours 0 (scroll bar) to 30 (menu bar) of the standard scheme.
constexpr uint32_t kSystemColors[] = {
    Rgb(212, 208, 200), Rgb(58, 110, 165),
    Rgb(10, 36, 106),   Rgb(128, 128, 128),  // scroll bar .. inactive caption
    Rgb(212, 208, 200), Rgb(255, 255, 255),
    Rgb(0, 0, 0),       Rgb(0, 0, 0),  // menu .. menu text
    Rgb(0, 0, 0),       Rgb(255, 255, 255),
    Rgb(212, 208, 200), Rgb(212, 208, 200),  // window text .. inactive border
    Rgb(128, 128, 128), Rgb(10, 36, 106),
    Rgb(255, 255, 255), Rgb(212, 208, 200),  // app workspace .. button face
    Rgb(128, 128, 128), Rgb(128, 128, 128),
    Rgb(0, 0, 0),       Rgb(212, 208, 200),  // button shadow .. inactive caption text
    Rgb(255, 255, 255), Rgb(64, 64, 64),
    Rgb(212, 208, 200), Rgb(0, 0, 0),  // button highlight .. info text
    Rgb(255, 255, 225), Rgb(181, 181, 181),
    Rgb(0, 0, 128),     Rgb(166, 202, 240),  // info background .. gradient active caption
    Rgb(192, 192, 192), Rgb(10, 36, 106),
    Rgb(212, 208, 200),  // gradient inactive caption .. menu bar
};

}  // namespace

bool TranslateOleColor(uint32_t color, uint32_t* colorref) {
  switch (color >> 24) {
    case 0x00:
    case 0x01:
    case 0x02: *colorref = color; return true;
    case 0x80: {
      const uint32_t index = color & 0xFF;
      if (index >= std::size(kSystemColors)) return false;
      *colorref = kSystemColors[index];
      return true;
    }
    default: return false;
  }
}

}  // namespace pv
