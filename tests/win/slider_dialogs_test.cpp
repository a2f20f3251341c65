// The slider dialogs as a user meets them: opened by their Operate members on the control in
// atl.dll's container, worked from a helper thread, and the image, the outputs and the log read
// back; the panes are read back pixel by pixel with PrintWindow.
#include <cstdio>

#include "dialog_user.h"
#include "embedded.h"
#include "test_support.h"
#include "ui_watch.h"

namespace pv::wintest {
namespace {

using test::Bytes;

constexpr uint32_t kWhite = 0xFFFFFF, kBlack = 0;
constexpr uint32_t kRed = 0xC80000, kGreen = 0x00C800, kBlue = 0x0000C8;  // 0xRRGGBB
constexpr const char* kGammaTitle = "ｶﾞﾝﾏ補正";

class SliderDialogs : public Embedded {
 protected:
  Bytes Image() {
    LONG_PTR dib = 0;
    EXPECT_EQ(control_->GetDIB(&dib), S_OK);
    const mem::Owned owned(reinterpret_cast<mem::Handle>(dib));
    return test::BytesOf(owned.get());
  }
  // The image `operation` makes of the current one, which is then put back.
  Bytes After(const std::function<HRESULT(LONG*)>& operation) {
    const Bytes before = Image();
    LONG v = -1;
    EXPECT_EQ(operation(&v), S_OK);
    EXPECT_EQ(v, 0);
    const Bytes after = Image();
    ShowDib(test::BlockOf(before));
    return after;
  }
  void StartLog() {
    LONG v = -1;
    ASSERT_EQ(control_->StartLog(&v), S_OK);
  }
  void Gradient() {
    Show(16, 16, [](int32_t x, int32_t y) { return static_cast<uint32_t>(x * 0x100F00 + y * 9); });
  }
};

// Only the end of the tracking previews; "決定" keeps the last preview and the member records it.
TEST_F(SliderDialogs, MosaicPreviewsWhenTheSliderIsReleased) {
  for (const bool released : {true, false}) {
    Gradient();
    const Bytes original = Image();
    const Bytes mosaic = After([&](LONG* v) { return control_->Mosaic(8, v); });
    ASSERT_NE(mosaic, original);
    LONG v = -1, size = -1, removed = -1;
    ASSERT_EQ(control_->RemoveLog(&removed), S_OK);
    StartLog();
    ASSERT_TRUE(WithDialog(
        "ﾓｻﾞｲｸ",
        [&](DialogUser& user) {
          user.Drag(1501, 8);
          EXPECT_EQ(user.Text(1101), "8");
          EXPECT_EQ(user.ScrollPosition(1401), 8);
          if (released) user.Slide(1501, 8);
          user.Confirm();
        },
        [&] { ASSERT_EQ(control_->OperateMosaic(&size, &v), S_OK); }));
    EXPECT_EQ(v, 0);
    EXPECT_EQ(size, 8);
    EXPECT_EQ(Image(), released ? mosaic : original) << released;
    EXPECT_EQ(LogTextLines(), std::vector<std::string>{Cp932("ﾓｻﾞｲｸ  大きさ:8")});
  }
}

TEST_F(SliderDialogs, ScrollBarStepsClampAndCancelGivesTheImageBack) {
  Gradient();
  const Bytes original = Image();
  StartLog();
  struct Step {
    int code, value;
  };
  const Step steps[] = {{SB_LINEDOWN, 0}, {SB_LINEUP, 1},  {SB_PAGEUP, 11},     {SB_PAGEDOWN, 1},
                        {SB_BOTTOM, 32},  {SB_LINEUP, 32}, {SB_THUMBTRACK, 32}, {SB_TOP, 0},
                        {SB_PAGEUP, 10},  {SB_PAGEDOWN, 0}};
  LONG v = -1, size = -1;
  ASSERT_TRUE(WithDialog(
      "ﾓｻﾞｲｸ",
      [&](DialogUser& user) {
        EXPECT_EQ(user.Text(1101), "0");
        for (const Step& step : steps) {
          user.Scroll(1401, step.code);
          EXPECT_EQ(user.ScrollPosition(1401), step.value) << step.code;
          EXPECT_EQ(user.SliderPosition(1501), step.value) << step.code;
          EXPECT_EQ(user.Text(1101), std::to_string(step.value)) << step.code;
        }
        user.Slide(1501, 5);
        user.Cancel();
      },
      [&] { ASSERT_EQ(control_->OperateMosaic(&size, &v), S_OK); }));
  EXPECT_EQ(v, 15);
  EXPECT_EQ(size, -1);
  EXPECT_EQ(Image(), original);
  EXPECT_TRUE(LogTextLines().empty());
}

TEST_F(SliderDialogs, RotationTurnsTheSnapshotByTheReleasedAngle) {
  Gradient();
  const Bytes turned = After([&](LONG* v) { return control_->Rotate(-90.0f, 1, 0, v); });
  float angle = 0;
  LONG v = -1;
  ASSERT_TRUE(WithDialog(
      "回転",
      [&](DialogUser& user) {
        user.Scroll(1401, SB_BOTTOM);
        EXPECT_EQ(user.Text(1101), "180");
        user.Slide(1501, -90);
        user.Confirm();
      },
      [&] { ASSERT_EQ(control_->OperateRotate(&angle, &v), S_OK); }));
  EXPECT_EQ(v, 0);
  EXPECT_EQ(angle, -90.0f);
  EXPECT_EQ(Image(), turned);
}

// Typed decimals commit on Return or when the focus leaves, as hundredths the slider clamps.
TEST_F(SliderDialogs, GammaCommitsTypedDecimalsAndDrawsTheGrayHistogram) {
  ShowIndexed(10, 10, 8, [](int32_t, int32_t) { return 50u; });
  const Bytes expected = After([&](LONG* v) { return control_->Gamma(1.15f, v); });
  struct Typing {
    const char* text;
    bool byReturn;
    int position;
    const char* shown;
  };
  const Typing typed[] = {{"2.5", true, 250, "2.50"},
                          {"9", true, 500, "5.00"},
                          {"abc", true, 20, "0.20"},
                          {"1.15", false, 115, "1.15"}};
  float rgb[3] = {};
  LONG v = -1;
  ASSERT_TRUE(WithDialog(
      kGammaTitle,
      [&](DialogUser& user) {
        EXPECT_EQ(user.Text(1101), "1.00");
        {
          // 81 pixels of 50 counted (one column and row short): the peak at y = 10.
          const Capture pane(user.Item(1001));
          EXPECT_EQ(pane.At(50, 10), kBlack);
          EXPECT_EQ(pane.At(50, 9), kWhite);
          EXPECT_EQ(pane.At(20, 50), kWhite);
        }
        for (const Typing& t : typed) {
          user.Type(1101, t.text);
          if (t.byReturn) {
            user.PressReturn(1101);
          } else {
            user.Focus(1101);
            user.Focus(1501);
          }
          EXPECT_EQ(user.SliderPosition(1501), t.position) << t.text;
          EXPECT_EQ(user.ScrollPosition(1401), t.position) << t.text;
          EXPECT_EQ(user.Text(1101), t.shown) << t.text;
        }
        EXPECT_TRUE(IsWindowVisible(user.window())) << "Return is no press of 決定";
        user.Confirm();
      },
      [&] { ASSERT_EQ(control_->OperateGamma(&rgb[0], &rgb[1], &rgb[2], &v), S_OK); }));
  EXPECT_EQ(v, 0);
  for (float value : rgb) EXPECT_EQ(value, 1.15f);
  EXPECT_EQ(Image(), expected);
}

TEST_F(SliderDialogs, LinkedRGBGammaMovesTheThreeChannelsTogether) {
  Show(10, 10, [](int32_t, int32_t) { return 0x0A1E32u; });  // red 10, green 30, blue 50
  const Bytes expected = After([&](LONG* v) { return control_->RGBGamma(1.5f, 1.5f, 1.5f, v); });
  float rgb[3] = {};
  LONG v = -1;
  ASSERT_TRUE(WithDialog(
      kGammaTitle,
      [&](DialogUser& user) {
        {
          const Capture pane(user.Item(1001));
          EXPECT_EQ(pane.At(10, 10), kRed);
          EXPECT_EQ(pane.At(30, 10), kGreen);
          EXPECT_EQ(pane.At(50, 10), kBlue);
        }
        EXPECT_FALSE(user.Checked(4201));
        user.Slide(1501, 200);
        EXPECT_EQ(user.Text(1101), "2.00");
        EXPECT_EQ(user.Text(1102), "1.00");
        EXPECT_EQ(Capture(user.Item(1001)).At(10, 10), kWhite) << "the red peak moved on";
        user.Click(4201);
        user.Slide(1502, 150);
        for (int n = 0; n < 3; ++n) {
          EXPECT_EQ(user.Text(1101 + n), "1.50") << n;
          EXPECT_EQ(user.SliderPosition(1501 + n), 150) << n;
          EXPECT_EQ(user.ScrollPosition(1401 + n), 150) << n;
        }
        user.Confirm();
      },
      [&] { ASSERT_EQ(control_->OperateGamma(&rgb[0], &rgb[1], &rgb[2], &v), S_OK); }));
  EXPECT_EQ(v, 0);
  for (float value : rgb) EXPECT_EQ(value, 1.5f);
  EXPECT_EQ(Image(), expected);
}

// The preview stretches over 0..255 whatever ContrastLow says.
TEST_F(SliderDialogs, ContrastUpDownsAndEditsSetTheSliders) {
  ShowIndexed(16, 1, 8, [](int32_t x, int32_t) { return static_cast<uint32_t>(x * 16); });
  const Bytes expected = After([&](LONG* v) { return control_->Contrast(50, 200, v); });
  ASSERT_EQ(control_->put_ContrastLow(10), S_OK);
  LONG low = -1, high = -1, v = -1;
  ASSERT_TRUE(WithDialog(
      "ｺﾝﾄﾗｽﾄ調整",
      [&](DialogUser& user) {
        EXPECT_EQ(user.Text(1101), "0");
        EXPECT_EQ(user.Text(1102), "255");
        EXPECT_EQ(user.UpDownPosition(1302), 255);
        user.UpDown(1301, 50);
        EXPECT_EQ(user.SliderPosition(1501), 50);
        EXPECT_EQ(user.Text(1101), "50");
        user.Type(1102, "200");
        user.PressReturn(1102);
        EXPECT_EQ(user.SliderPosition(1502), 200);
        EXPECT_EQ(user.UpDownPosition(1302), 200);
        user.Confirm();
      },
      [&] { ASSERT_EQ(control_->OperateContrast(&low, &high, &v), S_OK); }));
  EXPECT_EQ(v, 0);
  EXPECT_EQ(low, 50);
  EXPECT_EQ(high, 200);
  EXPECT_EQ(Image(), expected);
}

// The edit box leads: slider and scroll bar write "%3d" into it, and its text previews.
TEST_F(SliderDialogs, ThresholdFollowsItsEditBoxAndKeepsReturnFromTheDialog) {
  ShowIndexed(10, 10, 8, [](int32_t, int32_t) { return 50u; });
  const Bytes expected = After([&](LONG* v) { return control_->Monochrome(100, v); });
  StartLog();
  LONG threshold = -2, v = -1;
  ASSERT_TRUE(WithDialog(
      "２値化閾値決定",
      [&](DialogUser& user) {
        EXPECT_EQ(user.Text(1101), "128");
        {
          // 100 pixels of 50: its bar tops at y = 10; columns up to 128 inverted.
          const Capture pane(user.Item(1001));
          EXPECT_EQ(pane.At(50, 5), kBlack);
          EXPECT_EQ(pane.At(50, 50), kWhite);
          EXPECT_EQ(pane.At(100, 50), kBlack);
          EXPECT_EQ(pane.At(200, 50), kWhite);
        }
        user.Slide(1501, 7);
        EXPECT_EQ(user.Text(1101), "  7");
        EXPECT_EQ(user.ScrollPosition(1401), 7);
        user.Scroll(1401, SB_TOP);
        user.Scroll(1401, SB_LINEDOWN);
        EXPECT_EQ(user.Text(1101), "  0");
        user.Type(1101, "100");
        EXPECT_EQ(user.ScrollPosition(1401), 100);
        EXPECT_EQ(user.SliderPosition(1501), 100);
        user.PressReturn(1101);
        EXPECT_TRUE(IsWindowVisible(user.window()));
        EXPECT_EQ(user.Text(1101), "100");
        user.Confirm();
      },
      [&] { ASSERT_EQ(control_->OperateMonochrome(128, &threshold, &v), S_OK); }));
  EXPECT_EQ(v, 0);
  EXPECT_EQ(threshold, 100);
  EXPECT_EQ(Image(), expected);
  EXPECT_EQ(LogTextLines(), std::vector<std::string>{Cp932("２値化  閾値:100")});
}

// Confirmed untouched, the image is binarised at the threshold handed back, as its entry says.
TEST_F(SliderDialogs, ThresholdUntouchedStillAppliesOnConfirmAndNothingOnCancel) {
  for (const bool confirm : {true, false}) {
    ShowIndexed(10, 10, 8, [](int32_t, int32_t) { return 50u; });
    const Bytes original = Image();
    const Bytes binary = After([&](LONG* v) { return control_->Monochrome(128, v); });
    LONG removed = -1, threshold = -2, v = -1;
    ASSERT_EQ(control_->RemoveLog(&removed), S_OK);
    StartLog();
    ASSERT_TRUE(WithDialog(
        "２値化閾値決定", [&](DialogUser& user) { confirm ? user.Confirm() : user.Cancel(); },
        [&] { ASSERT_EQ(control_->OperateMonochrome(128, &threshold, &v), S_OK); }));
    EXPECT_EQ(v, 0);
    EXPECT_EQ(threshold, confirm ? 128 : -1);
    EXPECT_EQ(Image(), confirm ? binary : original);
    EXPECT_EQ(LogTextLines().size(), confirm ? 1u : 0u);
  }
}

// No image, one bit, 32 bits: every dialog opens and ends, previews failing quietly.
TEST_F(SliderDialogs, OddImagesStillOpenEveryDialog) {
  const std::function<void()> images[] = {
      [] {},
      [this] { ShowIndexed(9, 7, 1, [](int32_t x, int32_t y) { return (x + y) % 2u; }); },
      [this] { ShowDib(test::MakeDib(9, 7, 32, {}, [](int32_t x, int32_t) { return x * 99u; })); },
  };
  struct Opening {
    const char* title;
    std::function<HRESULT(LONG*)> member;
  };
  LONG a = 0, b = 0;
  float f[3] = {};
  const Opening openings[] = {
      {"ﾓｻﾞｲｸ", [&](LONG* v) { return control_->OperateMosaic(&a, v); }},
      {"回転", [&](LONG* v) { return control_->OperateRotate(&f[0], v); }},
      {kGammaTitle, [&](LONG* v) { return control_->OperateGamma(&f[0], &f[1], &f[2], v); }},
      {"ｺﾝﾄﾗｽﾄ調整", [&](LONG* v) { return control_->OperateContrast(&a, &b, v); }},
  };
  for (size_t image = 0; image < std::size(images); ++image) {
    images[image]();
    for (const Opening& opening : openings) {
      LONG v = -1;
      EXPECT_TRUE(WithDialog(
          opening.title,
          [&](DialogUser& user) {
            user.Slide(1501, 30);
            user.Scroll(1401, SB_LINEUP);
            user.Confirm();
          },
          [&] { EXPECT_EQ(opening.member(&v), S_OK); }))
          << opening.title << " " << image;
      EXPECT_EQ(v, 0) << opening.title << " " << image;
    }
  }
}

}  // namespace
}  // namespace pv::wintest
