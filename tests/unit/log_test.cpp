#include <gtest/gtest.h>

#include <cstring>

#include "automation/invoke.h"
#include "automation/replay.h"
#include "base/dispids.h"
#include "log/log_text.h"
#include "platform/text_encoding.h"
#include "test_support.h"

namespace pv {
namespace {

using test::Bytes;

// Every logged row of the member table: the arguments it packs fill its entry's parameter block
// exactly, and the entry has a display line. Two rows hand the log more than it keeps:
// AccentForHistogram's code stores no block (files written so must still read) and shows the
// smoothing line; SetDispScale's code has no line, so the log never records it.
TEST(MemberTable, LoggedRowsFitTheirLogEntries) {
  size_t logged = 0;
  for (const Member& m : Members()) {
    if (!m.logged) continue;
    ++logged;
    const bool dropsArguments =
        m.dispid == dispid::kAccentForHistogram || m.dispid == dispid::kSetDispScale;
    const size_t kept = dropsArguments ? 0 : PackedSize(m);
    EXPECT_EQ(OperationLog::ParameterSize(m.dispid), kept) << m.name;
    std::string line;
    EXPECT_EQ(FormatEntry(LogEntry{m.dispid, Bytes(kept, 0)}, &line),
              m.dispid != dispid::kSetDispScale)
        << m.name;
  }
  EXPECT_EQ(logged, 26u);
}

Bytes I32s(std::initializer_list<int32_t> values) {
  Bytes bytes;
  for (int32_t v : values) {
    uint8_t b[4];
    WriteI32(b, v);
    bytes.insert(bytes.end(), b, b + 4);
  }
  return bytes;
}

Bytes F32(float v) {
  Bytes bytes(4);
  std::memcpy(bytes.data(), &v, 4);
  return bytes;
}

Bytes GrayscaleBlock(int32_t method, double r, double g, double b) {
  Bytes bytes = I32s({method, 0});
  for (double v : {r, g, b}) {
    uint8_t d[8];
    std::memcpy(d, &v, 8);
    bytes.insert(bytes.end(), d, d + 8);
  }
  return bytes;
}

std::string LineOf(int32_t code, const Bytes& block) {
  std::string line;
  EXPECT_TRUE(FormatEntry(LogEntry{code, block}, &line));
  return line;
}

using test::Invoke;

void Hold8Bit(PortableControl& control) {
  mem::Owned dib(test::MakeDib(4, 2, 8, test::GrayRamp(),
                               [](int32_t x, int32_t y) { return 40 * x + 100 * y; }));
  ASSERT_EQ(control.document().SetDIB(dib.get()), Result::Ok);
}

TEST(LogText, LinesAreExactCp932) {
  EXPECT_EQ(LineOf(78, F32(2.2f)),
            "\xb6\xde\xdd\xcf\x95\xe2\x90\xb3  \x95\xe2\x90\xb3\x92\x6c:2.2000");
  EXPECT_EQ(
      LineOf(37, I32s({640, 480, 0x0102, 0})),
      "\xb7\xac\xdd\xca\xde\xbd\x82\xcc\xbb\xb2\xbd\xde  \x95\x9d:640, \x8d\x82\x82\xb3:480, "
      "\xb2\xd2\xb0\xbc\xde\x82\xcc\x88\xca\x92\x75:(\x8f\x63:\x92\x86\x89\x9b\x8a\xf1\x82\xb9,"
      "\x89\xa1:\x8d\xb6\x8a\xf1\x82\xb9)");
  EXPECT_EQ(LineOf(70, I32s({-1, -1, 0})),
            "\xd7\xcd\xde\xd8\xdd\xb8\xde \x8c\x9f\x8d\xf5\x94\xcd\x88\xcd\x81\x69 "
            "\x91\x53\x82\xc4 \x81\x6a "
            "\x94\x77\x8c\x69\x90\x46\x81\x40\x8d\x95");
}

TEST(LogText, LinesOfTheDocumentedExamples) {
  auto utf8 = [](const char* text) { return Utf8ToCp932(text); };
  EXPECT_EQ(LineOf(19, GrayscaleBlock(6, 0.5, 0.25, 0.25)),
            utf8("ｸﾞﾚｰｽｹｰﾙ  RGB比ｶｽﾀﾑ, R:0.5000, G:0.2500, B:0.2500"));
  EXPECT_EQ(LineOf(70, I32s({10, 200, 1})),
            utf8("ﾗﾍﾞﾘﾝｸﾞ 検索範囲（ 10画素～200画素 ） 背景色　白"));
  Bytes scale = GrayscaleBlock(0, 0, 0, 0);  // reuse the layout: two doubles then an i32
  double half = 0.5, w = 320, h = 240;
  std::memcpy(&scale[0], &half, 8);
  std::memcpy(&scale[8], &half, 8);
  WriteI32(&scale[16], 1);
  scale.resize(24);
  EXPECT_EQ(LineOf(45, scale),
            utf8("拡大・縮小  水平拡大率:0.5000, 垂直拡大率:0.5000, 拡大・縮小方法:平均法"));
  std::memcpy(&scale[0], &w, 8);
  std::memcpy(&scale[8], &h, 8);
  WriteI32(&scale[16], 0x10001);
  EXPECT_EQ(LineOf(45, scale),
            utf8("拡大・縮小  幅:320.0000, 高さ:240.0000, 拡大・縮小方法:平均法"));
  EXPECT_EQ(LineOf(56, I32s({5, 0x336699})), utf8("ｶﾗｰﾊﾟﾚｯﾄ  ﾊﾟﾚｯﾄ番号:5, R:153, G:102, B:51"));
  // Values outside a word table show as numbers; nothing is read outside the tables.
  EXPECT_EQ(LineOf(19, GrayscaleBlock(9, 1, 1, 1)),
            utf8("ｸﾞﾚｰｽｹｰﾙ  9, R:1.0000, G:1.0000, B:1.0000"));
  EXPECT_EQ(LineOf(39, I32s({-7})), utf8("反転  種別:-7"));
  EXPECT_EQ(LineOf(37, I32s({1, 2, 0x0500, 0})),
            utf8("ｷｬﾝﾊﾞｽのｻｲｽﾞ  幅:1, 高さ:2, ｲﾒｰｼﾞの位置:(0,5)"));
  // A plugin entry read from a file has no block: its name is empty.
  EXPECT_EQ(LineOf(114, {}), utf8("ﾌﾟﾗｸﾞｲﾝ  "));
  std::string line;
  EXPECT_FALSE(FormatEntry(LogEntry{12, {}}, &line));
}

TEST(OperationLog, RecordsOnlyWhileLoggingAndGrowsBy32) {
  OperationLog log;
  log.RecordEntry(43, {});
  EXPECT_TRUE(log.entries().empty());
  log.StartLogging();
  log.RecordEntry(12, {});  // no display line: not recorded
  for (int i = 0; i < 32; ++i) log.RecordEntry(21, I32s({i}));
  EXPECT_EQ(log.capacity(), 32u);
  log.RecordEntry(43, I32s({1}));  // a code without parameters keeps no block
  EXPECT_EQ(log.capacity(), 64u);
  ASSERT_EQ(log.entries().size(), 33u);
  EXPECT_EQ(log.entries()[31].parameters, I32s({31}));
  EXPECT_TRUE(log.entries()[32].parameters.empty());
  EXPECT_EQ(log.lines().size(), 33u);
}

TEST(OperationLog, DeleteOutsideTheEntriesChangesNothing) {
  OperationLog log;
  log.StartLogging();
  for (int i : {1, 2, 3}) log.RecordEntry(21, I32s({i}));
  log.DeleteEntry(3);
  log.DeleteEntry(-5);
  ASSERT_EQ(log.entries().size(), 3u);
  log.DeleteEntry(0);
  ASSERT_EQ(log.entries().size(), 2u);
  EXPECT_EQ(log.entries()[0].parameters, I32s({2}));
  EXPECT_EQ(log.lines().size(), 2u);
  log.DeleteEntry(-1);
  EXPECT_TRUE(log.entries().empty() && log.lines().empty());
}

// The 36-byte file of Mosaic 8, SobelFilter, Gamma 2.2.
Bytes ThreeEntryFile() {
  Bytes file = {'P', 'v', 'l', 'g'};
  for (Bytes part : {I32s({1, 0, 3, 21, 8, 43, 78}), F32(2.2f)})
    file.insert(file.end(), part.begin(), part.end());
  return file;
}

TEST(LogFile, WritesTheDocumentedLayout) {
  OperationLog log;
  log.StartLogging();
  log.RecordEntry(21, I32s({8}));
  log.RecordEntry(43, {});
  log.RecordEntry(78, F32(2.2f));
  const std::string path = test::TempPath("three.pvr");
  ASSERT_EQ(log.SaveLogFile(path), Result::Ok);
  EXPECT_EQ(test::ReadFile(path), ThreeEntryFile());
  EXPECT_EQ(log.current_file(), path);
  OperationLog empty;
  EXPECT_EQ(empty.SaveLogFile(test::TempPath("empty.pvr")), Result::OutOfMemory);
  EXPECT_TRUE(test::ReadFile(test::TempPath("empty.pvr")).empty());
  std::remove(path.c_str());
}

TEST(LogFile, MergesAtEveryPosition) {
  const Bytes file = ThreeEntryFile();
  auto codesOf = [](const OperationLog& log) {
    std::vector<int32_t> codes;
    for (const LogEntry& e : log.entries()) codes.push_back(e.code);
    return codes;
  };
  const std::pair<int32_t, std::vector<int32_t>> cases[] = {
      {-1, {24, 39, 21, 43, 78}}, {0, {21, 43, 78, 24, 39}}, {2, {24, 39, 21, 43, 78}},
      {1, {24, 21, 43, 78, 39}},  {-2, {21, 43, 78}},
  };
  for (const auto& [position, expected] : cases) {
    OperationLog log;
    log.StartLogging();
    log.RecordEntry(24, I32s({128}));
    log.RecordEntry(39, I32s({1}));
    ASSERT_EQ(log.LoadLogBytes(file.data(), file.size(), position), Result::Ok) << position;
    EXPECT_EQ(codesOf(log), expected) << position;
    EXPECT_EQ(log.lines().size(), expected.size());
  }
}

TEST(LogFile, RefusesWhatDoesNotFitAndKeepsTheLog) {
  const Bytes header = {'P', 'v', 'l', 'g', 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  Bytes seventeen = header;
  seventeen.push_back(0);
  Bytes badMagic = ThreeEntryFile();
  badMagic[0] = 'Q';
  Bytes cut = ThreeEntryFile();
  cut.pop_back();  // the Gamma record does not fit
  Bytes countTooLarge = ThreeEntryFile();
  countTooLarge[12] = 200;
  Bytes version2 = ThreeEntryFile();
  version2[4] = 2;
  for (const Bytes& bad : {header, badMagic, cut, countTooLarge, version2}) {
    OperationLog log;
    log.StartLogging();
    log.RecordEntry(43, {});
    EXPECT_EQ(log.LoadLogBytes(bad.data(), bad.size(), -1), Result::BadFileFormat);
    EXPECT_EQ(log.entries().size(), 1u);
    // Replacing discards the entries once the file has been read and has more than a header,
    // before its header is checked; a missing, empty or header-only file keeps them.
    EXPECT_EQ(log.LoadLogBytes(bad.data(), bad.size(), -2), Result::BadFileFormat);
    EXPECT_EQ(log.entries().size(), bad.size() <= header.size() ? 1u : 0u);
  }
  for (const std::string name : {"missing.pvr", "empty.pvr"}) {
    if (name == "empty.pvr") std::fclose(std::fopen(test::TempPath(name).c_str(), "wb"));
    OperationLog log;
    log.StartLogging();
    log.RecordEntry(43, {});
    EXPECT_EQ(log.LoadLogFile(test::TempPath(name), -2), Result::BadFileFormat) << name;
    EXPECT_EQ(log.entries().size(), 1u) << "a mistyped name loses no log: " << name;
  }
  OperationLog log;
  EXPECT_EQ(log.LoadLogBytes(seventeen.data(), seventeen.size(), -1), Result::Ok);
  EXPECT_TRUE(log.entries().empty());
  const Bytes good = ThreeEntryFile();
  EXPECT_EQ(log.LoadLogBytes(good.data(), good.size(), 1),
            Result::BadFileFormat);  // past the count
  EXPECT_EQ(log.LoadLogBytes(good.data(), good.size(), -3), Result::BadFileFormat);
  EXPECT_EQ(log.LoadLogFile(test::TempPath("missing.pvr"), -1), Result::BadFileFormat);
}

TEST(LogFile, DoublesSurviveBitForBit) {
  OperationLog log;
  log.StartLogging();
  const Bytes block = GrayscaleBlock(6, 0.1, 1.0 / 3, 2.0e-300);
  log.RecordEntry(19, block);
  const std::string path = test::TempPath("doubles.pvr");
  ASSERT_EQ(log.SaveLogFile(path), Result::Ok);
  OperationLog loaded;
  ASSERT_EQ(loaded.LoadLogFile(path, -2), Result::Ok);
  ASSERT_EQ(loaded.entries().size(), 1u);
  EXPECT_EQ(loaded.entries()[0].parameters, block);
  std::remove(path.c_str());
}

TEST(LogText, ExportWritesCrLfLines) {
  OperationLog log;
  EXPECT_EQ(log.SaveLogTextFile(test::TempPath("none.txt")), Result::NothingToDo);
  log.StartLogging();
  log.RecordEntry(43, {});
  log.RecordEntry(78, F32(2.2f));
  const std::string path = test::TempPath("log.txt");
  ASSERT_EQ(log.SaveLogTextFile(path), Result::Ok);
  const std::string expected = log.lines()[0] + "\r\n" + log.lines()[1] + "\r\n";
  EXPECT_EQ(test::ReadFile(path), Bytes(expected.begin(), expected.end()));
  std::remove(path.c_str());
}

TEST(Replay, RecordsSuccessfulLoggedCallsWithTheirArguments) {
  PortableControl control;
  Hold8Bit(control);
  EXPECT_EQ(Invoke(control, "SetPalette", {3, 0x112233}), 0);
  EXPECT_TRUE(control.log().entries().empty());
  Invoke(control, "StartLog");
  EXPECT_EQ(Invoke(control, "SetPalette", {3, 0x445566}), 0);
  EXPECT_EQ(Invoke(control, "SetPalette", {300, 0}),
            ResultValue(Result::BadParameter));  // failures are not logged
  EXPECT_EQ(Invoke(control, "GetWidth"), 4);     // queries are not logged
  ASSERT_EQ(control.log().entries().size(), 1u);
  EXPECT_EQ(control.log().entries()[0].code, 56);
  EXPECT_EQ(control.log().entries()[0].parameters, I32s({3, 0x445566}));
}

TEST(Replay, FollowsTheIndexListAndSkipsFailures) {
  PortableControl control;
  Hold8Bit(control);
  OperationLog& log = control.log();
  log.StartLogging();
  log.RecordEntry(56, I32s({3, 0x000001}));
  log.RecordEntry(24, I32s({128}));
  log.RecordEntry(56, I32s({3, 0x000002}));
  mem::Owned order(test::BlockOf(I32s({2, 0, 7})));
  // Entry 2 then entry 0: the colour of entry 0 stays; index 7 is ignored.
  EXPECT_EQ(ExecuteLog(control, order.get(), 3), Result::Ok);
  int32_t color = 0;
  EXPECT_EQ(control.document().GetPalette(3, &color), Result::Ok);
  EXPECT_EQ(color, 1);
  EXPECT_EQ(log.entries().size(), 3u);  // replay records nothing
  EXPECT_TRUE(log.IsLogging());
  // More indices claimed than the block holds: only those it holds are read.
  mem::Owned one(test::BlockOf(I32s({2})));
  EXPECT_EQ(ExecuteLog(control, one.get(), 1000), Result::Ok);
  EXPECT_EQ(control.document().GetPalette(3, &color), Result::Ok);
  EXPECT_EQ(color, 2);

  // A failing entry is skipped: Monochrome on 24 bits fails, the palette change after it runs.
  PortableControl colour;
  mem::Owned dib(test::MakeDib(2, 2, 24, {}, [](int32_t, int32_t) { return 0x808080u; }));
  ASSERT_EQ(colour.document().SetDIB(dib.get()), Result::Ok);
  colour.log().StartLogging();
  colour.log().RecordEntry(24, I32s({128}));
  colour.log().RecordEntry(22, I32s({8, 0, 0, 0}));
  EXPECT_EQ(ExecuteLog(colour, nullptr, 0), Result::Ok);
  EXPECT_EQ(colour.document().GetBitmapBits(), 8);
  EXPECT_EQ(ReplayEntry(colour, LogEntry{46, {}}), Result::BadParameter);
  EXPECT_EQ(ReplayEntry(colour, LogEntry{114, {}}), Result::BadParameter);
}

TEST(Properties, PutsKeepTheirRangesAndMarkDirty) {
  PortableControl control;
  auto get = [&](const char* name) { return Invoke(control, name); };
  EXPECT_EQ(get("get_PaintScaleMode"), 4);
  EXPECT_EQ(get("get_DrawPenWidth"), 1);
  EXPECT_FALSE(control.dirty());
  Invoke(control, "put_DrawFillStyle", {6});
  EXPECT_EQ(get("get_DrawFillStyle"), 0);
  EXPECT_FALSE(control.dirty());
  Invoke(control, "put_DrawFillStyle", {5});
  EXPECT_EQ(get("get_DrawFillStyle"), 5);
  EXPECT_TRUE(control.dirty());
  Invoke(control, "put_DrawType", {2});
  EXPECT_EQ(get("get_DrawType"), 0);
  Invoke(control, "put_AutoRepaint", {0});
  EXPECT_EQ(control.document().auto_repaint(), 0);
}

}  // namespace
}  // namespace pv
