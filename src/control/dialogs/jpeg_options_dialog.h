// The JPEG options dialog (119, "ｵﾌﾟｼｮﾝ") of the save dialog, and the JPEG settings it keeps
// for the whole process: every control saves with what the user chose last.
#pragma once

#include <cstdint>

#include "automation/portable_control.h"

namespace pv::control {

struct JpegSettings {
  int16_t variant = 1;   // the save format: 1 baseline, 2 progressive
  int16_t quality = 70;  // 1..100 as the dialog offers it
};

JpegSettings ProcessJpegSettings();

// Opens over the active window with the process's settings; on "決定" they become the chosen
// ones. Whether the user confirmed.
bool RunJpegOptionsDialog(PortableControl& control);

}  // namespace pv::control
