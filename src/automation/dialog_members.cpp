// The members that let the user choose an operation's parameters in a dialog. Each reports 15
// when the dialog is cancelled (its outputs untouched, nothing recorded); after "決定" it hands
// out the values chosen and records the Log entry of the operation they were applied with, as
// if the operation's own member had been called.
#include "automation/dialog_members.h"

#include <algorithm>
#include <array>

#include "automation/invoke.h"
#include "automation/member_rows.h"
#include "base/bytes.h"

namespace pv {
namespace {

// The entry of `operation` called with `inputs`; the control's properties it logs are read now.
void Record(PortableControl& c, const char* operation, const std::vector<double>& inputs) {
  const Member* member = FindMember(operation);
  if (member) RecordCall(c, *member, PrepareCall(c, *member, inputs));
}

// Runs `operation` with `inputs` as its member does, without recording it.
Result Perform(PortableControl& c, const char* operation, const std::vector<double>& inputs) {
  const Member* member = FindMember(operation);
  if (!member) return Result::BadParameter;
  Call call = PrepareCall(c, *member, inputs);
  member->handler(c, call);
  return static_cast<Result>(call.pVal);
}

void RepaintIfManual(PortableControl& c) {
  if (c.properties().autoRepaint == 0) c.ForceRepaint();
}

void OperateMosaic(PortableControl& c, Call& k) {
  int32_t size = 0;
  if (!c.dialogs().Mosaic(&size)) return k.SetResult(Result::Cancelled);
  k.args[0].i = size;
  Record(c, "Mosaic", {static_cast<double>(size)});
  k.SetResult(Result::Ok);
}

void OperateRotate(PortableControl& c, Call& k) {
  float angle = 0;
  if (!c.dialogs().Rotation(&angle)) return k.SetResult(Result::Cancelled);
  k.args[0].d = angle;
  Record(c, "Rotate", {angle, 1, 0});
  k.SetResult(Result::Ok);
}

void OperateGamma(PortableControl& c, Call& k) {
  float rgb[3] = {0, 0, 0};
  if (c.document().GetBitmapBits() == 8) {
    if (!c.dialogs().Gamma(&rgb[0])) return k.SetResult(Result::Cancelled);
    rgb[1] = rgb[2] = rgb[0];
    Record(c, "Gamma", {rgb[0]});
  } else {
    if (!c.dialogs().RGBGamma(&rgb[0], &rgb[1], &rgb[2])) return k.SetResult(Result::Cancelled);
    Record(c, "RGBGamma", {rgb[0], rgb[1], rgb[2]});
  }
  for (size_t n = 0; n < 3; ++n) k.args[n].d = rgb[n];
  k.SetResult(Result::Ok);
}

void OperateContrast(PortableControl& c, Call& k) {
  int32_t low = 0, high = 0;
  if (!c.dialogs().Contrast(&low, &high)) return k.SetResult(Result::Cancelled);
  k.args[0].i = low;
  k.args[1].i = high;
  Record(c, "Contrast", {static_cast<double>(low), static_cast<double>(high)});
  k.SetResult(Result::Ok);
}

// The dialog shows the gray histogram of the whole image: without one there is nothing to show.
// A cancelled dialog is no failure here: the threshold output says -1.
void OperateMonochrome(PortableControl& c, Call& k) {
  const ImageDocument& d = c.document();
  mem::Handle block = nullptr;
  const Result histogram = d.GetHistogram(0, 0, d.GetWidth(), d.GetHeight(), &block);
  if (histogram != Result::Ok) {
    k.args[1].i = 0;
    return k.SetResult(histogram);
  }
  const int32_t threshold = c.dialogs().Threshold(k.Long(0), TakeHistogramCounts(block));
  k.args[1].i = threshold;
  if (threshold != -1) Record(c, "Monochrome", {static_cast<double>(threshold)});
  k.SetResult(Result::Ok);
}

void OperateTrim(PortableControl& c, Call& k) {
  TrimChoice t;
  if (!c.dialogs().Trim(&t)) return k.SetResult(Result::Cancelled);
  Perform(c, "Trim", {t.left, t.top, t.width, t.height});
  RepaintIfManual(c);
  const float values[] = {t.left, t.top, t.width, t.height};
  for (size_t n = 0; n < 4; ++n) k.args[n].d = values[n];
  Record(c, "Trim", {t.left, t.top, t.width, t.height});
  k.SetResult(Result::Ok);
}

// Repaints whatever SetSize reported: the dialog has ended with "決定".
void OperateSetSize(PortableControl& c, Call& k) {
  CanvasChoice s;
  if (!c.dialogs().CanvasSize(&s)) return k.SetResult(Result::Cancelled);
  const std::vector<double> inputs = {static_cast<double>(s.width), static_cast<double>(s.height),
                                      static_cast<double>(s.position), 0};
  Perform(c, "SetSize", inputs);
  c.ForceRepaint();
  k.args[0].i = s.width;
  k.args[1].i = s.height;
  k.args[2].i = s.position;
  Record(c, "SetSize", inputs);
  k.SetResult(Result::Ok);
}

void OperateSetImageScale(PortableControl& c, Call& k) {
  ScaleChoice s;
  if (!c.dialogs().Resize(&s)) return k.SetResult(Result::Cancelled);
  const std::vector<double> inputs = {s.horizontal, s.vertical, static_cast<double>(s.method)};
  Perform(c, "SetImageScale", inputs);
  RepaintIfManual(c);
  k.args[0].d = s.horizontal;
  k.args[1].d = s.vertical;
  k.args[2].i = s.method;
  Record(c, "SetImageScale", inputs);
  k.SetResult(Result::Ok);
}

}  // namespace

// GetPaletteSize counts bytes, and its header may claim fewer entries than the bit count has.
std::vector<int32_t> ColourTable(const ImageDocument& d, Result* result) {
  std::vector<int32_t> table;
  int32_t colour = 0;
  *result = d.GetPalette(0, &colour);
  if (*result != Result::Ok) return table;  // no image, or more than 8 bits
  const int32_t count = std::min(d.GetPaletteSize() / 4, int32_t{1} << d.GetBitmapBits());
  for (int32_t n = 0; *result == Result::Ok && n < count; ++n) {
    *result = d.GetPalette(n, &colour);
    if (*result == Result::Ok) table.push_back(colour);
  }
  return table;
}

namespace {

// A 1024-byte block of 32-bit values, the rest zero; null when memory runs out.
mem::Handle Block(const std::vector<int32_t>& values) {
  mem::Handle block = mem::Alloc(1024, mem::Filling::Whole);
  if (!block) return nullptr;
  const mem::Locked bytes(block);
  for (size_t n = 0; n < values.size() && 4 * n + 4 <= bytes.size(); ++n)
    WriteI32(bytes.data() + 4 * n, values[n]);
  return block;
}

// The dialog applies each change at once; afterwards the entries that differ from the table
// as it was are handed out in two blocks (indices, colours) and recorded one by one.
void OperateSetPalette(PortableControl& c, Call& k) {
  for (size_t n = 0; n < 3; ++n) k.args[n] = Arg{};
  Result result = Result::Ok;
  const std::vector<int32_t> before = ColourTable(c.document(), &result);
  if (result != Result::Ok) return k.SetResult(result);
  if (!c.dialogs().Palette()) return k.SetResult(Result::Cancelled);
  Result after = Result::Ok;
  const std::vector<int32_t> now = ColourTable(c.document(), &after);
  std::vector<int32_t> indices, colours;
  for (size_t n = 0; n < before.size() && n < now.size(); ++n) {
    if (now[n] == before[n]) continue;
    indices.push_back(static_cast<int32_t>(n));
    colours.push_back(now[n]);
  }
  mem::Handle indexBlock = Block(indices), colourBlock = Block(colours);
  if (!indexBlock || !colourBlock) {
    mem::Free(indexBlock);
    mem::Free(colourBlock);
    return k.SetResult(Result::OutOfMemory);
  }
  k.args[0].h = indexBlock;
  k.args[1].h = colourBlock;
  k.args[2].i = static_cast<int32_t>(indices.size());
  for (size_t n = 0; n < indices.size(); ++n)
    Record(c, "SetPalette", {static_cast<double>(indices[n]), static_cast<double>(colours[n])});
  k.SetResult(Result::Ok);
}

void OperateLoad(PortableControl& c, Call& k) {
  std::string path;
  if (!c.dialogs().ChooseImageToLoad(&path)) return k.SetResult(Result::Cancelled);
  const Member* load = FindMember("Load");
  if (!load) return k.SetResult(Result::BadParameter);
  Call call = PrepareCall(c, *load, {});
  call.args[0].s = path;
  InvokeMember(c, *load, call);
  if (call.pVal == 0) RepaintIfManual(c);
  k.pVal = call.pVal;
}

void OperateSave(PortableControl& c, Call& k) {
  SaveChoice choice;
  if (!c.dialogs().ChooseImageToSave(&choice)) return k.SetResult(Result::Cancelled);
  k.SetResult(c.document().Save(choice.path, choice.format, 0, choice.quality));
}

void OperateLoadLog(PortableControl& c, Call& k) {
  std::string path;
  if (!c.dialogs().ChooseLogFile(false, &path)) return k.SetResult(Result::Cancelled);
  k.SetResult(c.log().LoadLogFile(path, k.Long(0)));
}

// 0 saves under the current log file name when there is one; anything else always asks.
void OperateSaveLog(PortableControl& c, Call& k) {
  OperationLog& log = c.log();
  if (log.entries().empty()) return k.SetResult(log.SaveLogFile({}));  // no entries: its code
  std::string path = log.current_file();
  if ((k.Long(0) != 0 || path.empty()) && !c.dialogs().ChooseLogFile(true, &path))
    return k.SetResult(Result::Cancelled);
  k.SetResult(log.SaveLogFile(path));
}

void OperateSaveLogText(PortableControl& c, Call& k) {
  if (c.log().lines().empty()) return k.SetResult(Result::NothingToDo);
  std::string path;
  if (!c.dialogs().ChooseLogTextFile(&path)) return k.SetResult(Result::Cancelled);
  k.SetResult(c.log().SaveLogTextFile(path));
}

}  // namespace

bool RunCustomGrayscale(PortableControl& c) {
  GrayRatios r;
  if (!c.dialogs().CustomGrayscale(&r)) return false;
  const std::vector<double> inputs = {6, r.red, r.green, r.blue};
  if (Perform(c, "Grayscale", inputs) == Result::Ok) Record(c, "Grayscale", inputs);
  RepaintIfManual(c);
  return true;
}

void AddDialogMembers(std::vector<Member>* table) {
  using rows::Method;
  struct DialogRow {
    const char* name;
    MemberHandler handler;
    bool records;  // the entry of the operation its dialog applied
  };
  const DialogRow rows[] = {
      {"OperateMosaic", OperateMosaic, true},
      {"OperateRotate", OperateRotate, true},
      {"OperateGamma", OperateGamma, true},
      {"OperateContrast", OperateContrast, true},
      {"OperateMonochrome", OperateMonochrome, true},
      {"OperateTrim", OperateTrim, true},
      {"OperateSetSize", OperateSetSize, true},
      {"OperateSetImageScale", OperateSetImageScale, true},
      {"OperateSetPalette", OperateSetPalette, true},
      {"OperateLoad", OperateLoad, false},
      {"OperateSave", OperateSave, false},
      {"OperateLoadLog", OperateLoadLog, false},
      {"OperateSaveLog", OperateSaveLog, false},
      {"OperateSaveLogText", OperateSaveLogText, false},
  };
  for (const DialogRow& dialog : rows) {
    Member row = Method(dialog.name, ReturnKind::ResultCode, false, dialog.handler);
    row.needsWindow = true;
    row.recordsOwnEntry = dialog.records;
    table->push_back(std::move(row));
  }
}

}  // namespace pv
