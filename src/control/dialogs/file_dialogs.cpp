#include "control/dialogs/file_dialogs.h"

#include "control/com/module.h"
#include "control/dialogs/jpeg_options_dialog.h"
#include "control/dialogs/modal_dialog.h"
#include "platform/text_encoding.h"
// Its print-dialog interfaces, unused here, do not compile as C interfaces with constant
// vtables; without STDMETHOD it leaves them out.
#pragma push_macro("STDMETHOD")
#undef STDMETHOD
#include <commdlg.h>
#pragma pop_macro("STDMETHOD")

namespace pv::control {
namespace {

// Display text and pattern of each type, in the order of the filter's entries.
constexpr wchar_t kImageFilter[] =
    L"JPEG - JFIF 準拠(*.jpg,*jpeg)\0*.jpg;*jpeg\0"
    L"Windows Bitmap (*.bmp)\0*.bmp\0"
    L"Portable Network Graphics (*.png)\0*.png\0"
    L"Tagged Image File Format (*.tif)\0*.tif\0";
constexpr wchar_t kLogFilter[] = L"履歴ﾌｧｲﾙ (*.pvr)\0*.pvr\0";
constexpr wchar_t kLogTextFilter[] = L"履歴保存ﾌｧｲﾙ (*.txt)\0*.txt\0";

constexpr DWORD kOpenFlags = OFN_EXPLORER | OFN_CREATEPROMPT | OFN_HIDEREADONLY;
constexpr DWORD kSaveFlags = kOpenFlags | OFN_OVERWRITEPROMPT | OFN_NOREADONLYRETURN;
constexpr int kOptionsButton = 4101;

// One file dialog: its structure, the file and title buffers, and the answer.
class FileDialog {
 public:
  FileDialog(HWND owner, const wchar_t* filter, const wchar_t* defaultExtension, DWORD flags) {
    info_.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    info_.hwndOwner = owner;
    info_.hInstance = ModuleInstance();
    info_.lpstrFilter = filter;
    info_.nFilterIndex = 1;
    info_.lpstrFile = file_;
    info_.nMaxFile = MAX_PATH;
    info_.lpstrFileTitle = title_;
    info_.nMaxFileTitle = MAX_PATH;
    info_.lpstrDefExt = defaultExtension;
    info_.Flags = flags;
  }
  OPENFILENAMEW& info() { return info_; }

  // Shows it; the chosen path in UTF-8.
  bool Ask(bool forSaving, std::string* path) {
    if (!(forSaving ? GetSaveFileNameW(&info_) : GetOpenFileNameW(&info_))) return false;
    *path = WideToUtf8(file_);
    return true;
  }

 private:
  OPENFILENAMEW info_{};
  wchar_t file_[MAX_PATH] = {};
  wchar_t title_[MAX_PATH] = {};
};

// The format and quality the save dialog's selected type stands for, and what the options
// dialog needs to open over it.
struct SaveState {
  PortableControl& control;
  SaveChoice* choice;
  int type = 0;  // the filter entry, from 0
};

// Each entry's extension, appended to a name typed without one.
constexpr const wchar_t* kTypeExtensions[] = {L"jpg", L"bmp", L"png", L"tif"};

void SelectType(SaveState* state, HWND options, int type) {
  static constexpr int16_t kFormats[] = {0, 4, 6, 3};
  state->type = type;
  const bool jpeg = type == 0;
  const JpegSettings settings = ProcessJpegSettings();
  state->choice->format = jpeg ? settings.variant : kFormats[type];
  state->choice->quality = jpeg ? settings.quality : 0;
  EnableWindow(options, jpeg);
}

UINT_PTR CALLBACK SaveHook(HWND child, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<SaveState*>(GetWindowLongPtrW(child, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      state = reinterpret_cast<SaveState*>(reinterpret_cast<OPENFILENAMEW*>(lParam)->lCustData);
      SetWindowLongPtrW(child, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
      SetWindowPos(GetDlgItem(child, kEnterButton), nullptr, -1000, -1000, 10, 10, SWP_NOZORDER);
      SelectType(state, GetDlgItem(child, kOptionsButton), 0);
      return TRUE;
    case WM_NOTIFY: {
      const auto* notice = reinterpret_cast<const OFNOTIFYW*>(lParam);
      if (!state || notice->hdr.code != CDN_TYPECHANGE) return FALSE;
      const int type = static_cast<int>(notice->lpOFN->nFilterIndex) - 1;
      if (type < 0 || type > 3) return FALSE;
      SelectType(state, GetDlgItem(child, kOptionsButton), type);
      SendMessageW(GetParent(child), CDM_SETDEFEXT, 0,
                   reinterpret_cast<LPARAM>(kTypeExtensions[type]));
      return FALSE;
    }
    case WM_COMMAND:
      if (!state || LOWORD(wParam) != kOptionsButton || state->type != 0) return FALSE;
      if (RunJpegOptionsDialog(state->control))
        SelectType(state, GetDlgItem(child, kOptionsButton), 0);
      return TRUE;
    default: return FALSE;
  }
}

}  // namespace

bool ChooseImageToLoad(HWND owner, std::string* path) {
  FileDialog dialog(owner, kImageFilter, nullptr, kOpenFlags);
  return dialog.Ask(false, path);
}

// The type chosen gives the format, whatever extension the name has.
bool ChooseImageToSave(PortableControl& control, HWND owner, SaveChoice* choice) {
  SaveState state{control, choice};
  FileDialog dialog(owner, kImageFilter, kTypeExtensions[0],
                    kSaveFlags | OFN_ENABLEHOOK | OFN_ENABLETEMPLATE);
  dialog.info().lpfnHook = SaveHook;
  dialog.info().lpTemplateName = MAKEINTRESOURCEW(151);
  dialog.info().lCustData = reinterpret_cast<LPARAM>(&state);
  return dialog.Ask(true, &choice->path);
}

bool ChooseLogFile(HWND owner, bool forSaving, std::string* path) {
  FileDialog dialog(owner, kLogFilter, L"pvr", forSaving ? kSaveFlags : kOpenFlags);
  return dialog.Ask(forSaving, path);
}

bool ChooseLogTextFile(HWND owner, std::string* path) {
  FileDialog dialog(owner, kLogTextFilter, L"txt", kSaveFlags);
  return dialog.Ask(true, path);
}

}  // namespace pv::control
