// The palette dialog: every entry of the colour table in a list, the selected entry's red,
// green and blue in three edit boxes with up-downs, a swatch of the colour edited, and "適応",
// which puts that colour into the table at once. "ｷｬﾝｾﾙ" puts the image back as it was.
#include "control/dialogs/value_dialogs.h"

#include <commctrl.h>

#include <cstdio>

#include "automation/dialog_members.h"
#include "control/dialogs/choice_dialog.h"
#include "platform/text_encoding.h"

namespace pv::control {
namespace {

constexpr int kPaletteResource = 117;
constexpr int kList = 1601, kSwatch = 1001, kApply = 4103;
constexpr int kFirstEdit = 1101, kFirstUpDown = 1301;  // red, green, blue in id order

std::wstring Number(int value) {
  wchar_t text[16];
  std::swprintf(text, 16, L"%d", value);
  return text;
}

int Channel(int32_t colour, int channel) { return (colour >> (8 * channel)) & 0xFF; }

class PaletteDialog : public ChoiceDialog {
 public:
  PaletteDialog(PortableControl& control, HWND controlWindow)
      : ChoiceDialog(control, controlWindow), snapshot_(control.document().GetDIB()) {}
  ~PaletteDialog() override {
    if (brush_) DeleteObject(brush_);
  }
  bool HasSnapshot() const { return static_cast<bool>(snapshot_); }

 protected:
  BOOL OnInit() override;
  INT_PTR OnCancel() override {
    document().SetDIB(snapshot_.get());
    control().ForceRepaint();
    return 0;
  }
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;
  bool OnCommand(int id, int code) override;

 private:
  HWND List() const { return Item(kList); }
  void AddColumns();
  void ShowRow(int row, int32_t colour, bool inserted);
  void Notified(const NMHDR& header);
  void SelectEntry(int row);
  void ChannelEdited(int channel);
  void Apply();
  INT_PTR SwatchBrush();

  mem::Owned snapshot_;
  int rows_ = 0;
  int selected_ = -1;
  int32_t colour_ = 0;  // the COLORREF the edit boxes hold
  HBRUSH brush_ = nullptr;
  int32_t brushColour_ = 0;
};

BOOL PaletteDialog::OnInit() {
  SendMessageW(List(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES,
               LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  AddColumns();
  Result read = Result::Ok;
  const std::vector<int32_t> table = ColourTable(document(), &read);
  for (const int32_t colour : table) ShowRow(rows_++, colour, true);
  for (int channel = 0; channel < 3; ++channel) {
    LimitText(kFirstEdit + channel, 3);
    SendMessageW(Item(kFirstUpDown + channel), UDM_SETRANGE32, 0, 255);
  }
  return TRUE;
}

void PaletteDialog::AddColumns() {
  struct Column {
    const char* title;
    int width, format;
  };
  static constexpr Column columns[] = {{"ﾊﾟﾚｯﾄ", 50, LVCFMT_LEFT},
                                       {"R", 40, LVCFMT_CENTER},
                                       {"G", 40, LVCFMT_CENTER},
                                       {"B", 40, LVCFMT_CENTER}};
  for (int n = 0; n < 4; ++n) {
    std::wstring title = Utf8ToWide(columns[n].title);
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = columns[n].format;
    column.cx = columns[n].width;
    column.pszText = title.data();
    column.iSubItem = n;
    SendMessageW(List(), LVM_INSERTCOLUMNW, n, reinterpret_cast<LPARAM>(&column));
  }
}

// The entry's index, then its red, green and blue.
void PaletteDialog::ShowRow(int row, int32_t colour, bool inserted) {
  for (int column = inserted ? 0 : 1; column < 4; ++column) {
    std::wstring text = Number(column == 0 ? row : Channel(colour, column - 1));
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.iSubItem = column;
    item.pszText = text.data();
    const UINT message = column == 0 ? LVM_INSERTITEMW : LVM_SETITEMTEXTW;
    SendMessageW(List(), message, column == 0 ? 0 : row, reinterpret_cast<LPARAM>(&item));
  }
}

bool PaletteDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) {
  switch (message) {
    case WM_NOTIFY:
      if (wParam == kList) Notified(*reinterpret_cast<const NMHDR*>(lParam));
      return false;
    case WM_VSCROLL: {  // an up-down's arrow: its edit box follows
      const int channel = GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) - kFirstUpDown;
      if (channel < 0 || channel > 2 || LOWORD(wParam) == SB_ENDSCROLL) return false;
      const auto position = SendMessageW(Item(kFirstUpDown + channel), UDM_GETPOS32, 0, 0);
      SetItemText(kFirstEdit + channel, std::to_string(position));
      *result = TRUE;
      return true;
    }
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lParam) != Item(kSwatch) || selected_ < 0) return false;
      *result = SwatchBrush();
      return true;
    default: return ChoiceDialog::OnMessage(message, wParam, lParam, result);
  }
}

// A click selects a row, or gives the edit boxes its colour again; the keyboard and the
// list's own deselection arrive as state changes.
void PaletteDialog::Notified(const NMHDR& header) {
  if (header.code == NM_CLICK) {
    const int row = reinterpret_cast<const NMITEMACTIVATE&>(header).iItem;
    if (row >= 0 && row < rows_) SelectEntry(row);
    return;
  }
  if (header.code != LVN_ITEMCHANGED) return;
  const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
  if (!(change.uChanged & LVIF_STATE)) return;
  const bool was = change.uOldState & LVIS_SELECTED, is = change.uNewState & LVIS_SELECTED;
  if (is && !was && change.iItem >= 0 && change.iItem < rows_) SelectEntry(change.iItem);
  if (was && !is && (change.iItem == selected_ || change.iItem == -1)) {
    selected_ = -1;
    InvalidateRect(Item(kSwatch), nullptr, TRUE);
  }
}

void PaletteDialog::SelectEntry(int row) {
  int32_t colour = 0;
  if (document().GetPalette(row, &colour) != Result::Ok) return;
  selected_ = row;
  for (int channel = 0; channel < 3; ++channel)
    SetItemText(kFirstEdit + channel, std::to_string(Channel(colour, channel)));
}

bool PaletteDialog::OnCommand(int id, int code) {
  if (id == kApply && code == BN_CLICKED) {
    Apply();
    return true;
  }
  if (id < kFirstEdit || id > kFirstEdit + 2 || code != EN_CHANGE) return false;
  ChannelEdited(id - kFirstEdit);
  return true;
}

// A value beyond 0..255 counts as the end of the range it is beyond, as the up-down shows it.
void PaletteDialog::ChannelEdited(int channel) {
  const int32_t typed = Integer(kFirstEdit + channel);
  const int32_t value = typed < 0 ? 0 : typed > 255 ? 255 : typed;
  SendMessageW(Item(kFirstUpDown + channel), UDM_SETPOS32, 0, value);
  colour_ = (colour_ & ~(0xFF << (8 * channel))) | value << (8 * channel);
  InvalidateRect(Item(kSwatch), nullptr, TRUE);
}

void PaletteDialog::Apply() {
  if (selected_ < 0) return;
  document().SetPalette(selected_, colour_);
  control().ForceRepaint();
  int32_t now = 0;
  if (document().GetPalette(selected_, &now) == Result::Ok) ShowRow(selected_, now, false);
}

INT_PTR PaletteDialog::SwatchBrush() {
  if (!brush_ || brushColour_ != colour_) {
    if (brush_) DeleteObject(brush_);
    brush_ = CreateSolidBrush(static_cast<COLORREF>(colour_));
    brushColour_ = colour_;
  }
  return reinterpret_cast<INT_PTR>(brush_);
}

}  // namespace

// Without a copy of the image to put back, nothing may be changed.
bool RunPaletteDialog(PortableControl& control, HWND controlWindow) {
  PaletteDialog dialog(control, controlWindow);
  if (!dialog.HasSnapshot()) return false;
  return dialog.Run(kPaletteResource) == 1;
}

}  // namespace pv::control
