// The Draw overlay in the control's window: items committed into the DIB (pixels read back
// from it) and drawn over the display (pixels read back with PrintWindow).
#include <string>

#include "embedded.h"
#include "test_support.h"

namespace pv::wintest {
namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr LONG kRedRef = 0x0000FF, kGreenRef = 0x00FF00, kBlueRef = 0xFF0000;  // COLORREF
constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF;       // 0xRRGGBB

class Overlay : public Embedded {
 protected:
  void SetUp() override {
    Embedded::SetUp();
    if (HasFatalFailure()) return;
    Show(64, 64, [](int32_t, int32_t) { return kWhite; });
    Pen(kRedRef, 1);
  }
  void Pen(LONG color, LONG width, LONG style = 0) {
    ASSERT_EQ(control_->put_DrawPenColor(color), S_OK);
    ASSERT_EQ(control_->put_DrawPenWidth(width), S_OK);
    ASSERT_EQ(control_->put_DrawPenStyle(style), S_OK);
  }
  void Fill(LONG color, LONG style) {
    ASSERT_EQ(control_->put_DrawFillColor(color), S_OK);
    ASSERT_EQ(control_->put_DrawFillStyle(style), S_OK);
  }
  LONG Commit() {
    LONG v = -1;
    EXPECT_EQ(control_->CommitDrawData(&v), S_OK);
    return v;
  }
  LONG Undo() {
    LONG v = -1;
    EXPECT_EQ(control_->UndoDrawData(&v), S_OK);
    return v;
  }
  // The current DIB, for reading pixels.
  mem::Owned Dib() {
    LONG_PTR block = 0;
    EXPECT_EQ(control_->GetDIB(&block), S_OK);
    return mem::Owned(reinterpret_cast<mem::Handle>(block));
  }
  // How many pixels of the box (inclusive) have `color`.
  static int Count(const mem::Owned& dib, uint32_t color, int left, int top, int right,
                   int bottom) {
    int n = 0;
    for (int y = top; y <= bottom; ++y)
      for (int x = left; x <= right; ++x) n += test::ColorAt(dib.get(), x, y) == color;
    return n;
  }
};

TEST_F(Overlay, CommittedItemsAreDrawnIntoTheDibByTheirRules) {
  LONG v = -1;
  ASSERT_EQ(control_->DrawLine(0, 5, 20, 5, &v), S_OK);
  EXPECT_EQ(v, 0);
  Pen(kGreenRef, 1);
  ASSERT_EQ(control_->DrawRectangle(10, 10, 10, 10, 0, &v), S_OK);  // outline only
  Pen(kRedRef, 0);
  Fill(kBlueRef, 0);
  ASSERT_EQ(control_->DrawRectangle(25, 25, 5, 5, 1, &v), S_OK);  // pen width 0: the fill only
  EXPECT_EQ(Commit(), 0);
  EXPECT_EQ(Undo(), 10) << "the commit empties the list";

  const mem::Owned dib = Dib();
  const struct {
    const char* what;
    int x, y;
    uint32_t color;
  } pixels[] = {
      {"line start", 0, 5, kRed},
      {"line", 19, 5, kRed},
      {"line end, excluded", 20, 5, kWhite},
      {"outline corner", 10, 10, kGreen},
      {"outline bottom", 15, 20, kGreen},
      {"outline far corner", 20, 20, kGreen},
      {"inside the outline", 15, 15, kWhite},
      {"fill", 27, 27, kBlue},
      {"fill's right column", 30, 29, kBlue},
      {"fill's bottom, excluded", 30, 30, kWhite},
      {"left of the fill", 24, 27, kWhite},
  };
  for (const auto& p : pixels) EXPECT_EQ(test::ColorAt(dib.get(), p.x, p.y), p.color) << p.what;
}

TEST_F(Overlay, AnEllipseTakesItsOutlineStyleFromTheFillStyle) {
  LONG v = -1;
  Fill(kBlueRef, 0);
  ASSERT_EQ(control_->DrawEllipse(0, 0, 30, 30, 0, &v), S_OK);
  Fill(kBlueRef, 2);  // dotted
  ASSERT_EQ(control_->DrawEllipse(32, 0, 30, 30, 0, &v), S_OK);
  ASSERT_EQ(control_->DrawEllipse(0, 32, 30, 30, 1, &v), S_OK);  // filled
  EXPECT_EQ(Commit(), 0);
  const mem::Owned dib = Dib();
  const int solid = Count(dib, kRed, 0, 0, 31, 31), dotted = Count(dib, kRed, 32, 0, 63, 31);
  EXPECT_GT(solid, 60);
  EXPECT_GT(dotted, 10);
  EXPECT_LT(dotted, solid * 3 / 4) << "the dotted outline leaves gaps";
  EXPECT_EQ(Count(dib, kBlue, 15, 15, 15, 15), 0) << "no fill without the flag";
  EXPECT_EQ(test::ColorAt(dib.get(), 15, 47), kBlue) << "filled with the fill colour";
}

TEST_F(Overlay, TextShowsJapaneseGlyphsAtTheFontSize) {
  LONG v = -1;
  ASSERT_EQ(control_->put_DrawFontColor(kGreenRef), S_OK);
  ASSERT_EQ(control_->SetFontInfo(24, 400, 0, 0, 0, &v), S_OK);
  Bstr text(L"画像");
  ASSERT_EQ(control_->DrawText(2, 2, 1, 1, text.get(), &v), S_OK);
  EXPECT_EQ(v, 0);
  ASSERT_EQ(control_->SetFontInfo(1, 400, 0, 0, 0, &v), S_OK);
  ASSERT_EQ(control_->DrawText(2, 40, 1, 1, text.get(), &v), S_OK);
  EXPECT_EQ(Commit(), 0);
  const mem::Owned dib = Dib();
  // Two different characters, each half the font height wide: a font without them would draw
  // the same box twice. Edges may be smoothed, so any ink counts.
  int left = 0, right = 0, differing = 0;
  for (int y = 2; y < 30; ++y)
    for (int x = 2; x < 14; ++x) {
      const bool a = test::ColorAt(dib.get(), x, y) != kWhite;
      const bool b = test::ColorAt(dib.get(), x + 12, y) != kWhite;
      left += a, right += b, differing += a != b;
    }
  EXPECT_GT(left, 20);
  EXPECT_GT(right, 20);
  EXPECT_GT(differing, 20) << "画 and 像 differ";
  EXPECT_EQ(Count(dib, kWhite, 0, 36, 63, 63), 64 * 28) << "size 1: no width, nothing drawn";
}

TEST_F(Overlay, ItemsAreDrawnOverTheDisplayAtItsScaleAndScrollPosition) {
  LONG v = -1;
  ASSERT_EQ(control_->SetDispScale(2.0, 2.0, &v), S_OK);
  ASSERT_EQ(control_->DrawLine(0, 10, 40, 10, &v), S_OK);  // DIB (0, 5) to (20, 5)
  Fill(kBlueRef, 0);
  ASSERT_EQ(control_->DrawRectangle(50, 50, 20, 20, 1, &v), S_OK);
  PumpMessages();
  {
    const Capture pixels(window_);
    EXPECT_EQ(pixels.At(0, 10), kRed);
    EXPECT_EQ(pixels.At(39, 10), kRed);
    EXPECT_EQ(pixels.At(41, 10), kWhite) << "the line ends at twice its DIB length";
    EXPECT_EQ(pixels.At(60, 60), kBlue);
  }
  for (int n = 0; n < 10; ++n) SendMessageW(window_, WM_HSCROLL, SB_LINERIGHT, 0);
  PumpMessages();
  const Capture scrolled(window_);
  EXPECT_EQ(scrolled.At(29, 10), kRed);
  EXPECT_EQ(scrolled.At(31, 10), kWhite) << "moved left with the image";
  EXPECT_EQ(scrolled.At(45, 60), kBlue);
  EXPECT_EQ(test::ColorAt(Dib().get(), 5, 5), kWhite) << "the DIB is untouched";
}

TEST_F(Overlay, TheDirectModeDrawsIntoTheDibAndDropsPendingItems) {
  LONG v = -1;
  ASSERT_EQ(control_->DrawLine(0, 5, 20, 5, &v), S_OK);
  ASSERT_EQ(control_->put_DrawType(1), S_OK);
  Fill(kBlueRef, 0);
  ASSERT_EQ(control_->DrawRectangle(25, 25, 5, 5, 1, &v), S_OK);
  EXPECT_EQ(v, 0);
  const mem::Owned dib = Dib();
  EXPECT_EQ(test::ColorAt(dib.get(), 27, 27), kBlue) << "drawn at once";
  EXPECT_EQ(test::ColorAt(dib.get(), 5, 5), kWhite) << "the pending line is dropped";
  EXPECT_EQ(Undo(), 10);
}

TEST_F(Overlay, AnEmptyCommitStillReplacesTheDibAndRelaysOut) {
  LONG v = -1;
  ASSERT_EQ(control_->SetDispScale(3.0, 3.0, &v), S_OK);
  SendMessageW(window_, WM_HSCROLL, SB_PAGERIGHT, 0);
  ASSERT_EQ(GetScrollPos(window_, SB_HORZ), 10);
  const mem::Owned before = Dib();
  EXPECT_EQ(Commit(), 0);
  EXPECT_EQ(GetScrollPos(window_, SB_HORZ), 0) << "relaid out, scroll positions reset";
  const mem::Owned after = Dib();
  EXPECT_EQ(test::BytesOf(after.get()).size(), test::BytesOf(before.get()).size());
  EXPECT_EQ(Count(after, kWhite, 0, 0, 63, 63), 64 * 64);

  ASSERT_EQ(control_->SetDIB(0, &v), S_OK);
  EXPECT_EQ(Commit(), 1) << "no DIB";
}

}  // namespace
}  // namespace pv::wintest
