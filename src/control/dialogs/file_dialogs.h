// The common file dialogs: image files to load and to save (with the save dialog's options
// template 151 and the JPEG options dialog 119, whose settings are the process's), log files
// and log text files.
#pragma once

#include <string>

#include "automation/dialog_port.h"
#include "control/com/com.h"

namespace pv::control {

bool ChooseImageToLoad(HWND owner, std::string* path);
bool ChooseImageToSave(HWND owner, SaveChoice* choice);
bool ChooseLogFile(HWND owner, bool forSaving, std::string* path);
bool ChooseLogTextFile(HWND owner, std::string* path);

}  // namespace pv::control
