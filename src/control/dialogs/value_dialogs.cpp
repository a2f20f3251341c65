#include "control/dialogs/value_dialogs.h"

namespace pv::control {

bool RunCustomGrayscaleDialog(PortableControl&, HWND, GrayRatios*) { return false; }
bool RunTrimDialog(PortableControl&, HWND, TrimChoice*) { return false; }
bool RunCanvasSizeDialog(PortableControl&, HWND, CanvasChoice*) { return false; }
bool RunResizeDialog(PortableControl&, HWND, ScaleChoice*) { return false; }
bool RunPaletteDialog(PortableControl&, HWND) { return false; }

}  // namespace pv::control
