// The context menu as a user meets it: a right click on the control in atl.dll's container,
// the real popup read back while it is tracked, and its commands sent as WM_COMMAND.
#include <cstdio>
#include <set>

#include "base/dispids.h"
#include "base/result.h"
#include "embedded.h"
#include "test_support.h"
#include "ui_watch.h"

namespace pv::wintest {
namespace {

// An item as a line: indented by depth, its text, its ID when it has one, "grey" and "check".
void Flatten(const std::vector<ReadItem>& items, const std::string& indent,
             std::vector<std::string>* lines) {
  for (const ReadItem& item : items) {
    std::string line = indent + (item.separator ? "---" : item.text);
    if (item.id != 0 && item.items.empty() && !item.separator)
      line += " " + std::to_string(item.id);
    if (item.grayed) line += " grey";
    if (item.checked) line += " check";
    lines->push_back(line);
    Flatten(item.items, indent + "  ", lines);
  }
}

std::vector<std::string> Lines(const std::vector<ReadItem>& menu) {
  std::vector<std::string> lines;
  Flatten(menu, "", &lines);
  return lines;
}

// The texts (with IDs) of every greyed item, submenus included, as "text#id".
void CollectGreyed(const std::vector<ReadItem>& items, std::set<std::string>* greyed) {
  for (const ReadItem& item : items) {
    if (item.grayed)
      greyed->insert(item.text + "#" + std::to_string(item.items.empty() ? item.id : 0));
    CollectGreyed(item.items, greyed);
  }
}

const ReadItem* FindId(const std::vector<ReadItem>& items, UINT id) {
  for (const ReadItem& item : items) {
    if (item.id == id && item.items.empty()) return &item;
    if (const ReadItem* inner = FindId(item.items, id)) return inner;
  }
  return nullptr;
}

class ContextMenu : public Embedded {
 protected:
  std::optional<std::vector<ReadItem>> RightClick() {
    return TrackedMenu([&] { Send(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 6)); });
  }
  void Command(WPARAM id) { Send(WM_COMMAND, id, 0); }
  LONG Masks(LONG first, LONG second) {
    LONG v = -1;
    EXPECT_EQ(control_->ShowImageMenu(first, second, &v), S_OK);
    return v;
  }
};

// Default masks, an 8-bit picture, no plugins: every item in order, in CP932.
TEST_F(ContextMenu, AnEightBitPictureGetsEveryItemInOrder) {
  ShowIndexed(16, 16, 8, [](int32_t x, int32_t) { return static_cast<uint32_t>(x); });
  const auto menu = RightClick();
  ASSERT_TRUE(menu);
  const char* const expected[] = {"ﾌｧｲﾙ",
                                  "  読込み 1",
                                  "  保存 2",
                                  "編集",
                                  "  ｺﾋﾟｰ 3",
                                  "  ﾍﾟｰｽﾄ 4",
                                  "表示",
                                  "  ｲﾒｰｼﾞ表示方法",
                                  "    ｲﾒｰｼﾞの大きささに合せる 34 check",
                                  "    ｺﾝﾄﾛｰﾙの大きさに合せる 35",
                                  "    ｺﾝﾄﾛｰﾙの幅に合せる 36",
                                  "    ｺﾝﾄﾛｰﾙの高さに合せる 37",
                                  "    ｱｽﾍﾟｸﾄ比を維持しながらｺﾝﾄﾛｰﾙの大きさに合せる 38",
                                  "  拡大・縮小",
                                  "    拡大 39",
                                  "    縮小 40",
                                  "    等倍に戻す 41",
                                  "  ﾋｽﾄｸﾞﾗﾑ表示 7",
                                  "  画像情報表示 8",
                                  "ｲﾒｰｼﾞ",
                                  "  回転 9",
                                  "  反転",
                                  "    上下反転 42",
                                  "    左右反転 43",
                                  "  ﾄﾘﾐﾝｸﾞ 11",
                                  "  ｷｬﾝﾊﾞｽのｻｲｽﾞ 12",
                                  "  拡大・縮小 13",
                                  "ｶﾗｰ",
                                  "  ｸﾞﾚｰｽｹｰﾙ",
                                  "    RGB比ﾃﾞﾌｫﾙﾄ 44",
                                  "    RGB比ﾃﾞﾌｫﾙﾄ(整数法) 45",
                                  "    均等分割 46",
                                  "    Rのみ 47",
                                  "    Gのみ 48",
                                  "    Bのみ 49",
                                  "    彩度を下げる 51",
                                  "    RGB比ｶｽﾀﾑ 50",
                                  "  ｶﾗｰﾊﾟﾚｯﾄ 15",
                                  "  ｶﾗｰ階調変換",
                                  "    1Bitへ変更 52 grey",
                                  "    4Bitへ変更 54 grey",
                                  "    8Bitへ変更 55 grey",
                                  "    24Bitへ変更 56",
                                  "    32Bitへ変更 57",
                                  "  ２値化 17",
                                  "効果",
                                  "  ﾓｻﾞｲｸ 18",
                                  "  ｽﾑｰｼﾞﾝｸﾞ 19",
                                  "  ｶﾞﾝﾏ補正 20",
                                  "２値化効果",
                                  "  背景色　黒 22 check",
                                  "  背景色　白 21",
                                  "  ---",
                                  "  孤立点除去 23",
                                  "  ﾗﾍﾞﾘﾝｸﾞ 24",
                                  "  輪郭抽出 25",
                                  "  膨張 26",
                                  "  収縮 27",
                                  "ｸﾞﾚｰｽｹｰﾙ効果",
                                  "  ｿｰﾍﾞﾙﾌｨﾙﾀ 28",
                                  "  ﾛﾋﾞﾝｿﾝﾌｨﾙﾀ 29",
                                  "  ﾗﾌﾟﾗｼｱﾝﾌｨﾙﾀ 30",
                                  "  最大濃度によるｽﾑｰｼﾞﾝｸﾞ 31",
                                  "  最小濃度によるｽﾑｰｼﾞﾝｸﾞ 32",
                                  "  ｺﾝﾄﾗｽﾄ調整 33",
                                  "履歴表示 58"};
  std::vector<std::string> want;
  for (const char* line : expected) want.push_back(Cp932(line));
  EXPECT_EQ(Lines(*menu), want);
  EXPECT_EQ(menu->size(), 9u);
}

TEST_F(ContextMenu, ItemsGreyForWhatThePictureCannotTake) {
  struct Case {
    const char* what;
    int bits;  // 0: no picture
    std::vector<const char*> greyed;
  };
  const Case cases[] = {
      {"no picture",
       0,
       {"保存#2",
        "ｺﾋﾟｰ#3",
        "拡大・縮小#0",
        "ﾋｽﾄｸﾞﾗﾑ表示#7",
        "回転#9",
        "反転#0",
        "ﾄﾘﾐﾝｸﾞ#11",
        "ｷｬﾝﾊﾞｽのｻｲｽﾞ#12",
        "拡大・縮小#13",
        "ｸﾞﾚｰｽｹｰﾙ#0",
        "ｶﾗｰﾊﾟﾚｯﾄ#15",
        "ｶﾗｰ階調変換#0",
        "1Bitへ変更#52",
        "4Bitへ変更#54",
        "8Bitへ変更#55",
        "24Bitへ変更#56",
        "32Bitへ変更#57",
        "２値化#17",
        "ﾓｻﾞｲｸ#18",
        "ｽﾑｰｼﾞﾝｸﾞ#19",
        "ｶﾞﾝﾏ補正#20",
        "孤立点除去#23",
        "ﾗﾍﾞﾘﾝｸﾞ#24",
        "輪郭抽出#25",
        "膨張#26",
        "収縮#27",
        "ｿｰﾍﾞﾙﾌｨﾙﾀ#28",
        "ﾛﾋﾞﾝｿﾝﾌｨﾙﾀ#29",
        "ﾗﾌﾟﾗｼｱﾝﾌｨﾙﾀ#30",
        "最大濃度によるｽﾑｰｼﾞﾝｸﾞ#31",
        "最小濃度によるｽﾑｰｼﾞﾝｸﾞ#32",
        "ｺﾝﾄﾗｽﾄ調整#33"}},
      {"4 bits",
       4,
       {"1Bitへ変更#52", "4Bitへ変更#54", "２値化#17", "ｶﾞﾝﾏ補正#20", "孤立点除去#23", "ﾗﾍﾞﾘﾝｸﾞ#24",
        "輪郭抽出#25", "膨張#26", "収縮#27", "ｿｰﾍﾞﾙﾌｨﾙﾀ#28", "ﾛﾋﾞﾝｿﾝﾌｨﾙﾀ#29", "ﾗﾌﾟﾗｼｱﾝﾌｨﾙﾀ#30",
        "最大濃度によるｽﾑｰｼﾞﾝｸﾞ#31", "最小濃度によるｽﾑｰｼﾞﾝｸﾞ#32", "ｺﾝﾄﾗｽﾄ調整#33"}},
  };
  for (const Case& c : cases) {
    if (c.bits) ShowIndexed(8, 8, c.bits, [](int32_t x, int32_t) { return x % 2u; });
    const auto menu = RightClick();
    ASSERT_TRUE(menu) << c.what;
    std::set<std::string> greyed, want;
    CollectGreyed(*menu, &greyed);
    for (const char* text : c.greyed) want.insert(Cp932(text));
    EXPECT_EQ(greyed, want) << c.what;
  }
}

TEST_F(ContextMenu, TheMasksChooseTheEntriesAndNoneOpensNoMenu) {
  Masks(0x10, 0);
  auto menu = RightClick();
  ASSERT_TRUE(menu);
  EXPECT_EQ(Lines(*menu).front(), Cp932("表示"));
  EXPECT_EQ(Lines(*menu).size(), 7u) << "the display-method submenu and its five modes";

  Masks(0, 0);
  EXPECT_FALSE(RightClick());
}

TEST_F(ContextMenu, CheckMarksFollowTheSizeModeAndTheBackground) {
  ASSERT_EQ(control_->put_PaintSizeMode(2), S_OK);
  Command(21);  // "背景色　白"
  auto menu = RightClick();
  ASSERT_TRUE(menu);
  for (UINT id : {34u, 35u, 36u, 37u, 38u, 21u, 22u})
    EXPECT_EQ(FindId(*menu, id)->checked, id == 36 || id == 21) << id;
  ASSERT_EQ(control_->put_PaintSizeMode(7), S_OK);
  menu = RightClick();
  for (UINT id : {34u, 35u, 36u, 37u, 38u}) EXPECT_FALSE(FindId(*menu, id)->checked) << id;
}

// Mouse input while the menu is tracked reaches no sink.
TEST_F(ContextMenu, WhileTrackedTheMouseFiresNoEvents) {
  auto container = control_.As<IConnectionPointContainer>(IID_IConnectionPointContainer);
  Ref<IConnectionPoint> point;
  ASSERT_EQ(container->FindConnectionPoint(DIID__IPictavorCtlEvents, point.out()), S_OK);
  RecordingSink sink(DIID__IPictavorCtlEvents);
  DWORD cookie = 0;
  ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);
  const bool opened = WhileShowing(
      TrackedPopup,
      [&](HWND popup) {
        SendMessageW(window_, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
        SendMessageW(window_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        SendMessageW(window_, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
        PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
      },
      [&] { Send(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 6)); });
  EXPECT_TRUE(opened);
  size_t mouseEvents = 0;
  for (const Invocation& call : sink.calls) mouseEvents += call.dispid != 4;  // all but Draw
  EXPECT_EQ(mouseEvents, 0u);
  Send(WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
  EXPECT_EQ(sink.calls.back().dispid, 1) << "after the menu, moves are events again";
  point->Unadvise(cookie);
}

TEST_F(ContextMenu, ZoomCommandsDoubleAndHalveTheRequestedScale) {
  ShowBlank(20, 20);
  for (const auto& [id, scale] : {std::pair{39, 2.0}, {39, 4.0}, {40, 2.0}, {41, 1.0}}) {
    Command(id);
    double x = 0, y = 0;
    LONG v = -1;
    ASSERT_EQ(control_->GetDispScale(&x, &y, &v), S_OK);
    EXPECT_EQ(x, scale) << id;
    EXPECT_EQ(y, scale) << id;
  }
}

// The background the menu chose reaches the effect: the log entry of "膨張" holds 1.
TEST_F(ContextMenu, ExpansionAfterWhiteBackgroundIsLoggedWithOne) {
  ShowIndexed(8, 8, 8, [](int32_t x, int32_t y) { return x == 4 && y == 4 ? 255u : 0u; });
  LONG v = -1;
  ASSERT_EQ(control_->StartLog(&v), S_OK);
  Command(21);
  Command(26);
  const std::string path = test::TempPath("menu.pvr");
  Bstr name(Wide(path).c_str());
  ASSERT_EQ(control_->SaveLog(name.get(), 0, &v), S_OK);
  ASSERT_EQ(v, 0);
  const test::Bytes file = test::ReadFile(path);
  std::remove(path.c_str());
  ASSERT_EQ(file.size(), 24u) << "one entry: its code and its background";
  EXPECT_EQ(ReadI32(&file[16]), dispid::kExpansion);
  EXPECT_EQ(ReadI32(&file[20]), 1);
}

TEST_F(ContextMenu, AFailingCommandShowsItsMessageAndACodeWithoutOneShowsNothing) {
  const Box failed = AnswerBox(L"エラー", IDOK, [&] { Command(19); });  // smoothing, no picture
  EXPECT_TRUE(failed.shown);
  EXPECT_EQ(failed.text, Wide(ResultMessage(Result::BadParameter)));

  // 4 bits cannot hold 256 colours: 50, which has no message.
  ShowIndexed(16, 16, 8, [](int32_t x, int32_t y) { return static_cast<uint32_t>(16 * y + x); });
  EXPECT_FALSE(AnswerBox(L"エラー", IDOK, [&] { Command(54); }).shown);
  LONG bits = 0;
  ASSERT_EQ(control_->GetBitmapBits(&bits), S_OK);
  EXPECT_EQ(bits, 8);
}

}  // namespace
}  // namespace pv::wintest
