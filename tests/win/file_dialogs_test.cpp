// The file dialogs as a user meets them: OperateLoad and OperateSave with the system's dialogs,
// the save dialog's types and its JPEG options, and the log's file dialogs.
#include <cstdio>
#include <cstring>

#include "dialog_user.h"
#include "embedded.h"
#include "test_support.h"

namespace pv::wintest {
namespace {

constexpr int kOptions = 4101, kBaseline = 1201, kProgressive = 1202, kQuality = 1501;

class FileDialogs : public Embedded {
 protected:
  LONG Save(IPictavorCtl* control, const std::function<void(DialogUser&)>& drive) {
    LONG v = -1;
    EXPECT_TRUE(WithFileDialog(drive, [&] { EXPECT_EQ(control->OperateSave(&v), S_OK); }));
    return v;
  }
  // The JPEG options as the user leaves them: the variant's button and the quality.
  static void SetOptions(DialogUser& save, int variant, int quality) {
    save.Template().Click(kOptions);
    DialogUser options(AwaitDialog("ｵﾌﾟｼｮﾝ"));
    ASSERT_TRUE(options.window());
    options.Click(variant);
    options.Slide(kQuality, quality);
    options.Confirm();
  }
  test::Bytes SavedDirectly(const std::string& name, LONG format, LONG quality) {
    const std::string path = test::TempPath(name);
    Bstr file(Wide(path).c_str());
    LONG v = -1;
    EXPECT_EQ(control_->Save(file.get(), format, 0, quality, &v), S_OK);
    EXPECT_EQ(v, 0);
    return test::ReadFile(path);
  }
  LONG SaveLog(const std::string& path, LONG type) {
    Bstr file(Wide(path).c_str());
    LONG v = -1;
    EXPECT_EQ(control_->SaveLog(file.get(), type, &v), S_OK);
    return v;
  }
};

TEST_F(FileDialogs, TheChosenTypeGivesTheFormatWhateverTheNameSays) {
  ShowIndexed(8, 8, 8, [](int32_t x, int32_t y) { return static_cast<uint32_t>(x * y); });
  const std::string path = test::TempPath("typed-as.jpg");
  std::remove(path.c_str());
  bool optionsOffered = true, controlEnabled = true;
  EXPECT_EQ(Save(control_.get(),
                 [&](DialogUser& save) {
                   controlEnabled = IsWindowEnabled(window_);
                   EXPECT_TRUE(save.Template().Enabled(kOptions));
                   save.ChooseFileType(2);
                   optionsOffered = save.Template().Enabled(kOptions);
                   save.TypeFileName(path);
                   save.PressDefault();
                 }),
            0);
  EXPECT_FALSE(optionsOffered) << "options are JPEG's only";
  EXPECT_FALSE(controlEnabled) << "the control waits for the dialog";
  EXPECT_TRUE(IsWindowEnabled(window_));
  const test::Bytes written = test::ReadFile(path);
  ASSERT_GE(written.size(), 8u);
  EXPECT_EQ(std::memcmp(written.data(), "\x89PNG", 4), 0);
  EXPECT_EQ(Save(control_.get(), [](DialogUser& save) { save.Dismiss(); }), 15);
}

// The settings are the process's: the next dialog of any control opens with them and saves
// with them.
TEST_F(FileDialogs, JpegOptionsChosenInOneControlHoldForEveryControl) {
  ShowIndexed(16, 16, 8, [](int32_t x, int32_t y) { return static_cast<uint32_t>(x * 16 + y); });
  const std::string first = test::TempPath("options-first.jpg");
  std::remove(first.c_str());
  EXPECT_EQ(Save(control_.get(),
                 [&](DialogUser& save) {
                   SetOptions(save, kProgressive, 40);
                   save.TypeFileName(first);
                   save.PressDefault();
                 }),
            0);
  const test::Bytes expected = SavedDirectly("options-direct.jpg", 2, 40);
  EXPECT_EQ(test::ReadFile(first), expected);

  Ref<IPictavorCtl> other;
  ASSERT_EQ(CoCreateInstance(CLSID_PictavorCtl, nullptr, CLSCTX_INPROC_SERVER, IID_IPictavorCtl,
                             reinterpret_cast<void**>(other.out())),
            S_OK);
  LONG v = -1;
  const LONG_PTR dib = [&] {
    LONG_PTR h = 0;
    control_->GetDIB(&h);
    return h;
  }();
  ASSERT_EQ(other->SetDIB(dib, &v), S_OK);
  GlobalFree(reinterpret_cast<HGLOBAL>(dib));
  const std::string second = test::TempPath("options-second.jpg");
  std::remove(second.c_str());
  bool shownAsChosen = false;
  EXPECT_EQ(Save(other.get(),
                 [&](DialogUser& save) {
                   save.TypeFileName(second);
                   save.PressDefault();
                 }),
            0);
  EXPECT_EQ(test::ReadFile(second), expected);
  // Back to the first settings, which the dialog shows as the second control's.
  Save(other.get(), [&](DialogUser& save) {
    save.Template().Click(kOptions);
    DialogUser options(AwaitDialog("ｵﾌﾟｼｮﾝ"));
    shownAsChosen = options.Checked(kProgressive) && options.SliderPosition(kQuality) == 40 &&
                    options.Text(1101) == "40";
    options.Click(kBaseline);
    options.Slide(kQuality, 70);
    options.Confirm();
    save.Dismiss();
  });
  EXPECT_TRUE(shownAsChosen);
}

TEST_F(FileDialogs, LoadTakesTheChosenFileAndCancelAnswers15) {
  const std::string path = test::FixturePath("im_24bit.bmp");
  LONG v = -1;
  EXPECT_TRUE(WithFileDialog(
      [&](DialogUser& open) {
        open.TypeFileName(path);
        open.PressDefault();
      },
      [&] { control_->OperateLoad(&v); }));
  EXPECT_EQ(v, 0);
  LONG width = 0;
  control_->GetWidth(&width);
  EXPECT_GT(width, 0);
  EXPECT_TRUE(
      WithFileDialog([](DialogUser& open) { open.Dismiss(); }, [&] { control_->OperateLoad(&v); }));
  EXPECT_EQ(v, 15);
}

// A save to a path makes it the current log file, which OperateSaveLog(0) writes without
// asking; 1 always asks, and a name without extension becomes a .pvr file.
TEST_F(FileDialogs, TheLogIsSavedUnderItsCurrentNameOrAsked) {
  LONG v = -1;
  control_->StartLog(&v);
  ShowBlank(4, 4);
  control_->TurnOver(0, &v);
  const std::string current = test::TempPath("current.pvr");
  ASSERT_EQ(SaveLog(current, 0), 0);
  control_->TurnOver(1, &v);
  EXPECT_FALSE(
      WithFileDialog([](DialogUser& d) { d.Dismiss(); }, [&] { control_->OperateSaveLog(0, &v); }));
  EXPECT_EQ(v, 0);
  EXPECT_EQ(test::ReadFile(current).size(), 16u + 8 + 8);

  const std::string asked = test::TempPath("asked");
  std::remove((asked + ".pvr").c_str());
  EXPECT_TRUE(WithFileDialog(
      [&](DialogUser& d) {
        d.TypeFileName(asked);
        d.PressDefault();
      },
      [&] { control_->OperateSaveLog(1, &v); }));
  EXPECT_EQ(v, 0);
  EXPECT_EQ(test::ReadFile(asked + ".pvr"), test::ReadFile(current));

  EXPECT_TRUE(WithFileDialog(
      [&](DialogUser& d) {
        d.TypeFileName(current);
        d.PressDefault();
      },
      [&] { control_->OperateLoadLog(-1, &v); }));
  EXPECT_EQ(v, 0);
  const std::string doubled = test::TempPath("doubled.pvr");
  ASSERT_EQ(SaveLog(doubled, 0), 0);
  EXPECT_EQ(test::ReadFile(doubled).size(), 16u + 4 * 8);

  const std::string text = test::TempPath("lines");
  std::remove((text + ".txt").c_str());
  EXPECT_TRUE(WithFileDialog(
      [&](DialogUser& d) {
        d.TypeFileName(text);
        d.PressDefault();
      },
      [&] { control_->OperateSaveLogText(&v); }));
  EXPECT_EQ(v, 0);
  EXPECT_FALSE(test::ReadFile(text + ".txt").empty());
}

}  // namespace
}  // namespace pv::wintest
