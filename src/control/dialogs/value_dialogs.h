// The dialogs that only choose values, without a preview: custom grayscale (113), trim (135),
// canvas size (145) and resize (112); and the palette dialog (117), which applies each change
// to the image at once and puts the snapshot back when cancelled. Each answers whether it ended
// with "決定".
#pragma once

#include "automation/dialog_port.h"
#include "automation/portable_control.h"
#include "control/com/com.h"

namespace pv::control {

bool RunCustomGrayscaleDialog(PortableControl& control, HWND controlWindow, GrayRatios* ratios);
bool RunTrimDialog(PortableControl& control, HWND controlWindow, TrimChoice* choice);
bool RunCanvasSizeDialog(PortableControl& control, HWND controlWindow, CanvasChoice* choice);
bool RunResizeDialog(PortableControl& control, HWND controlWindow, ScaleChoice* choice);
bool RunPaletteDialog(PortableControl& control, HWND controlWindow);

}  // namespace pv::control
