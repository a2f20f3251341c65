// Every image member of the table against every depth, through the table as the host calls it:
// the depths a row takes answer 0; every other depth answers the row's refusal and leaves the
// image's bytes as they were; an empty document answers the row's code for no image. A new
// operation is covered by one line here. Every member of the table, then, against the Result
// codes it is listed with.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "automation/invoke.h"
#include "automation/member_results.h"
#include "automation/member_text.h"
#include "base/dispids.h"
#include "test_support.h"

namespace pv {
namespace {

using test::Bytes;

enum Depth : unsigned {
  k1 = 1 << 0,
  k2 = 1 << 1,
  k4 = 1 << 2,
  kPalette8 = 1 << 3,
  kGrey8 = 1 << 4,
  k16 = 1 << 5,
  k24 = 1 << 6,
  k32 = 1 << 7,
};
constexpr unsigned kAll = 0xFF, kEight = kPalette8 | kGrey8, kTrue = k24 | k32;
constexpr unsigned kIndexed = k1 | k2 | k4 | kEight;

struct Row {
  const char* call;
  std::vector<double> args;
  unsigned takes;
  int32_t refusal;
  int32_t empty;  // the code without an image
};

const Row kRows[] = {
    {"Grayscale", {0, 0, 0, 0}, kAll, 8, 1},
    {"Trim", {1, 1, 4, 3}, kAll, 8, 9},
    {"Mosaic", {2}, k24, 1, 9},
    {"Monochrome", {128}, kEight, 8, 9},
    {"Rotate", {30, 1, 0}, kEight | k16 | kTrue, 8, 1},
    {"TurnOver", {0}, kEight | k16 | kTrue, 8, 1},
    {"SetImageScale", {1.5, 1.5, 0}, kEight | k16 | kTrue, 8, 9},
    {"SetImageScale", {1.5, 1.5, 1}, kEight | kTrue, 1, 9},
    {"SetImageScale", {1.5, 1.5, 2}, kGrey8, 1, 9},
    {"SetImageScale", {1.5, 1.5, 3}, kGrey8, 1, 9},
    {"SetImageScale", {1.5, 1.5, 4}, kAll & ~k16, 1, 9},
    {"SobelFilter", {}, kEight, 8, 1},
    {"RobinsonFilter", {}, kEight, 8, 1},
    {"LaplacianFilter", {}, kEight, 8, 1},
    {"SmoothAsMaxDensity", {}, kEight, 8, 1},
    {"SmoothAsMinDensity", {}, kEight, 8, 1},
    {"Smooth", {}, kEight | kTrue, 8, 1},
    {"RemoveAlonePoint", {0}, kEight, 8, 1},
    {"SamplingOutline", {0}, kEight, 8, 1},
    {"Expansion", {0}, kEight, 8, 1},
    {"Contraction", {0}, kEight, 8, 1},
    {"Labeling", {1, 100, 0}, kEight, 8, 9},
    {"Contrast", {10, 200}, kEight, 8, 1},
    {"AccentForHistogram", {2, 1}, kEight, 8, 1},
    {"Gamma", {1.5}, kEight | kTrue, 8, 1},
    {"RGBGamma", {1.5, 1, 1}, kTrue, 8, 1},
    {"SetPalette", {1, 255}, kIndexed, 8, 9},
    {"GetPalette", {1}, kIndexed, 8, 9},
    {"GetHistogram", {0, 0, 4, 4}, kEight, 8, 1},
    {"GetRGBHistogram", {0, 0, 4, 4}, kTrue, 8, 1},
    {"GetMonochromeThresh", {0, 0, 4, 4}, kEight, 8, 9},
    {"GetProfile", {0, 0, 5, 3}, kAll & ~k16, 8, 9},
    {"SaveRawData", {}, kEight | k16 | kTrue, 8, 1},
};

struct Picture {
  Depth depth;
  int bits;
  const char* name;
};

const Picture kPictures[] = {
    {k1, 1, "1-bit"},          {k2, 2, "2-bit"},
    {k4, 4, "4-bit"},          {kPalette8, 8, "8-bit colour"},
    {kGrey8, 8, "8-bit grey"}, {k16, 16, "16-bit"},
    {k24, 24, "24-bit"},       {k32, 32, "32-bit"},
};

// Eight by four, four levels twice each along a row (two on 1 bit): room for every operation's
// arguments above, histogram bands included.
mem::Handle MakePicture(const Picture& p) {
  const size_t entries = TableEntries(p.bits);
  const uint32_t step = p.depth == kPalette8 ? 0x030507 : 0x010101;
  const int levels = p.bits == 1 ? 2 : 4;
  return test::MakeDib(
      8, 4, p.bits, test::Table(entries, [&](size_t i) { return static_cast<uint32_t>(i) * step; }),
      [&](int32_t x, int32_t) {
        const uint32_t level = static_cast<uint32_t>(x / 2 % levels);
        return p.bits <= 8 ? level : level * 0x3F3F3Fu;
      });
}

TEST(MemberMatrix, EachRowTakesItsDepthsAndRefusesTheOthersUnchanged) {
  for (const Row& row : kRows)
    for (const Picture& picture : kPictures) {
      PortableControl control;
      mem::Owned dib(MakePicture(picture));
      ASSERT_EQ(control.document().SetDIB(dib.get()), Result::Ok);
      const Bytes before = test::BytesOf(control.document().dib());
      const bool takes = (row.takes & picture.depth) != 0;
      EXPECT_EQ(test::Invoke(control, row.call, row.args), takes ? 0 : row.refusal)
          << row.call << " on " << picture.name;
      if (!takes)
        EXPECT_EQ(test::BytesOf(control.document().dib()), before)
            << row.call << " on " << picture.name;
    }
}

TEST(MemberMatrix, AnEmptyDocumentAnswersEachRowsCode) {
  for (const Row& row : kRows) {
    PortableControl control;
    EXPECT_EQ(test::Invoke(control, row.call, row.args), row.empty) << row.call;
    EXPECT_EQ(control.document().GetWidth(), -1) << row.call;
  }
}

// A threshold is a 16-bit value: the low half of the long decides, in a call and in replay.
TEST(MemberMatrix, MonochromeTakesTheLowSixteenBitsOfItsThreshold) {
  Bytes results[2];
  for (int n = 0; n < 2; ++n) {
    PortableControl control;
    mem::Owned dib(MakePicture({kGrey8, 8, "8-bit grey"}));
    ASSERT_EQ(control.document().SetDIB(dib.get()), Result::Ok);
    EXPECT_EQ(test::Invoke(control, "Monochrome", {n ? 65536.0 + 128 : 128.0}), 0);
    results[n] = test::BytesOf(control.document().dib());
  }
  EXPECT_EQ(results[0], results[1]);
}

// The rows agree with the interface description wherever they state something themselves.
TEST(MemberTable, RowsAgreeWithTheInterface) {
  EXPECT_EQ(InterfaceDisagreements(), std::vector<std::string>());
  EXPECT_GT(Members().size(), 100u);
}

// Each bounded parameter of the table, with arguments that the row takes otherwise: its ends
// are taken (whatever else the call then meets, the answer is not 1) and one step past either
// end is refused with 1. Every bounded parameter of the table has its line here.
struct Bounded {
  const char* call;
  size_t param;
  std::vector<double> args;
  bool endsTaken = true;  // false where the call cannot get that far here (it needs a block)
};

const Bounded kBounded[] = {
    {"Load", 2, {0, 0, 0}},
    {"LoadMemory", 2, {0, 0, 0}, false},
    {"Save", 1, {0, 4, 0, 75}},
    {"SaveMemory", 1, {0, 4, 0, 75, 0}},
    {"Grayscale", 0, {0, 0.25, 0.5, 0.25}},
    {"Monochrome", 0, {128}},
    {"TurnOver", 0, {0}},
};

int64_t RunOnGreyPicture(const char* call, std::vector<double> args, size_t param, double value) {
  PortableControl control;
  mem::Owned dib(MakePicture({kGrey8, 8, "8-bit grey"}));
  EXPECT_EQ(control.document().SetDIB(dib.get()), Result::Ok);
  args[param] = value;
  return test::Invoke(control, call, args);
}

TEST(MemberMatrix, BoundedParametersTakeTheirEndsAndRefuseWhatLiesBeyond) {
  size_t bounded = 0;
  for (const Member& m : Members())
    for (const Param& p : m.params) bounded += p.range.Bounded();
  EXPECT_EQ(bounded, std::size(kBounded)) << "a bounded parameter without its line here";
  for (const Bounded& b : kBounded) {
    const Member* member = FindMember(b.call);
    ASSERT_NE(member, nullptr) << b.call;
    const Range r = member->params[b.param].range;
    ASSERT_TRUE(r.Bounded()) << b.call;
    for (double end : {r.min, r.max})
      if (b.endsTaken)
        EXPECT_NE(RunOnGreyPicture(b.call, b.args, b.param, end), 1) << b.call << " " << end;
    for (double beyond : {r.min - 1.0, r.max + 1.0})
      EXPECT_EQ(RunOnGreyPicture(b.call, b.args, b.param, beyond), 1) << b.call << " " << beyond;
  }
}

// The Result-code table has one entry per member, in the interface's order, and lists only codes
// of the Result-code table, each once, and none for members whose pVal is no Result code.
TEST(MemberResults, EveryMemberHasOneEntryOfResultCodes) {
  const auto& declared = InterfaceDeclarations();
  const auto& table = MemberResultTable();
  ASSERT_EQ(table.size(), declared.size());
  for (size_t n = 0; n < table.size(); ++n) {
    const MemberResults& entry = table[n];
    EXPECT_EQ(entry.callName, CallName(declared[n])) << "entry " << n;
    for (size_t c = 0; c < entry.codes.size(); ++c) {
      EXPECT_NE(FindResult(entry.codes[c]), nullptr) << entry.callName << " " << entry.codes[c];
      EXPECT_NE(entry.codes[c], 0) << entry.callName;
      if (c) EXPECT_LT(entry.codes[c - 1], entry.codes[c]) << entry.callName;
    }
    const Member* row = FindMember(declared[n].dispid, declared[n].kind);
    if (row && row->returns != ReturnKind::ResultCode)
      EXPECT_TRUE(entry.codes.empty() && !entry.handsOn) << entry.callName;
  }
}

// The images every member meets: none, each depth, and a bit-field one that loads but that the
// operations refuse.
struct ImageState {
  std::string name;
  std::function<void(ImageDocument&)> load;
};

std::vector<ImageState> ImageStates() {
  std::vector<ImageState> states = {
      {"no image", [](ImageDocument&) {}},
      {"bit fields",
       [](ImageDocument& d) { d.Load(test::FixturePath("im_16bit_bitfields.bmp"), 0, 0); }},
  };
  for (const Picture& p : kPictures)
    states.push_back({p.name, [&p](ImageDocument& d) {
                        mem::Owned dib(MakePicture(p));
                        d.SetDIB(dib.get());
                      }});
  return states;
}

// The inputs of a call from one value: all of them that value, or counting up from it. Zero
// and negative sizes, indices past a table, factors past any picture, ranges in order and
// not. A memory block is a copy of the control's image, or null with 0.
Call CallWith(PortableControl& control, const Member& member, double value, bool countUp) {
  std::vector<double> inputs(member.params.size(), value);
  for (size_t n = 0; countUp && n < inputs.size(); ++n) inputs[n] += static_cast<double>(n);
  Call call = PrepareCall(control, member, inputs);
  for (size_t n = 0; n < member.params.size(); ++n)
    if (member.params[n].kind == ParamKind::Handle && value != 0)
      call.args[n].h = control.document().GetDIB();
  return call;
}

// Every member on every image state with a spread of arguments: a member that answers a code
// its entry does not list, or that leaves a Log entry where the table says it does not, fails.
TEST(MemberResults, NoMemberAnswersACodeItsEntryLacks) {
  for (const Member& member : Members()) {
    const MemberResults* entry = ResultsOf(member.CallName());
    ASSERT_NE(entry, nullptr) << member.CallName();
    for (const ImageState& state : ImageStates())
      for (const double value : {0.0, 1.0, -1.0, 2.0, 255.0, 257.0, 300.0})
        for (const bool countUp : {false, true}) {
          PortableControl control;
          state.load(control.document());
          control.log().StartLogging();
          control.log().RecordEntry(dispid::kSobelFilter, {});
          Call call = CallWith(control, member, value, countUp);
          InvokeMember(control, member, call);
          for (Arg& a : call.args) mem::Free(a.h);
          mem::Free(call.pValBlock);
          if (call.needsWindow) continue;
          const auto& codes = entry->codes;
          if (member.returns == ReturnKind::ResultCode && call.pVal != 0)
            EXPECT_NE(std::find(codes.begin(), codes.end(), call.pVal), codes.end())
                << member.CallName() << " answered " << call.pVal << " on " << state.name
                << " from " << value << (countUp ? " up" : "");
          if (control.log().entries().size() > 1)
            EXPECT_TRUE(LeavesLogEntry(member)) << member.CallName() << " recorded an entry";
        }
  }
}

}  // namespace
}  // namespace pv
