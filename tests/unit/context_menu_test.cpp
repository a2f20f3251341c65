// The context menu as data and its commands, on the portable control: which items a right click
// offers for which image, and what a chosen item calls.
#include <gtest/gtest.h>

#include <cstring>

#include "automation/context_menu.h"
#include "base/dispids.h"
#include "platform/text_encoding.h"
#include "test_support.h"

namespace pv {
namespace {

void ShowImage(PortableControl& c, int bits, size_t colours = 256) {
  const test::Bytes table =
      bits <= 8 ? test::Table(colours, [](size_t i) { return 0x010101u * (i % 256); })
                : test::Bytes();
  mem::Owned dib(test::MakeDib(16, 8, bits, table, [bits](int32_t x, int32_t y) {
    return bits <= 8 ? static_cast<uint32_t>(x + y) % 2 : 0x102030u * static_cast<uint32_t>(x);
  }));
  ASSERT_EQ(c.document().SetDIB(dib.get()), Result::Ok);
}

const MenuItem* FindId(const std::vector<MenuItem>& menu, int32_t id) {
  for (const MenuItem& item : menu) {
    if (item.id == id) return &item;
    if (const MenuItem* inner = FindId(item.items, id)) return inner;
  }
  return nullptr;
}

// Each conversion item greyed (g) or offered (e), for 1, 4, 8, 24 and 32 bits in that order.
TEST(ContextMenu, DepthItemsOfferEveryChangeUpAndTheTrueColourOnesDown) {
  struct Case {
    int bits;
    const char* states;
  };
  const Case cases[] = {{1, "geeee"},  {4, "ggeee"},  {8, "gggee"},
                        {16, "ggeee"}, {24, "ggege"}, {32, "ggeeg"}};
  const int32_t ids[] = {52, 54, 55, 56, 57};
  for (const Case& c : cases) {
    PortableControl control;
    ShowImage(control, c.bits, c.bits <= 8 ? (1u << c.bits) : 0);
    const std::vector<MenuItem> menu = BuildContextMenu(control);
    std::string states;
    for (int32_t id : ids) states += FindId(menu, id)->grayed ? 'g' : 'e';
    EXPECT_EQ(states, c.states) << c.bits << " bits";
  }
  PortableControl empty;
  for (int32_t id : ids) EXPECT_TRUE(FindId(BuildContextMenu(empty), id)->grayed) << id;
}

TEST(ContextMenu, OnlyTheCountedBitsOfTheMasksAddItems) {
  PortableControl control;
  control.properties().menuMask1 = static_cast<int32_t>(~0x100F1FFFu);
  control.properties().menuMask2 = static_cast<int32_t>(~0x3F1F07u);
  EXPECT_TRUE(BuildContextMenu(control).empty());

  control.properties().menuMask1 = 0x10;
  control.properties().menuMask2 = 0;
  const std::vector<MenuItem> menu = BuildContextMenu(control);
  ASSERT_EQ(menu.size(), 1u);
  EXPECT_EQ(menu[0].text, Utf8ToCp932("表示"));
  ASSERT_EQ(menu[0].items.size(), 1u);
  EXPECT_EQ(menu[0].items[0].items.size(), 5u);
}

// Plugins with their menu texts: one without a text gets no item, one whose menu state is 0
// shows greyed; the item IDs follow the plugin numbers.
class MenuPlugins : public NoPlugins {
 public:
  Result GetInfo(int32_t number, uint8_t* info) override {
    static const char* const kTexts[] = {"反転する", "", "ぼかす"};
    if (number < 0 || number > 2) return Result::BadParameter;
    std::memset(info, 0, kPluginInfoBytes);
    const std::string text = Utf8ToCp932(kTexts[number]);
    std::memcpy(info + 500, text.data(), text.size());
    return Result::Ok;
  }
  int32_t MenuState(int32_t number) override { return number == 2 ? 0 : 1; }
};

TEST(ContextMenu, PluginItemsComeFromTheirMenuTextsAndStates) {
  PortableControl control;
  MenuPlugins plugins;
  control.set_plugins(&plugins);
  const std::vector<MenuItem> menu = BuildContextMenu(control);
  ASSERT_GE(menu.size(), 2u);
  const MenuItem& submenu = menu[menu.size() - 2];
  EXPECT_EQ(submenu.text, Utf8ToCp932("ﾌﾟﾗｸﾞｲﾝ"));
  ASSERT_EQ(submenu.items.size(), 2u);
  EXPECT_EQ(submenu.items[0].id, 59);
  EXPECT_FALSE(submenu.items[0].grayed);
  EXPECT_EQ(submenu.items[1].id, 61);
  EXPECT_EQ(submenu.items[1].text, Utf8ToCp932("ぼかす"));
  EXPECT_TRUE(submenu.items[1].grayed);
  EXPECT_EQ(menu.back().id, 58);
}

class RecordingWindow : public MenuWindow {
 public:
  bool ShowError(Result code) override {
    shown.push_back(code);
    return ResultMessage(code) == nullptr;
  }
  std::vector<Result> shown;
};

TEST(ContextMenu, ZoomDoublesAndHalvesTheRequestedScale) {
  PortableControl control;
  RecordingWindow window;
  ShowImage(control, 24);
  for (const auto& [id, scale] : {std::pair{39, 2.0}, {39, 4.0}, {40, 2.0}, {41, 1.0}}) {
    RunMenuCommand(control, id, window);
    EXPECT_EQ(control.document().requested_scale_x(), scale) << id;
  }
  EXPECT_EQ(window.shown, std::vector<Result>(4, Result::Ok));
}

TEST(ContextMenu, BinaryEffectsTakeTheBackgroundTheMenuChose) {
  PortableControl control;
  RecordingWindow window;
  ShowImage(control, 8);
  control.log().StartLogging();
  RunMenuCommand(control, 21, window);  // "背景色　白"
  RunMenuCommand(control, 26, window);  // "膨張"
  RunMenuCommand(control, 22, window);
  RunMenuCommand(control, 27, window);
  const std::vector<LogEntry>& entries = control.log().entries();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].code, dispid::kExpansion);
  EXPECT_EQ(ReadI32(entries[0].parameters.data()), 1);
  EXPECT_EQ(entries[1].code, dispid::kContraction);
  EXPECT_EQ(ReadI32(entries[1].parameters.data()), 0);
}

TEST(ContextMenu, ShownCommandsHandTheirCodeToTheErrorDisplay) {
  PortableControl control;
  RecordingWindow window;
  RunMenuCommand(control, 19, window);  // smoothing without an image
  RunMenuCommand(control, 3, window);   // copying shows nothing
  RunMenuCommand(control, 58, window);  // nor does the log window
  RunMenuCommand(control, 50, window);  // its dialog shows what goes wrong
  RunMenuCommand(control, 159, window);
  EXPECT_EQ(window.shown, std::vector<Result>{Result::BadParameter});
}

TEST(ContextMenu, SizeModesSwitchAutoScrollOnExceptForTheAspectFit) {
  for (const auto& [id, autoScroll] : {std::pair{36, 1}, {38, 0}}) {
    PortableControl control;
    RecordingWindow window;
    control.properties().autoScroll = 0;
    RunMenuCommand(control, id, window);
    EXPECT_EQ(control.properties().paintSizeMode, id - 34);
    EXPECT_EQ(control.properties().autoScroll, autoScroll) << id;
  }
}

TEST(HistogramCurve, TheLargestCountReachesNineTenthsAndEmptyBinsLieOnTheEdge) {
  HistogramCounts counts{};
  counts[7] = 100;
  counts[8] = 50;
  const std::array<int32_t, 256> y = HistogramCurve(counts);
  EXPECT_EQ(y[7], 10);  // scale 111: 100 - trunc(100 / 111 * 100)
  EXPECT_EQ(y[8], 55);
  EXPECT_EQ(y[0], 100);
  const std::array<int32_t, 256> flat = HistogramCurve(HistogramCounts{});
  for (int32_t v : flat) EXPECT_EQ(v, 100);
}

}  // namespace
}  // namespace pv
