// The histogram and profile windows: shown by DispHistogram and DispProfile, their graphs read
// back pixel by pixel with PrintWindow.
#include "embedded.h"
#include "ui_watch.h"

namespace pv::wintest {
namespace {

constexpr uint32_t kWhite = 0xFFFFFF, kBlack = 0;
constexpr uint32_t kRed = 0xB40000, kGreen = 0x00B400, kBlue = 0x0000B4;  // 0xRRGGBB

struct Found {
  HWND owner;
  const wchar_t* title;
  HWND window = nullptr;
};

BOOL CALLBACK FindOwned(HWND window, LPARAM lParam) {
  auto* found = reinterpret_cast<Found*>(lParam);
  wchar_t title[64] = {};
  GetWindowTextW(window, title, 64);
  if (GetWindow(window, GW_OWNER) != found->owner || lstrcmpW(title, found->title) != 0)
    return TRUE;
  found->window = window;
  return FALSE;
}

class GraphWindows : public Embedded {
 protected:
  // The control's own popup titled `title`: USER hands the ownership of a child window's
  // popups to the child's top-level window.
  HWND Owned(const wchar_t* title) {
    Found found{GetAncestor(window_, GA_ROOT), title};
    EnumThreadWindows(GetCurrentThreadId(), FindOwned, reinterpret_cast<LPARAM>(&found));
    return found.window;
  }
  LONG Histogram(LONG width, LONG height) {
    LONG v = -1;
    EXPECT_EQ(control_->DispHistogram(0, 0, width, height, &v), S_OK);
    PumpMessages();
    return v;
  }
  LONG Profile(LONG x1, LONG y1, LONG x2, LONG y2) {
    LONG v = -1;
    EXPECT_EQ(control_->DispProfile(x1, y1, x2, y2, &v), S_OK);
    PumpMessages();
    return v;
  }
};

TEST_F(GraphWindows, AHistogramOfOneValueDrawsItsPeakAtNineTenths) {
  HWND window = Owned(L"ﾋｽﾄｸﾞﾗﾑ");
  ASSERT_TRUE(window) << "created hidden with the control's window";
  EXPECT_FALSE(IsWindowVisible(window));
  // 100 pixels of index 50: the largest count 100, scale 111, the peak at y = 10.
  ShowIndexed(10, 10, 8, [](int32_t, int32_t) { return 50u; });
  ASSERT_EQ(Histogram(10, 10), 0);
  EXPECT_TRUE(IsWindowVisible(window));
  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 256);
  EXPECT_EQ(client.bottom, 100);
  const Capture graph(window);
  EXPECT_EQ(graph.At(50, 10), kBlack);
  EXPECT_EQ(graph.At(50, 9), kWhite);
  for (int x = 0; x < 256; ++x)
    if (x < 49 || x > 51)
      for (int y = 0; y < 100; ++y) ASSERT_EQ(graph.At(x, y), kWhite) << x << "," << y;

  SendMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindowVisible(window)) << "closing hides";
  EXPECT_TRUE(IsWindow(window));
}

TEST_F(GraphWindows, TrueColourDrawsThreeCurvesInTheirPens) {
  Show(10, 10, [](int32_t, int32_t) { return 0x0A1E32u; });  // red 10, green 30, blue 50
  ASSERT_EQ(Histogram(10, 10), 0);
  const Capture graph(Owned(L"ﾋｽﾄｸﾞﾗﾑ"));
  EXPECT_EQ(graph.At(10, 10), kRed);
  EXPECT_EQ(graph.At(30, 10), kGreen);
  EXPECT_EQ(graph.At(50, 10), kBlue);
}

TEST_F(GraphWindows, OtherDepthsAnswerEightAndLeaveTheWindowAlone) {
  ShowIndexed(8, 8, 4, [](int32_t x, int32_t) { return x % 16u; });
  EXPECT_EQ(Histogram(8, 8), 8);
  EXPECT_FALSE(IsWindowVisible(Owned(L"ﾋｽﾄｸﾞﾗﾑ")));
}

TEST_F(GraphWindows, AProfileSizesItsWindowToTheSamplesAndIgnoresScrolling) {
  HWND window = Owned(L"ﾌﾟﾛﾌｧｲﾙ");
  ASSERT_TRUE(window);
  ShowIndexed(300, 2, 8, [](int32_t x, int32_t) { return static_cast<uint32_t>(x % 200); });
  ASSERT_EQ(Profile(0, 0, 299, 0), 0);
  EXPECT_TRUE(IsWindowVisible(window));
  wchar_t title[64] = {};
  GetWindowTextW(window, title, 64);
  EXPECT_STREQ(title, L"Profile (0,0)-(299,0)");
  RECT frame;
  GetWindowRect(window, &frame);
  EXPECT_EQ(frame.right - frame.left, 308);
  EXPECT_EQ(frame.bottom - frame.top, 281);
  {
    const Capture graph(window);
    EXPECT_EQ(graph.At(150, 256 - 150), kBlack);  // sample 150 has the value 150
    EXPECT_EQ(graph.At(150, 256 - 151), kWhite);
  }
  // Narrower than the graph: a horizontal bar, whose movement leaves the graph where it is.
  SetWindowPos(window, nullptr, 0, 0, 160, 281, SWP_NOMOVE | SWP_NOZORDER);
  PumpMessages();
  EXPECT_TRUE(GetWindowLongW(window, GWL_STYLE) & WS_HSCROLL);
  SendMessageW(window, WM_HSCROLL, SB_PAGERIGHT, 0);
  PumpMessages();
  const Capture moved(window);
  EXPECT_EQ(moved.At(100, 256 - 100), kBlack);
}

}  // namespace
}  // namespace pv::wintest
