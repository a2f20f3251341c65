// A modal dialog met as a user meets it: found by its title while the thread that opened it
// runs its modal loop, its controls worked by id through window messages from a helper thread,
// what it shows read back.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace pv::wintest {

class DialogUser {
 public:
  explicit DialogUser(HWND dialog) : dialog_(dialog) {}
  HWND window() const { return dialog_; }
  HWND Item(int id) const { return GetDlgItem(dialog_, id); }

  // A slider dragged to `position` and released: the thumb's track, then the end of tracking.
  void Slide(int id, int position);
  // A slider's thumb dragged to `position` and still held.
  void Drag(int id, int position);
  // A scroll bar's arrow or page area clicked, or its ends reached: one SB_ code.
  void Scroll(int id, int code);
  // An up-down's arrow clicked to `position`, which it reports with the position.
  void UpDown(int id, int position);
  // The edit box's whole text replaced, as typing does (each change notified).
  void Type(int id, const std::string& text);
  // Return pressed in the item (the focus moves there first), as the keyboard sends it.
  void PressReturn(int id);
  // The focus moved from wherever it is to the item.
  void Focus(int id);
  // A button, check box or radio button clicked.
  void Click(int id);
  // A list-view row clicked (selected and focused).
  void SelectRow(int id, int row);
  // "決定" and "ｷｬﾝｾﾙ", which end the dialog.
  void Confirm();
  void Cancel();

  // What the dialog shows: texts in CP932 bytes.
  std::string Text(int id) const;
  int SliderPosition(int id) const;
  int ScrollPosition(int id) const;
  int UpDownPosition(int id) const;
  bool Checked(int id) const;
  bool Enabled(int id) const;
  std::string RowText(int id, int row, int column) const;
  int RowCount(int id) const;

  // Waits until the keys and clicks posted so far have been handled.
  void Settle() const;

  // File dialogs: the name typed into the file name box, the type chosen from the list (by its
  // entry), the dialog's own default button pressed or the dialog cancelled; the template's
  // child dialog that holds the application's own controls.
  void TypeFileName(const std::string& path);
  void ChooseFileType(int entry);
  void PressDefault();
  void Dismiss();
  DialogUser Template() const;

 private:
  // Until the dialog has ended (5 s at most).
  void AwaitClosed() const;

  HWND dialog_;
};

// Runs `act` while a helper thread waits for the visible dialog titled `title` (UTF-8) and hands
// it to `drive`, which ends it; a dialog `drive` leaves open is cancelled (and the test fails).
// Whether the dialog showed.
bool WithDialog(const char* title, const std::function<void(DialogUser&)>& drive,
                const std::function<void()>& act);
// The same for the file dialog (open or save) that `act` shows.
bool WithFileDialog(const std::function<void(DialogUser&)>& drive,
                    const std::function<void()>& act);
// While it lives, a helper thread cancels every dialog that this thread opens: for code that
// opens dialogs nobody is there to answer.
class DialogCanceller {
 public:
  DialogCanceller();
  ~DialogCanceller();
  DialogCanceller(const DialogCanceller&) = delete;
  DialogCanceller& operator=(const DialogCanceller&) = delete;

 private:
  struct State;
  State* state_;
};

// From a helper thread: the visible dialog titled `title` once it shows (null after 5 s).
HWND AwaitDialog(const char* title);

}  // namespace pv::wintest
