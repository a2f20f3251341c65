// The dialogs that preview their operation on the control's image while a slider moves: mosaic
// (114), rotation (204), gamma (115), RGB gamma (116), contrast (118) and the binarisation
// threshold (202). Each answers whether it ended with "決定" and the values chosen.
#pragma once

#include "automation/dialog_port.h"
#include "automation/portable_control.h"
#include "control/com/com.h"

namespace pv::control {

bool RunMosaicDialog(PortableControl& control, HWND controlWindow, int32_t* size);
bool RunRotationDialog(PortableControl& control, HWND controlWindow, float* angle);
bool RunGammaDialog(PortableControl& control, HWND controlWindow, float* gamma);
bool RunRGBGammaDialog(PortableControl& control, HWND controlWindow, float* red, float* green,
                       float* blue);
bool RunContrastDialog(PortableControl& control, HWND controlWindow, int32_t* low, int32_t* high);
// The threshold chosen, -1 when cancelled.
int32_t RunThresholdDialog(PortableControl& control, HWND controlWindow, int32_t initial,
                           const HistogramCounts& counts);

}  // namespace pv::control
