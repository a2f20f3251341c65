#include "ops/binarization.h"

namespace pv {

Result Threshold(const DibView& dib, int threshold) {
  if (dib.bitCount() != 8) return Result::BadBitDepth;
  uint8_t* p = dib.bits;
  const size_t bytes = dib.imageBytes();
  for (size_t i = 0; i < bytes; ++i) p[i] = p[i] < threshold ? 0 : 255;
  return Result::Ok;
}

}  // namespace pv
