#include "control/dialogs/preview_dialog.h"

namespace pv::control {

PreviewDialog::~PreviewDialog() { ReleaseSnapshot(); }

BOOL PreviewDialog::OnInit() {
  snapshot_ = document().GetDIB();
  open_ = true;
  if (HWND pane = Item(kPaneItem))
    SetWindowPos(pane, nullptr, 0, 0, 256, kHistogramGraphHeight, SWP_NOMOVE | SWP_NOZORDER);
  UpdatePane();
  return TRUE;
}

INT_PTR PreviewDialog::OnConfirm() {
  ReleaseSnapshot();
  return 1;
}

INT_PTR PreviewDialog::OnCancel() {
  if (snapshot_) {
    document().SetDIB(snapshot_);
    if (document().auto_repaint() == 0) control().ForceRepaint();
  }
  ReleaseSnapshot();
  return 0;
}

void PreviewDialog::ReleaseSnapshot() {
  mem::Free(snapshot_);
  snapshot_ = nullptr;
  open_ = false;
}

void PreviewDialog::Preview() {
  // Focus changes while the dialog ends still reach it: the image is no longer its own then.
  if (!open_ || !snapshot_) return;
  ImageDocument& d = document();
  const int32_t autoRepaint = d.auto_repaint();
  d.set_auto_repaint(0);
  if (d.SetDIB(snapshot_) == Result::Ok) Apply();
  control().ForceRepaint();
  d.set_auto_repaint(autoRepaint);
  previewed_ = true;
  UpdatePane();
  RedrawPane();
}

void PreviewDialog::RedrawPane() {
  if (HWND pane = Item(kPaneItem))
    RedrawWindow(pane, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

bool PreviewDialog::OnMessage(UINT message, WPARAM, LPARAM lParam, INT_PTR* result) {
  if (message != WM_DRAWITEM) return false;
  const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
  if (!item || item->CtlID != kPaneItem) return false;
  PaintPane(item->hDC);
  *result = TRUE;
  return true;
}

}  // namespace pv::control
