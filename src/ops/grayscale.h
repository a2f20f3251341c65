// Grayscale conversion: any depth to an 8-bit image with the grey-ramp table.
#pragma once

#include <cstdint>

#include "dib/dib.h"

namespace pv {

// Method codes: 0 weights of 20 bits, 1 integer ratio 2:4:1, 2 equal thirds, 3 red, 4 green,
// 5 blue, 6 caller's weights (the low byte of the truncated sum), 7 desaturate.
struct GrayMethod {
  int32_t code = 0;
  double red = 0, green = 0, blue = 0;  // method 6 only
  // A known code, and for method 6 at least one non-zero weight.
  bool Valid() const;
};

// A new 8-bit grey DIB with the source's header fields, row for row.
Result ConvertToGray(const DibView& source, const GrayMethod& method, mem::Handle* out);

}  // namespace pv
