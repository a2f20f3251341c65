// A modal dialog that shows its operation on the control's image while it is open: the image as
// it was when the dialog opened (the snapshot) with the operation applied at the values shown.
// "決定" keeps the last preview; "ｷｬﾝｾﾙ" puts the snapshot back. The static 1001, when the
// dialog has one, is its owner-drawn pane of 256 x 100 pixels.
#pragma once

#include "control/dialogs/modal_dialog.h"

namespace pv::control {

constexpr int kPaneItem = 1001;

class PreviewDialog : public ModalDialog {
 public:
  using ModalDialog::ModalDialog;
  ~PreviewDialog() override;

 protected:
  // Takes the snapshot and draws the pane; no preview yet.
  BOOL OnInit() override;
  INT_PTR OnConfirm() override;
  INT_PTR OnCancel() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;

  // The snapshot with the operation applied, shown at once whatever AutoRepaint says.
  void Preview();
  // Whether a preview has been made since the dialog opened.
  bool previewed() const { return previewed_; }

  // The operation at the values shown.
  virtual Result Apply() = 0;
  // The pane after a change of the image, and its paint.
  virtual void UpdatePane() {}
  virtual void PaintPane(HDC) {}

 private:
  void RedrawPane();
  void ReleaseSnapshot();

  // Null when the control has no image (or no copy of it could be made): nothing is previewed
  // then, so there is nothing to put back.
  mem::Handle snapshot_ = nullptr;
  bool open_ = false;
  bool previewed_ = false;
};

}  // namespace pv::control
