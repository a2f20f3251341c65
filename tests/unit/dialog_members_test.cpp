// The members that open dialogs, on the portable control with scripted dialogs: what each hands
// out, reports and records when the user confirms and when the user cancels.
#include <gtest/gtest.h>

#include <cstring>

#include "automation/dialog_members.h"
#include "automation/invoke.h"
#include "base/bytes.h"
#include "base/dispids.h"
#include "test_support.h"

namespace pv {
namespace {

// Dialogs that answer what the test chose; `whileOpen` acts as the user inside the dialog.
class ScriptedDialogs : public DialogPort {
 public:
  bool confirm = true;
  int opened = 0;
  std::function<void()> whileOpen = [] {};
  std::string path = "chosen";
  int32_t lastInitial = 0;

  bool Mosaic(int32_t* size) override { return Answer(size, 8); }
  bool Rotation(float* angle) override { return Answer(angle, 30.0f); }
  bool Gamma(float* gamma) override { return Answer(gamma, 2.5f); }
  bool RGBGamma(float* r, float* g, float* b) override {
    return Answer(r, 0.5f) && Answer(g, 1.5f) && Answer(b, 2.0f, false);
  }
  bool Contrast(int32_t* low, int32_t* high) override {
    return Answer(low, 20) && Answer(high, 240, false);
  }
  int32_t Threshold(int32_t initial, const HistogramCounts& counts) override {
    lastInitial = initial;
    thresholdCounts = counts;
    ++opened;
    return confirm ? 99 : -1;
  }
  bool Palette() override { return Answer(&opened, opened); }
  bool CustomGrayscale(GrayRatios* r) override { return Answer(r, GrayRatios{0.5, 0.25, 0.25}); }
  bool Trim(TrimChoice* t) override { return Answer(t, TrimChoice{1, 2, 8, 4}); }
  bool CanvasSize(CanvasChoice* s) override { return Answer(s, CanvasChoice{300, 200, 0x404}); }
  bool Resize(ScaleChoice* s) override { return Answer(s, ScaleChoice{0.5, 0.5, 1}); }
  bool ChooseImageToLoad(std::string* p) override { return Answer(p, path); }
  bool ChooseImageToSave(SaveChoice* s) override { return Answer(s, SaveChoice{path, 6, 0}); }
  bool ChooseLogFile(bool, std::string* p) override { return Answer(p, path); }
  bool ChooseLogTextFile(std::string* p) override { return Answer(p, path); }

  HistogramCounts thresholdCounts{};

 private:
  // Counts the dialog once per call of a member (the RGB dialog answers three values).
  template <typename T>
  bool Answer(T* out, T value, bool opens = true) {
    if (opens) {
      ++opened;
      whileOpen();
    }
    if (confirm) *out = value;
    return confirm;
  }
};

struct Fixture {
  ScriptedDialogs dialogs;
  PortableControl control;
  explicit Fixture(int bits = 8) {
    control.set_dialogs(&dialogs);
    const test::Bytes table = bits <= 8 ? test::GrayRamp() : test::Bytes();
    mem::Owned dib(test::MakeDib(16, 8, bits, table, [](int32_t x, int32_t y) {
      return static_cast<uint32_t>(x * 16 + y);
    }));
    EXPECT_EQ(control.document().SetDIB(dib.get()), Result::Ok);
    control.log().StartLogging();
  }
  Call Run(const char* name, const std::vector<double>& inputs = {}) {
    Call call;
    EXPECT_TRUE(InvokeByName(control, name, inputs, &call)) << name;
    return call;
  }
};

float FloatAt(const LogEntry& e, size_t offset) {
  float f;
  std::memcpy(&f, e.parameters.data() + offset, 4);
  return f;
}
double DoubleAt(const LogEntry& e, size_t offset) {
  double d;
  std::memcpy(&d, e.parameters.data() + offset, 8);
  return d;
}
int32_t LongAt(const LogEntry& e, size_t offset) { return ReadI32(e.parameters.data() + offset); }

TEST(DialogMembers, ConfirmedDialogsHandOutTheirValuesAndRecordTheOperation) {
  struct Case {
    const char* member;
    int32_t code;
    std::function<void(const Call&, const LogEntry&)> check;
  };
  const Case cases[] = {
      {"OperateMosaic", dispid::kMosaic,
       [](const Call& k, const LogEntry& e) {
         EXPECT_EQ(k.args[0].i, 8);
         EXPECT_EQ(LongAt(e, 0), 8);
       }},
      {"OperateRotate", dispid::kRotate,
       [](const Call& k, const LogEntry& e) {
         EXPECT_EQ(k.args[0].d, 30.0);
         EXPECT_EQ(FloatAt(e, 0), 30.0f);
         EXPECT_EQ(LongAt(e, 4), 1);
         EXPECT_EQ(LongAt(e, 8), 0);
       }},
      {"OperateGamma", dispid::kGamma,  // 8 bits: one value in all three outputs
       [](const Call& k, const LogEntry& e) {
         for (size_t n = 0; n < 3; ++n) EXPECT_EQ(k.args[n].d, 2.5);
         EXPECT_EQ(FloatAt(e, 0), 2.5f);
       }},
      {"OperateContrast", dispid::kContrast,  // with the control's output range
       [](const Call& k, const LogEntry& e) {
         EXPECT_EQ(k.args[0].i, 20);
         EXPECT_EQ(k.args[1].i, 240);
         EXPECT_EQ(LongAt(e, 0), 20);
         EXPECT_EQ(LongAt(e, 4), 240);
         EXPECT_EQ(LongAt(e, 8), 10);
         EXPECT_EQ(LongAt(e, 12), 200);
       }},
      {"OperateTrim", dispid::kTrim,
       [](const Call& k, const LogEntry& e) {
         EXPECT_EQ(k.args[2].d, 8.0);
         for (size_t n = 0; n < 4; ++n) EXPECT_EQ(FloatAt(e, 4 * n), k.args[n].d);
       }},
      {"OperateSetSize", dispid::kSetSize,
       [](const Call& k, const LogEntry& e) {
         EXPECT_EQ(k.args[2].i, 0x404);
         EXPECT_EQ(LongAt(e, 0), 300);
         EXPECT_EQ(LongAt(e, 4), 200);
         EXPECT_EQ(LongAt(e, 8), 0x404);
         EXPECT_EQ(LongAt(e, 12), 0);
       }},
      {"OperateSetImageScale", dispid::kSetImageScale,
       [](const Call& k, const LogEntry& e) {
         EXPECT_EQ(k.args[1].d, 0.5);
         EXPECT_EQ(k.args[2].i, 1);
         EXPECT_EQ(DoubleAt(e, 8), 0.5);
         EXPECT_EQ(LongAt(e, 16), 1);
       }},
  };
  for (const Case& c : cases) {
    Fixture f;
    f.control.properties().contrastLow = 10;
    f.control.properties().contrastHi = 200;
    const Call call = f.Run(c.member);
    EXPECT_EQ(call.pVal, 0) << c.member;
    ASSERT_EQ(f.control.log().entries().size(), 1u) << c.member;
    EXPECT_EQ(f.control.log().entries()[0].code, c.code) << c.member;
    c.check(call, f.control.log().entries()[0]);
  }
}

TEST(DialogMembers, ConfirmedDialogsWithoutPreviewPerformTheOperation) {
  Fixture f;
  f.Run("OperateTrim");
  EXPECT_EQ(f.control.document().GetWidth(), 8);
  f.Run("OperateSetSize");
  EXPECT_EQ(f.control.document().GetHeight(), 200);
  f.Run("OperateSetImageScale");
  EXPECT_EQ(f.control.document().GetWidth(), 150);
}

TEST(DialogMembers, CancelledDialogsReport15AndLeaveOutputsAndLogAlone) {
  for (const char* member :
       {"OperateMosaic", "OperateRotate", "OperateGamma", "OperateContrast", "OperateTrim",
        "OperateSetSize", "OperateSetImageScale", "OperateLoad", "OperateSave", "OperateLoadLog",
        "OperateSaveLog", "OperateSaveLogText"}) {
    Fixture f;
    ASSERT_EQ(f.Run("TurnOver", {0}).pVal, 0);  // one entry, so the log members reach their dialogs
    f.dialogs.confirm = false;
    const Member* row = FindMember(member);
    Call call = PrepareCall(f.control, *row, {});
    for (Arg& arg : call.args) arg.i = 77, arg.d = 77;
    InvokeMember(f.control, *row, call);
    EXPECT_EQ(call.pVal, 15) << member;
    EXPECT_EQ(f.dialogs.opened, 1) << member;
    for (const Arg& arg : call.args) EXPECT_TRUE(arg.i == 77 && arg.d == 77) << member;
    EXPECT_EQ(f.control.log().entries().size(), 1u) << member;
    EXPECT_EQ(f.control.document().GetWidth(), 16) << member;
    EXPECT_TRUE(row->needsWindow) << member;
  }
}

TEST(DialogMembers, GammaOfAColourImageTakesThreeChannels) {
  Fixture f(24);
  const Call call = f.Run("OperateGamma");
  EXPECT_EQ(call.args[0].d, 0.5);
  EXPECT_EQ(call.args[2].d, 2.0);
  ASSERT_EQ(f.control.log().entries().size(), 1u);
  EXPECT_EQ(f.control.log().entries()[0].code, dispid::kRGBGamma);
  EXPECT_EQ(FloatAt(f.control.log().entries()[0], 4), 1.5f);
}

TEST(DialogMembers, MonochromeShowsTheWholeHistogramAndCancelsWithMinusOne) {
  Fixture f;
  Call call = f.Run("OperateMonochrome", {127});
  EXPECT_EQ(call.pVal, 0);
  EXPECT_EQ(call.args[1].i, 99);
  EXPECT_EQ(f.dialogs.lastInitial, 127);
  int32_t total = 0;
  for (int32_t count : f.dialogs.thresholdCounts) total += count;
  EXPECT_EQ(total, 16 * 8);
  ASSERT_EQ(f.control.log().entries().size(), 1u);
  EXPECT_EQ(LongAt(f.control.log().entries()[0], 0), 99);

  f.dialogs.confirm = false;
  call = f.Run("OperateMonochrome", {127});
  EXPECT_EQ(call.pVal, 0);
  EXPECT_EQ(call.args[1].i, -1);
  EXPECT_EQ(f.control.log().entries().size(), 1u);

  Fixture colour(24);  // no gray histogram: its code, threshold 0, no dialog
  call = colour.Run("OperateMonochrome", {127});
  EXPECT_EQ(call.pVal, static_cast<int32_t>(Result::BadBitDepth));
  EXPECT_EQ(call.args[1].i, 0);
  EXPECT_EQ(colour.dialogs.opened, 0);
}

TEST(DialogMembers, PaletteChangesComeOutInTwoBlocksAndOneEntryEach) {
  Fixture f;
  f.dialogs.whileOpen = [&] {
    f.control.document().SetPalette(200, 0x112233);
    f.control.document().SetPalette(5, 0x336699);
    f.control.document().SetPalette(7, 0x070707);  // the colour it had
  };
  const Call call = f.Run("OperateSetPalette");
  ASSERT_EQ(call.pVal, 0);
  ASSERT_EQ(call.args[2].i, 2);
  const mem::Owned indices(call.args[0].h), colours(call.args[1].h);
  const test::Bytes i = test::BytesOf(indices.get()), c = test::BytesOf(colours.get());
  ASSERT_EQ(i.size(), 1024u);
  ASSERT_EQ(c.size(), 1024u);
  EXPECT_EQ(ReadI32(i.data()), 5);
  EXPECT_EQ(ReadI32(i.data() + 4), 200);
  EXPECT_EQ(ReadI32(i.data() + 8), 0);
  EXPECT_EQ(ReadI32(c.data()), 0x336699);
  EXPECT_EQ(ReadI32(c.data() + 4), 0x112233);
  const std::vector<LogEntry>& entries = f.control.log().entries();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[1].code, dispid::kSetPalette);
  EXPECT_EQ(LongAt(entries[1], 0), 200);
  EXPECT_EQ(LongAt(entries[1], 4), 0x112233);
}

// GetPaletteSize counts bytes: 1- and 4-bit tables are read entry by entry, and one whose header
// claims 16 of its 256 entries only as far as it claims.
TEST(DialogMembers, PaletteReadsTheEntriesEachTableHas) {
  struct Case {
    int bits;
    uint32_t claimed;  // biClrUsed
    int32_t last;
  };
  for (const Case c : {Case{1, 0, 1}, Case{4, 0, 15}, Case{8, 16, 15}}) {
    ScriptedDialogs dialogs;
    PortableControl control;
    control.set_dialogs(&dialogs);
    test::Bytes dib = test::MakeDibBytes(
        4, 2, c.bits, test::Table(size_t{1} << c.bits, [](size_t) { return 0u; }),
        [](int32_t, int32_t) { return 0u; });
    WriteU32(&dib[32], c.claimed);
    const mem::Owned block(test::BlockOf(dib));
    ASSERT_EQ(control.document().SetDIB(block.get()), Result::Ok);
    dialogs.whileOpen = [&] {
      for (int32_t n = c.last; n < (1 << c.bits); ++n) control.document().SetPalette(n, 0x123456);
    };
    Call call;
    ASSERT_TRUE(InvokeByName(control, "OperateSetPalette", {}, &call));
    EXPECT_EQ(call.pVal, 0) << c.bits;
    EXPECT_EQ(call.args[2].i, 1) << c.bits;
    const mem::Owned indices(call.args[0].h), colours(call.args[1].h);
    const test::Bytes i = test::BytesOf(indices.get());
    ASSERT_EQ(i.size(), 1024u);
    EXPECT_EQ(ReadI32(i.data()), c.last) << c.bits;
  }
}

// Without a colour table there are no rows to show: GetPalette's code, no dialog, no blocks.
TEST(DialogMembers, PaletteOfATrueColourImageIsRefusedAndCancelWritesZeros) {
  Fixture colour(24);
  Call call = colour.Run("OperateSetPalette");
  EXPECT_EQ(call.pVal, static_cast<int32_t>(Result::BadBitDepth));
  EXPECT_EQ(colour.dialogs.opened, 0);
  EXPECT_EQ(call.args[0].h, nullptr);

  Fixture f;
  f.dialogs.confirm = false;
  const Member* row = FindMember("OperateSetPalette");
  call = PrepareCall(f.control, *row, {});
  call.args[2].i = 77;
  InvokeMember(f.control, *row, call);
  EXPECT_EQ(call.pVal, 15);
  EXPECT_EQ(call.args[2].i, 0);
}

TEST(DialogMembers, SaveLogAsksOnlyWithoutACurrentNameOrWhenTold) {
  Fixture f;
  f.Run("TurnOver", {0});
  f.dialogs.path = test::TempPath("dialog.pvr");
  EXPECT_EQ(f.Run("OperateSaveLog", {0}).pVal, 0);
  EXPECT_EQ(f.dialogs.opened, 1);
  EXPECT_EQ(f.Run("OperateSaveLog", {0}).pVal, 0);
  EXPECT_EQ(f.dialogs.opened, 1);
  EXPECT_EQ(f.Run("OperateSaveLog", {1}).pVal, 0);
  EXPECT_EQ(f.dialogs.opened, 2);
  EXPECT_EQ(f.control.log().current_file(), f.dialogs.path);

  EXPECT_EQ(f.Run("OperateLoadLog", {-1}).pVal, 0);
  EXPECT_EQ(f.control.log().entries().size(), 2u);

  Fixture empty;
  empty.control.log().DeleteEntry(-1);
  EXPECT_EQ(empty.Run("OperateSaveLog", {1}).pVal, static_cast<int32_t>(Result::OutOfMemory));
  EXPECT_EQ(empty.Run("OperateSaveLogText").pVal, static_cast<int32_t>(Result::NothingToDo));
  EXPECT_EQ(empty.dialogs.opened, 0);
}

TEST(DialogMembers, FileDialogsLoadAndSaveTheChosenFileInTheChosenFormat) {
  Fixture f;
  f.dialogs.path = test::TempPath("dialog.jpg");
  EXPECT_EQ(f.Run("OperateSave").pVal, 0);
  const test::Bytes written = test::ReadFile(f.dialogs.path);
  ASSERT_GE(written.size(), 8u);
  EXPECT_EQ(std::memcmp(written.data(), "\x89PNG", 4), 0);  // the type chosen, not the name
  const mem::Owned saved(f.control.document().GetDIB());
  f.Run("TurnOver", {1});
  EXPECT_EQ(f.Run("OperateLoad").pVal, 0);
  const mem::Owned loaded(f.control.document().GetDIB());
  for (int32_t y = 0; y < 8; ++y)
    for (int32_t x = 0; x < 16; ++x)
      EXPECT_EQ(test::ColorAt(loaded.get(), x, y), test::ColorAt(saved.get(), x, y));
}

TEST(DialogMembers, CustomGrayscaleRecordsTheGrayscaleItPerformed) {
  Fixture f(24);
  EXPECT_TRUE(RunCustomGrayscale(f.control));
  EXPECT_EQ(f.control.document().GetBitmapBits(), 8);
  ASSERT_EQ(f.control.log().entries().size(), 1u);
  EXPECT_EQ(f.control.log().entries()[0].code, dispid::kGrayscale);
  EXPECT_EQ(LongAt(f.control.log().entries()[0], 0), 6);
  f.dialogs.confirm = false;
  EXPECT_FALSE(RunCustomGrayscale(f.control));
  EXPECT_EQ(f.control.log().entries().size(), 1u);
}

}  // namespace
}  // namespace pv
