#include "control/dialogs/slider_dialogs.h"

namespace pv::control {

bool RunMosaicDialog(PortableControl&, HWND, int32_t*) { return false; }
bool RunRotationDialog(PortableControl&, HWND, float*) { return false; }
bool RunGammaDialog(PortableControl&, HWND, float*) { return false; }
bool RunRGBGammaDialog(PortableControl&, HWND, float*, float*, float*) { return false; }
bool RunContrastDialog(PortableControl&, HWND, int32_t*, int32_t*) { return false; }
int32_t RunThresholdDialog(PortableControl&, HWND, int32_t, const HistogramCounts&) { return -1; }

}  // namespace pv::control
