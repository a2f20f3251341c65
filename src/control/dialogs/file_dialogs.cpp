#include "control/dialogs/file_dialogs.h"

namespace pv::control {

bool ChooseImageToLoad(HWND, std::string*) { return false; }
bool ChooseImageToSave(HWND, SaveChoice*) { return false; }
bool ChooseLogFile(HWND, bool, std::string*) { return false; }
bool ChooseLogTextFile(HWND, std::string*) { return false; }

}  // namespace pv::control
