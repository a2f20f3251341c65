// OLE_COLOR values as the control receives them, turned into COLORREFs without a palette.
#pragma once

#include <cstdint>

namespace pv {

// A plain RGB value (high byte 0) and palette-index and palette-relative values (high bytes 1
// and 2) stay as they are; 0x80000000 | index is a system colour, from the default colours of
// a standard Windows scheme since there is no display to ask. False for anything else.
bool TranslateOleColor(uint32_t color, uint32_t* colorref);

}  // namespace pv
