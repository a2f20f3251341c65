// The common file dialogs: image files to load and to save (the save dialog with its options
// template 151 and the JPEG options dialog 119, whose settings every control of the process
// shares), log files and log text files. Each answers whether the user chose a file.
#pragma once

#include <string>

#include "automation/dialog_port.h"
#include "automation/portable_control.h"
#include "control/com/com.h"

namespace pv::control {

bool ChooseImageToLoad(HWND owner, std::string* path);
bool ChooseImageToSave(PortableControl& control, HWND owner, SaveChoice* choice);
bool ChooseLogFile(HWND owner, bool forSaving, std::string* path);
bool ChooseLogTextFile(HWND owner, std::string* path);

}  // namespace pv::control
