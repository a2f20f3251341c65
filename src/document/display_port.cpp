#include "document/display_port.h"

#include "base/bytes.h"

namespace pv {

std::array<int32_t, 256> HistogramCurve(const HistogramCounts& counts) {
  const int32_t largest = *std::max_element(counts.begin(), counts.end());
  const double scale = 1 - std::trunc(-1.1 * largest);
  std::array<int32_t, 256> y{};
  for (size_t i = 0; i < counts.size(); ++i)
    y[i] = kHistogramGraphHeight - TruncToDisplay(counts[i] / scale * 100.0);
  return y;
}

HistogramCounts TakeHistogramCounts(mem::Handle block) {
  const mem::Owned owned(block);
  const mem::Locked bytes(block);
  HistogramCounts counts{};
  for (size_t n = 0; n < counts.size() && 4 * n + 4 <= bytes.size(); ++n)
    counts[n] = ReadI32(bytes.data() + 4 * n);
  return counts;
}

bool DisplayPort::IsStandardCursor(uint16_t id) {
  // IDC_ARROW to IDC_UPARROW, IDC_SIZE to IDC_HELP (32647 was never assigned), IDC_PIN and
  // IDC_PERSON.
  return (id >= 32512 && id <= 32516) || (id >= 32640 && id <= 32651 && id != 32647) ||
         id == 32671 || id == 32672;
}

bool HeadlessDisplay::OuterSize(int32_t* width, int32_t* height) {
  *width = 0;
  *height = 0;
  return false;
}

Result HeadlessDisplay::BuildDisplayBitmap(mem::Handle dib) {
  if (!dib) return Result::BadParameter;
  DibLock lock(dib);
  hasBitmap_ = lock.status() == Result::Ok;
  return lock.status();
}

}  // namespace pv
