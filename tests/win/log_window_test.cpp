// The log window as a user meets it: found by its title, its list read back, its menu commands
// sent as WM_COMMAND and its message boxes answered.
#include <cstdio>

#include "embedded.h"
#include "test_support.h"
#include "ui_watch.h"

namespace pv::wintest {
namespace {

enum : WPARAM {
  kLoadInserting = 32779,
  kDelete = 32787,
  kStartLogging = 32788,
  kStopLogging = 32789,
  kRunAll = 32792,
  kRunSelected = 32793,
};

class LogWindow : public Embedded {
 protected:
  void SetUp() override {
    Embedded::SetUp();
    if (HasFatalFailure()) return;
    log_ = FindWindowW(nullptr, L"操作履歴");
    ASSERT_TRUE(log_) << "created with the control's window";
    list_ = GetDlgItem(log_, 1601);
    ASSERT_TRUE(list_);
  }
  LONG Show(LONG state) {
    LONG v = -1;
    EXPECT_EQ(control_->DispLogDialog(state, &v), S_OK);
    return v;
  }
  void Command(WPARAM id) { SendMessageW(log_, WM_COMMAND, id, 0); }
  LONG TurnOver(LONG direction) {
    LONG v = -1;
    EXPECT_EQ(control_->TurnOver(direction, &v), S_OK);
    return v;
  }
  // The list's lines as CP932, the bytes the entries' display lines are.
  std::vector<std::string> ListLines() {
    std::vector<std::string> lines;
    const LRESULT count = SendMessageW(list_, LB_GETCOUNT, 0, 0);
    for (LRESULT n = 0; n < count; ++n) {
      std::wstring text(static_cast<size_t>(SendMessageW(list_, LB_GETTEXTLEN, n, 0)), L'\0');
      SendMessageW(list_, LB_GETTEXT, n, reinterpret_cast<LPARAM>(text.data()));
      lines.push_back(Cp932(text));
    }
    return lines;
  }
  bool Checked(WPARAM id) {
    return (GetMenuState(GetMenu(log_), static_cast<UINT>(id), MF_BYCOMMAND) & MF_CHECKED) != 0;
  }

  HWND log_ = nullptr, list_ = nullptr;
};

TEST_F(LogWindow, ShowingStartsLoggingAndHidingLeavesItOn) {
  EXPECT_FALSE(IsWindowVisible(log_)) << "created hidden";
  ShowIndexed(8, 8, 8, [](int32_t x, int32_t) { return x * 30u; });
  EXPECT_EQ(TurnOver(0), 0);
  EXPECT_TRUE(ListLines().empty()) << "logging is off until the window shows";

  EXPECT_EQ(Show(1), 0);
  EXPECT_TRUE(IsWindowVisible(log_));
  EXPECT_TRUE(Checked(kStartLogging));
  EXPECT_FALSE(Checked(kStopLogging));
  EXPECT_EQ(Show(1), 0);
  EXPECT_TRUE(IsWindowVisible(log_));
  EXPECT_EQ(Show(0), 0);
  EXPECT_FALSE(IsWindowVisible(log_));
  EXPECT_EQ(TurnOver(1), 0);
  EXPECT_EQ(ListLines().size(), 1u) << "hiding left logging on";
  EXPECT_EQ(ListLines(), LogTextLines());
}

TEST_F(LogWindow, TheListFollowsDeletionAndTheLoggingSwitch) {
  ShowIndexed(8, 8, 8, [](int32_t x, int32_t) { return x * 30u; });
  Show(1);
  LONG v = -1;
  for (HRESULT hr : {control_->TurnOver(0, &v), control_->TurnOver(1, &v), control_->Smooth(&v),
                     control_->SobelFilter(&v), control_->LaplacianFilter(&v)})
    ASSERT_EQ(hr, S_OK);
  const std::vector<std::string> before = ListLines();
  ASSERT_EQ(before.size(), 5u);
  SendMessageW(list_, LB_SETSEL, TRUE, 1);
  SendMessageW(list_, LB_SETSEL, TRUE, 3);
  Command(kDelete);
  EXPECT_EQ(ListLines(), (std::vector<std::string>{before[0], before[2], before[4]}));
  EXPECT_EQ(ListLines(), LogTextLines());

  Command(kStopLogging);
  EXPECT_TRUE(Checked(kStopLogging));
  EXPECT_FALSE(Checked(kStartLogging));
  EXPECT_EQ(TurnOver(0), 0);
  EXPECT_EQ(ListLines().size(), 3u) << "stopped: no line";
  Command(kStartLogging);
  EXPECT_EQ(TurnOver(0), 0);
  EXPECT_EQ(ListLines().size(), 4u);
  EXPECT_EQ(ListLines(), LogTextLines());
}

TEST_F(LogWindow, CommandsThatNeedASelectionSayWhatIsMissing) {
  ShowIndexed(8, 8, 8, [](int32_t x, int32_t) { return x * 30u; });
  Show(1);
  const Box empty = AnswerBox(L"ｴﾗｰ", IDOK, [&] { Command(kRunAll); });
  EXPECT_TRUE(empty.shown);
  EXPECT_EQ(empty.text, Wide("実行するｼﾞｮﾌﾞがありません。"));
  TurnOver(0);
  TurnOver(1);
  const Box insert = AnswerBox(L"ｴﾗｰ", IDOK, [&] { Command(kLoadInserting); });
  EXPECT_TRUE(insert.shown);
  EXPECT_EQ(insert.text, Wide("行が複数選択されています。\n挿入先を１行のみ選択してください。"));
  EXPECT_EQ(ListLines().size(), 2u) << "nothing loaded";
  const Box selected = AnswerBox(L"ｴﾗｰ", IDOK, [&] { Command(kRunSelected); });
  EXPECT_EQ(selected.text, Wide("実行するｼﾞｮﾌﾞが選択されていません。"));

  SendMessageW(list_, LB_SETSEL, TRUE, 0);
  SendMessageW(list_, LB_SETSEL, TRUE, 1);
  const Box ask = AnswerBox(L"確認", IDYES, [&] { Command(kRunSelected); });
  EXPECT_EQ(ask.text, Wide("選択ｼﾞｮﾌﾞ実行を行います。宜しいですか？"));
  EXPECT_EQ(ListLines().size(), 2u) << "replay records nothing";
  EXPECT_TRUE(Checked(kStartLogging)) << "logging is back on after the replay";
}

}  // namespace
}  // namespace pv::wintest
