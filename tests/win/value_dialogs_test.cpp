// The dialogs that only choose values, and the palette dialog: opened by their members (or the
// context menu) in atl.dll's container, worked through their controls by a helper thread.
#include <cstdio>
#include <functional>

#include "base/bytes.h"
#include "dialog_user.h"
#include "embedded.h"
#include "test_support.h"
#include "ui_watch.h"

namespace pv::wintest {
namespace {

constexpr LONG kCancelled = 15;

class ValueDialogs : public Embedded {
 protected:
  void SetUp() override {
    Embedded::SetUp();
    LONG v = -1;
    ASSERT_EQ(control_->StartLog(&v), S_OK);
  }
  test::Bytes Image() {
    LONG_PTR dib = 0;
    EXPECT_EQ(control_->GetDIB(&dib), S_OK);
    const mem::Owned owned(reinterpret_cast<mem::Handle>(dib));
    return test::BytesOf(owned.get());
  }
  std::pair<LONG, LONG> Size() {
    LONG width = -1, height = -1;
    EXPECT_EQ(control_->GetWidth(&width), S_OK);
    EXPECT_EQ(control_->GetHeight(&height), S_OK);
    return {width, height};
  }
  LONG Bits() {
    LONG bits = -1;
    EXPECT_EQ(control_->GetBitmapBits(&bits), S_OK);
    return bits;
  }
  // The entries recorded since SetUp, as the .pvr file holds them after its header.
  test::Bytes Logged() {
    const std::string path = test::TempPath("value_dialogs.pvr");
    Bstr name(Wide(path).c_str());
    LONG v = -1;
    EXPECT_EQ(control_->SaveLog(name.get(), 0, &v), S_OK);
    if (v != 0) return {};  // nothing to save
    const test::Bytes file = test::ReadFile(path);
    std::remove(path.c_str());
    return file.size() > 16 ? test::Bytes(file.begin() + 16, file.end()) : test::Bytes();
  }
  void MenuCommand(WPARAM id) { Send(WM_COMMAND, id, 0); }
  // An 8-bit picture whose header claims only `entries` of its table's entries.
  void ShowShortTable(int entries) {
    test::Bytes dib = test::MakeDibBytes(4, 4, 8, test::Table(256, [](size_t i) { return i; }),
                                         [](int32_t x, int32_t) { return x; });
    WriteU32(&dib[32], static_cast<uint32_t>(entries));  // biClrUsed
    ShowDib(test::BlockOf(dib));
  }
};

DWORD Selection(const DialogUser& user, int id) {
  return static_cast<DWORD>(SendMessageW(user.Item(id), EM_GETSEL, 0, 0));
}

// The window with the focus on the dialog's thread.
HWND Focused(const DialogUser& user) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(user.window(), nullptr), &info);
  return info.hwndFocus;
}

TEST_F(ValueDialogs, CustomGrayscaleFromTheMenuGraysWithTheTypedRatiosAndRecordsIt) {
  Show(8, 8, [](int32_t, int32_t) { return 0xC86428u; });
  const bool shown = WithDialog(
      "ｸﾞﾚｰｽｹｰﾙ　RGB比ｶｽﾀﾏｲｽﾞ",
      [](DialogUser& user) {
        for (int id = 1101; id <= 1103; ++id) EXPECT_EQ(user.Text(id), "") << id;
        user.Type(1101, "0.5");
        user.PressReturn(1101);
        EXPECT_TRUE(IsWindowVisible(user.window())) << "Return only selects";
        EXPECT_EQ(Selection(user, 1101), MAKELONG(0, 3));
        user.Type(1102, "0.25");
        user.Type(1103, "0.25");
        user.Confirm();
      },
      [&] { MenuCommand(50); });
  ASSERT_TRUE(shown);
  EXPECT_EQ(Bits(), 8);
  const test::Bytes log = Logged();
  ASSERT_GE(log.size(), 4u);
  EXPECT_EQ(ReadI32(&log[0]), 19);
}

TEST_F(ValueDialogs, TrimHandsOutItsFourValuesAndCuts) {
  ShowBlank(64, 48);
  float left = 0, top = 0, width = 0, height = 0;
  LONG v = -1;
  ASSERT_TRUE(WithDialog(
      "ﾄﾘﾐﾝｸﾞ",
      [](DialogUser& user) {
        EXPECT_EQ(user.Text(1001), "64");
        EXPECT_EQ(user.Text(1002), "48");
        const char* const values[] = {"10", "20", "30.5", "40"};
        for (int n = 0; n < 4; ++n) user.Type(1101 + n, values[n]);
        user.Confirm();
      },
      [&] { control_->OperateTrim(&left, &top, &width, &height, &v); }));
  EXPECT_EQ(v, 0);
  EXPECT_EQ(left, 10.0f);
  EXPECT_EQ(top, 20.0f);
  EXPECT_EQ(width, 30.5f);
  EXPECT_EQ(height, 40.0f);
  EXPECT_EQ(Size(), std::make_pair(30L, 40L));
}

TEST_F(ValueDialogs, CanvasSizeTakesItsPlacementFromTheRadioButtons) {
  ShowBlank(100, 80);
  LONG width = 0, height = 0, position = 0, v = -1;
  ASSERT_TRUE(WithDialog(
      "ｷｬﾝﾊﾞｽのｻｲｽﾞ変更",
      [](DialogUser& user) {
        EXPECT_EQ(user.Text(1001), "100");
        EXPECT_TRUE(user.Checked(1202));
        EXPECT_TRUE(user.Checked(1205));
        user.Type(1101, "300");
        user.Type(1102, "200");
        user.Click(1203);  // 下寄せ
        user.Click(1206);  // 右寄せ
        EXPECT_FALSE(user.Checked(1202)) << "one button of each side";
        EXPECT_FALSE(user.Checked(1205));
        user.Confirm();
      },
      [&] { control_->OperateSetSize(&width, &height, &position, &v); }));
  EXPECT_EQ(v, 0);
  EXPECT_EQ(width, 300);
  EXPECT_EQ(height, 200);
  EXPECT_EQ(position, 0x404);
  EXPECT_EQ(Size(), std::make_pair(300L, 200L));
}

TEST_F(ValueDialogs, ResizeOpensOnTheCurrentSizeWithTheDensityMethodsForEightBitsOnly) {
  for (const int bits : {24, 8, 1}) {
    if (bits == 24)
      ShowBlank(400, 300);
    else
      ShowIndexed(400, 300, bits, [](int32_t, int32_t) { return 0u; });
    LONG v = -1;
    double hor = 0, ver = 0;
    LONG type = 0;
    ASSERT_TRUE(WithDialog(
        "ｲﾒｰｼﾞの拡大・縮小",
        [bits](DialogUser& user) {
          const char* const texts[] = {"400", "300", "100", "100"};
          for (int n = 0; n < 4; ++n) EXPECT_EQ(user.Text(1101 + n), texts[n]) << bits;
          EXPECT_EQ(user.Text(1001), "400");
          EXPECT_EQ(user.Text(1002), "300");
          EXPECT_TRUE(user.Checked(1201) && user.Checked(1203) && !user.Checked(4201));
          EXPECT_TRUE(user.Enabled(1101) && user.Enabled(1102));
          EXPECT_FALSE(user.Enabled(1103) || user.Enabled(1104));
          EXPECT_EQ(Focused(user), user.Item(1101));
          EXPECT_EQ(Selection(user, 1101), MAKELONG(0, 3));
          EXPECT_EQ(user.Enabled(1205), bits == 8) << bits;
          EXPECT_EQ(user.Enabled(1206), bits == 8) << bits;
          EXPECT_TRUE(user.Enabled(1204) && user.Enabled(1207));
          user.Cancel();
        },
        [&] { control_->OperateSetImageScale(&hor, &ver, &type, &v); }));
    EXPECT_EQ(v, kCancelled);
  }
}

// Each committed edit writes the other unit, and with the ratio kept the other side.
TEST_F(ValueDialogs, ResizeEditsFollowEachOther) {
  struct Case {
    int32_t width, height;
    bool percent, keepRatio, byFocusLoss;
    int edit;
    const char* typed;
    const char* want[4];  // 1101 .. 1104
  };
  const Case cases[] = {
      {400, 300, false, true, false, 1101, "200", {"200", "150", "50", "50"}},
      {400, 300, false, false, false, 1101, "200", {"200", "300", "50", "100"}},
      {400, 300, false, true, true, 1102, "150", {"200", "150", "50", "50"}},
      {400, 300, true, true, false, 1104, "25", {"100", "75", "25", "25"}},
      {400, 300, true, false, true, 1103, "150", {"600", "300", "150", "100"}},
      // 29 of 100 pixels is 29 percent, however 29 / 100 * 100 rounds.
      {100, 50, false, true, false, 1101, "29", {"29", "14", "29", "29"}},
      {400, 300, false, true, false, 1101, "junk", {"junk", "0", "0", "0"}},
      {400, 300, false, true, false, 1101, "9999", {"9999", "7499", "2499", "2499"}},
  };
  for (const Case& c : cases) {
    ShowBlank(c.width, c.height);
    double hor = 0, ver = 0;
    LONG type = 0, v = -1;
    ASSERT_TRUE(WithDialog(
        "ｲﾒｰｼﾞの拡大・縮小",
        [&c](DialogUser& user) {
          if (c.percent) user.Click(1202);
          if (c.keepRatio) user.Click(4201);
          user.Focus(c.edit);
          user.Type(c.edit, c.typed);
          if (c.byFocusLoss)
            user.Focus(c.edit == 1101 || c.edit == 1103 ? c.edit + 1 : c.edit - 1);
          else
            user.PressReturn(c.edit);
          for (int n = 0; n < 4; ++n)
            EXPECT_EQ(user.Text(1101 + n), c.want[n]) << c.edit << " " << c.typed << " " << n;
          user.Cancel();
        },
        [&] { control_->OperateSetImageScale(&hor, &ver, &type, &v); }));
  }
}

TEST_F(ValueDialogs, ResizeHandsOutAPixelSizeOrAFactorWithItsMethod) {
  struct Case {
    bool percent;
    int method;
    double hor, ver;
    LONG type;
    std::pair<LONG, LONG> size;
  };
  const Case cases[] = {{false, 1203, 200, 150, 0x10000, {200, 150}},
                        {true, 1204, 0.5, 0.25, 1, {200, 75}}};
  for (const Case& c : cases) {
    ShowBlank(400, 300);
    double hor = 0, ver = 0;
    LONG type = -1, v = -1;
    ASSERT_TRUE(WithDialog(
        "ｲﾒｰｼﾞの拡大・縮小",
        [&c](DialogUser& user) {
          user.Click(c.method);
          if (c.percent) {
            user.Click(1202);
            EXPECT_FALSE(user.Enabled(1101));
            EXPECT_TRUE(user.Enabled(1103));
            user.Type(1103, "50");
            user.Type(1104, "25");
          } else {
            user.Click(4201);
            user.Type(1101, "200");
            user.PressReturn(1101);
          }
          user.Confirm();
        },
        [&] { control_->OperateSetImageScale(&hor, &ver, &type, &v); }));
    EXPECT_EQ(v, 0);
    EXPECT_DOUBLE_EQ(hor, c.hor);
    EXPECT_DOUBLE_EQ(ver, c.ver);
    EXPECT_EQ(type, c.type);
    EXPECT_EQ(Size(), c.size);
  }
}

TEST_F(ValueDialogs, PaletteAppliesTheEditedColourToTheSelectedEntry) {
  ShowIndexed(16, 16, 8, [](int32_t x, int32_t y) { return static_cast<uint32_t>(16 * y + x); });
  LONG_PTR indices = 0, colours = 0;
  LONG count = -1, v = -1;
  ASSERT_TRUE(WithDialog(
      "ﾊﾟﾚｯﾄ変更",
      [](DialogUser& user) {
        ASSERT_EQ(user.RowCount(1601), 256);
        for (int column = 0; column < 4; ++column) {
          EXPECT_EQ(user.RowText(1601, 5, column), "5");
          EXPECT_EQ(user.RowText(1601, 255, column), "255");
        }
        user.SelectRow(1601, 5);
        EXPECT_EQ(user.Text(1102), "5");
        user.Type(1101, "200");
        EXPECT_EQ(user.UpDownPosition(1301), 200);
        user.UpDown(1302, 100);
        EXPECT_EQ(user.Text(1102), "100");
        user.Type(1103, "50");
        const Capture swatch(user.Item(1001));
        EXPECT_EQ(swatch.At(4, 4), 0xC86432u);
        user.Click(4103);
        const char* const row[] = {"5", "200", "100", "50"};
        for (int column = 0; column < 4; ++column)
          EXPECT_EQ(user.RowText(1601, 5, column), row[column]);
        user.Confirm();
      },
      [&] { control_->OperateSetPalette(&indices, &colours, &count, &v); }));
  EXPECT_EQ(v, 0);
  ASSERT_EQ(count, 1);
  const mem::Owned indexBlock(reinterpret_cast<mem::Handle>(indices));
  const mem::Owned colourBlock(reinterpret_cast<mem::Handle>(colours));
  EXPECT_EQ(GlobalSize(reinterpret_cast<HGLOBAL>(indices)), 1024u);
  EXPECT_EQ(GlobalSize(reinterpret_cast<HGLOBAL>(colours)), 1024u);
  const test::Bytes index = test::BytesOf(indexBlock.get());
  const test::Bytes colour = test::BytesOf(colourBlock.get());
  EXPECT_EQ(ReadI32(&index[0]), 5);
  EXPECT_EQ(ReadI32(&colour[0]), 0x3264C8);
  EXPECT_EQ(ReadI32(&index[4]), 0);
  const test::Bytes log = Logged();
  ASSERT_EQ(log.size(), 12u) << "one entry";
  EXPECT_EQ(ReadI32(&log[0]), 56);
  EXPECT_EQ(ReadI32(&log[4]), 5);
  EXPECT_EQ(ReadI32(&log[8]), 0x3264C8);
}

// Typed values beyond 0..255 count as the end of the range, as the up-downs show them.
TEST_F(ValueDialogs, PaletteOfOneBitHasTwoRowsAndClampsTypedChannels) {
  ShowIndexed(8, 8, 1, [](int32_t x, int32_t) { return x % 2u; });
  LONG_PTR indices = 0, colours = 0;
  LONG count = -1, v = -1;
  ASSERT_TRUE(WithDialog(
      "ﾊﾟﾚｯﾄ変更",
      [](DialogUser& user) {
        ASSERT_EQ(user.RowCount(1601), 2);
        EXPECT_EQ(user.RowText(1601, 0, 1), "0");
        EXPECT_EQ(user.RowText(1601, 1, 3), "255");
        user.Click(4103);  // nothing selected: nothing applied
        user.SelectRow(1601, 1);
        const char* const typed[] = {"999", "-5", "abc"};
        for (int n = 0; n < 3; ++n) user.Type(1101 + n, typed[n]);
        EXPECT_EQ(user.UpDownPosition(1301), 255);
        EXPECT_EQ(user.UpDownPosition(1302), 0);
        user.Click(4103);
        EXPECT_EQ(user.RowText(1601, 1, 1), "255");
        EXPECT_EQ(user.RowText(1601, 1, 2), "0");
        user.Confirm();
      },
      [&] { control_->OperateSetPalette(&indices, &colours, &count, &v); }));
  EXPECT_EQ(v, 0);
  ASSERT_EQ(count, 1);
  const mem::Owned indexBlock(reinterpret_cast<mem::Handle>(indices));
  const mem::Owned colourBlock(reinterpret_cast<mem::Handle>(colours));
  EXPECT_EQ(ReadI32(test::BytesOf(indexBlock.get()).data()), 1);
  EXPECT_EQ(ReadI32(test::BytesOf(colourBlock.get()).data()), 0x0000FF);
}

TEST_F(ValueDialogs, PaletteListsOnlyTheEntriesOfAShortTable) {
  ShowShortTable(16);
  LONG_PTR indices = 0, colours = 0;
  LONG count = -1, v = -1;
  ASSERT_TRUE(WithDialog(
      "ﾊﾟﾚｯﾄ変更",
      [](DialogUser& user) {
        EXPECT_EQ(user.RowCount(1601), 16);
        EXPECT_EQ(user.RowText(1601, 15, 3), "15");
        user.Cancel();
      },
      [&] { control_->OperateSetPalette(&indices, &colours, &count, &v); }));
  EXPECT_EQ(v, kCancelled);
}

// Every dialog cancelled: 15, the outputs as they were (the palette's zeros), the image as it
// was before the palette's applied change, nothing recorded.
TEST_F(ValueDialogs, CancelChangesNothing) {
  float f[4] = {-1, -1, -1, -1};
  LONG l[3] = {-1, -1, -1}, v = -1;
  double d[2] = {-1, -1};
  LONG_PTR blocks[2] = {1, 1};
  LONG count = 1;
  struct Case {
    const char* title;
    std::function<void()> call;
    bool reports;  // the menu's command has no result
  };
  const Case cases[] = {
      {"ｸﾞﾚｰｽｹｰﾙ　RGB比ｶｽﾀﾏｲｽﾞ", [&] { MenuCommand(50); }, false},
      {"ﾄﾘﾐﾝｸﾞ", [&] { control_->OperateTrim(&f[0], &f[1], &f[2], &f[3], &v); }, true},
      {"ｷｬﾝﾊﾞｽのｻｲｽﾞ変更", [&] { control_->OperateSetSize(&l[0], &l[1], &l[2], &v); }, true},
      {"ｲﾒｰｼﾞの拡大・縮小", [&] { control_->OperateSetImageScale(&d[0], &d[1], &l[0], &v); }, true},
      {"ﾊﾟﾚｯﾄ変更", [&] { control_->OperateSetPalette(&blocks[0], &blocks[1], &count, &v); }, true},
  };
  ShowIndexed(20, 10, 8, [](int32_t x, int32_t y) { return static_cast<uint32_t>(x * y); });
  const test::Bytes before = Image();
  for (const Case& c : cases) {
    v = -1;
    ASSERT_TRUE(WithDialog(
        c.title,
        [](DialogUser& user) {
          if (user.Item(1601)) user.SelectRow(1601, 3);
          for (int id = 1101; id <= 1102; ++id) user.Type(id, "5");
          if (user.Item(1601)) {
            user.Click(4103);
            EXPECT_EQ(user.RowText(1601, 3, 1), "5");
          }
          user.Cancel();
        },
        c.call))
        << c.title;
    if (c.reports) {
      EXPECT_EQ(v, kCancelled) << c.title;
    }
  }
  for (const float value : f) EXPECT_EQ(value, -1.0f);
  for (const LONG value : l) EXPECT_EQ(value, -1);
  EXPECT_EQ(d[0], -1.0);
  EXPECT_EQ(blocks[0], 0);
  EXPECT_EQ(blocks[1], 0);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(Image(), before);
  EXPECT_TRUE(Logged().empty());
}

// Without a picture the dialogs that only choose still open on a size of 0 and survive their
// edits; the palette has no table to show and opens none.
TEST_F(ValueDialogs, AnEmptyControlIsSafe) {
  double hor = 0, ver = 0;
  LONG type = 0, v = -1;
  ASSERT_TRUE(WithDialog(
      "ｲﾒｰｼﾞの拡大・縮小",
      [](DialogUser& user) {
        EXPECT_EQ(user.Text(1001), "0");
        user.Click(4201);
        user.Type(1101, "200");
        user.PressReturn(1101);
        EXPECT_EQ(user.Text(1103), "100") << "no size to relate to";
        user.Cancel();
      },
      [&] { control_->OperateSetImageScale(&hor, &ver, &type, &v); }));
  EXPECT_EQ(v, kCancelled);

  LONG_PTR indices = 1, colours = 1;
  LONG count = 1;
  EXPECT_FALSE(WithDialog(
      "ﾊﾟﾚｯﾄ変更", [](DialogUser& user) { user.Cancel(); },
      [&] { control_->OperateSetPalette(&indices, &colours, &count, &v); }));
  EXPECT_NE(v, 0);
  EXPECT_EQ(count, 0);
}

}  // namespace
}  // namespace pv::wintest
