#include <gtest/gtest.h>

#include <cstring>

#include "document/image_document.h"
#include "fake_window.h"
#include "test_support.h"

namespace pv {
namespace {

using Words = std::array<uint32_t, kOverlaySlotWords>;

uint32_t F(float f) {
  uint32_t w;
  std::memcpy(&w, &f, 4);
  return w;
}

// A document at display scale 2 in a 100 x 100 window over a 400 x 400 image, the drawing
// attributes all distinct.
class Overlay : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(doc_.SetDIB(dib_.get()), Result::Ok);
    ASSERT_EQ(doc_.SetDispScale(2.0, 2.0), Result::Ok);
    doc_.set_draw_attributes({0x0000FF, 2, 3, 0x00FF00, 4, 0xFF0000, 0});
  }
  void ScrollTo(int32_t h, int32_t v) {
    doc_.Scroll(ScrollBar::Horizontal, kThumbPosition, h);
    doc_.Scroll(ScrollBar::Vertical, kThumbPosition, v);
  }
  static constexpr int32_t kThumbPosition = 4;

  test::FakeWindow window_{100, 100, 17};
  ImageDocument doc_{&window_};
  mem::Owned dib_{test::MakeDib(400, 400, 24, {}, [](int32_t, int32_t) { return 0u; })};
};

TEST_F(Overlay, ItemsKeepDibCoordinatesAndTheAttributesOfTheirTime) {
  ASSERT_EQ(doc_.SetFontInfo(20, 700, 1, 0, 1), Result::Ok);
  ASSERT_EQ(doc_.SetFontName("MS Gothic"), Result::Ok);
  struct Case {
    const char* what;
    std::function<Result()> add;
    Words words;
  };
  const Case cases[] = {
      {"line at scale 2",
       [&] { return doc_.DrawLine(0, 0, 10, 10); },
       {2, F(0), F(0), F(5), F(5), F(3), 0x0000FF, 2}},
      {"rectangle after scrolling",
       [&] {
         ScrollTo(10, 4);
         return doc_.DrawRectangle(2, 6, 8, 10, 1);
       },
       {3, F(6), F(5), F(10), F(10), F(3), 0x0000FF, 0x00FF00, 4, 1}},
      {"ellipse",
       [&] { return doc_.DrawEllipse(2, 6, 8, 10, 0); },
       {4, F(6), F(5), F(10), F(10), F(3), 0x0000FF, 0x00FF00, 4, 0}},
      {"text: width half the height, its strings by number",
       [&] { return doc_.DrawText(0, 0, 1, 3, "画像"); },
       {1, F(10), F(20), F(5), F(2), F(5.5f), F(3.5f), 700, 0, 1, 0, 1, 0xFF0000, 1, 2, 0}},
      {"text without a font name",
       [&] {
         doc_.SetFontName("");
         return doc_.DrawText(0, 0, 0, 0, "x");
       },
       {1, F(10), F(20), F(5), F(2), F(5), F(2), 700, 0, 1, 0, 1, 0xFF0000, 0, 3, 0}},
  };
  int32_t index = 0;
  for (const Case& c : cases) {
    ASSERT_EQ(c.add(), Result::Ok) << c.what;
    EXPECT_EQ(doc_.overlay().Words(index++), c.words) << c.what;
  }
  const OverlayItem text = doc_.overlay().At(3);
  ASSERT_TRUE(text.text && text.fontName);
  EXPECT_EQ(*text.text, "画像");
  EXPECT_EQ(*text.fontName, "MS Gothic");
  EXPECT_EQ(doc_.overlay().At(4).fontName, nullptr);

  doc_.set_draw_attributes({});
  EXPECT_EQ(doc_.overlay().Words(0), cases[0].words) << "later attributes leave items alone";
  EXPECT_EQ(doc_.overlay().Selection(-1).size(), 5u);
  EXPECT_EQ(doc_.overlay().Selection(-2).at(0).kind, OverlayKind::Text);
  EXPECT_EQ(doc_.overlay().Selection(2).at(0).kind, OverlayKind::Ellipse);
  EXPECT_TRUE(doc_.overlay().Selection(5).empty());
  EXPECT_TRUE(doc_.overlay().Selection(-3).empty());
}

TEST_F(Overlay, UndoClearAndTheFontRules) {
  EXPECT_EQ(doc_.UndoDrawData(), Result::NothingToDo);
  ASSERT_EQ(doc_.DrawLine(0, 0, 1, 1), Result::Ok);
  EXPECT_EQ(doc_.UndoDrawData(), Result::Ok);
  EXPECT_EQ(doc_.UndoDrawData(), Result::NothingToDo);

  // A text item's strings go with it: the next one's are numbered as before.
  ASSERT_EQ(doc_.SetFontName("Face"), Result::Ok);
  ASSERT_EQ(doc_.DrawText(0, 0, 1, 1, "a"), Result::Ok);
  ASSERT_EQ(doc_.UndoDrawData(), Result::Ok);
  ASSERT_EQ(doc_.DrawText(0, 0, 1, 1, "b"), Result::Ok);
  EXPECT_EQ(doc_.overlay().Words(0)[13], 1u);
  EXPECT_EQ(*doc_.overlay().At(0).text, "b");

  EXPECT_EQ(doc_.SetFontInfo(12, 1001, 0, 0, 0), Result::BadParameter);
  EXPECT_EQ(doc_.SetFontInfo(0, 400, 0, 0, 0), Result::BadParameter);
  ASSERT_EQ(doc_.DrawText(0, 0, 1, 1, "c"), Result::Ok);
  EXPECT_EQ(doc_.overlay().Words(1)[2], F(50)) << "refused: the old size stays";
  EXPECT_EQ(doc_.SetFontInfo(1, 400, 0, 0, 0), Result::Ok);
  ASSERT_EQ(doc_.DrawText(0, 0, 1, 1, "d"), Result::Ok);
  EXPECT_EQ(doc_.overlay().Words(2)[1], F(0)) << "size 1: no width, the text is invisible";

  ScrollTo(7, 3);
  ASSERT_EQ(doc_.horizontal_position(), 7);
  EXPECT_EQ(doc_.ClearDrawData(), Result::Ok);
  EXPECT_TRUE(doc_.overlay().empty());
  EXPECT_EQ(doc_.overlay().block_bytes(), 0u);
  EXPECT_EQ(doc_.horizontal_position(), 0) << "relaid out with the scroll positions reset";
  for (int n = 0; n < 10; ++n) ASSERT_EQ(doc_.DrawLine(0, 0, 1, 1), Result::Ok);
  EXPECT_EQ(doc_.overlay().count(), 10);
}

TEST(OverlayList, GrowsByTheStepUpToItsCap) {
  const std::pair<int32_t, std::optional<size_t>> rule[] = {
      {0, 65536},
      {1, 0},
      {1022, 0},
      {1023, 131072},
      {1024, 0},
      {2047, 196608},
      {1047551, 1024 * size_t{65536}},
      {1047552, 0},
      {1048575, std::nullopt},
  };
  for (const auto& [count, bytes] : rule)
    EXPECT_EQ(OverlayBlockBytesFor(count), bytes) << count << " items";

  OverlayList list;
  OverlayItem line;
  line.penWidth = 1;
  for (int32_t n = 0; n < 2048; ++n) {
    line.x1 = static_cast<float>(n);
    ASSERT_EQ(list.Append(line), Result::Ok);
    if (n == 1022) EXPECT_EQ(list.block_bytes(), 65536u);
    if (n == 1023) EXPECT_EQ(list.block_bytes(), 131072u);
    if (n == 2047) EXPECT_EQ(list.block_bytes(), 196608u);
  }
  EXPECT_EQ(list.At(0).x1, 0.0f) << "every item kept across the growth";
  EXPECT_EQ(list.At(1500).x1, 1500.0f);
  EXPECT_EQ(list.At(2047).x1, 2047.0f);
}

}  // namespace
}  // namespace pv
