#include "automation/members.h"

#include <algorithm>
#include <cctype>

#include "automation/property_members.h"
#include "automation/replay.h"
#include "base/dispids.h"

namespace pv {
namespace {

using P = ParamKind;
constexpr auto kMethod = MemberKind::Method;

// Accessors whose pVal is the value itself.
template <int32_t (ImageDocument::*Query)() const>
void QueryValue(PortableControl& c, Call& k) {
  k.SetValue((c.document().*Query)());
}

// Methods that report the Result code of a document operation without or with one argument.
template <Result (ImageDocument::*Operation)()>
void Perform(PortableControl& c, Call& k) {
  k.SetResult((c.document().*Operation)());
}

template <Result (ImageDocument::*Operation)(int32_t)>
void PerformWithLong(PortableControl& c, Call& k) {
  k.SetResult((c.document().*Operation)(k.Long(0)));
}

// The rectangle that the histogram and threshold queries take, then their outputs.
std::vector<Param> RegionParams(std::initializer_list<Param> outputs) {
  std::vector<Param> params{{"lStartX", P::Long}, {"lStartY", P::Long}, {"lWidth", P::Long}, {"lHeight", P::Long}};
  params.insert(params.end(), outputs);
  return params;
}

std::vector<Member> BuildTable() {
  return {
      {"BackColor", dispid::kBackColor, MemberKind::PropertyGet, {}, ReturnKind::Value, false,
       [](PortableControl& c, Call& k) { k.SetUnsigned(c.properties().backColor); }},
      {"BackColor", dispid::kBackColor, MemberKind::PropertyPut, {{"newVal", P::Long}}, ReturnKind::None, false,
       [](PortableControl& c, Call& k) {
         if (!c.display().RequestPropertyEdit(dispid::kBackColor)) return;
         c.properties().backColor = k.Unsigned(0);
         c.set_dirty(true);
         c.display().PropertyChanged(dispid::kBackColor);
       }},
      {"Load", dispid::kLoad, kMethod, {{"pszName", P::String}, {"iBitsPerPixel", P::Long}, {"iPage", P::Long}},
       ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) { k.SetResult(c.document().Load(k.String(0), k.Short(1), k.Short(2))); }},
      {"Save", dispid::kSave, kMethod,
       {{"pszName", P::String}, {"iFormat", P::Long}, {"iBitsPerPixel", P::Long}, {"iQuality", P::Long}},
       ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) {
         k.SetResult(c.document().Save(k.String(0), k.Short(1), k.Short(2), k.Short(3)));
       }},
      {"Copy", dispid::kCopy, kMethod, {{"iFlags", P::Long}}, ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) { k.SetResult(c.document().Copy()); }},
      {"Paste", dispid::kPaste, kMethod, {{"iFlags", P::Long}}, ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) { k.SetResult(c.document().Paste()); }},
      {"SetDIB", dispid::kSetDIB, kMethod, {{"hDIB", P::Handle}}, ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) { k.SetResult(c.document().SetDIB(k.Handle(0))); }},
      {"GetDIB", dispid::kGetDIB, kMethod, {}, ReturnKind::Block, false,
       [](PortableControl& c, Call& k) { k.SetBlock(c.document().GetDIB()); }},
      {"LoadMemory", dispid::kLoadMemory, kMethod, {{"hMem", P::Handle}, {"iBitsPerPixel", P::Long}, {"iPage", P::Long}},
       ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) {
         k.SetResult(c.document().LoadMemory(k.Handle(0), k.Short(1), k.Short(2)));
       }},
      {"SaveMemory", dispid::kSaveMemory, kMethod,
       {{"phMem", P::OutHandle}, {"iFormat", P::Long}, {"iBitsPerPixel", P::Long}, {"iQuality", P::Long},
        {"piSize", P::OutLong}},
       ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) {
         k.SetResult(c.document().SaveMemory(&k.args[0].h, k.Short(1), k.Short(2), k.Short(3), &k.args[4].i));
       }},
      {"Grayscale", dispid::kGrayscale, kMethod, {{"iProcID", P::Long}, {"cR", P::Double}, {"cG", P::Double}, {"cB", P::Double}},
       ReturnKind::ResultCode, true,
       [](PortableControl& c, Call& k) {
         k.SetResult(c.document().Grayscale(k.Short(0), k.Double(1), k.Double(2), k.Double(3)));
       }},
      {"Trim", dispid::kTrim, kMethod,
       {{"fLeft", P::Float}, {"fTop", P::Float}, {"fWidth", P::Float}, {"fHeight", P::Float}},
       ReturnKind::ResultCode, true,
       [](PortableControl& c, Call& k) {
         c.RefreshBackground();
         k.SetResult(c.document().Trim(k.Float(0), k.Float(1), k.Float(2), k.Float(3)));
       }},
      {"Mosaic", dispid::kMosaic, kMethod, {{"iDim", P::Long}}, ReturnKind::ResultCode, true,
       [](PortableControl& c, Call& k) { k.SetResult(c.document().Mosaic(k.Short(0))); }},
      {"ColorRes", dispid::kColorRes, kMethod,
       {{"iBitsPerPixel", P::Long}, {"iPalette", P::Long}, {"iDither", P::Long}, {"iColors", P::Long}},
       ReturnKind::ResultCode, true,
       [](PortableControl& c, Call& k) {
         k.SetResult(c.document().ColorRes(k.Short(0), k.Long(1), k.Long(2), k.Long(3)));
       }},
      {"LoadRawData", dispid::kLoadRawData, kMethod,
       {{"phMem", P::Handle}, {"lKind", P::Long}, {"lWdth", P::Long}, {"lHeight", P::Long}, {"lSize", P::Long}},
       ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) {
         k.SetResult(c.document().LoadRawData(k.Handle(0), k.Long(1), k.Long(2), k.Long(3), k.Long(4)));
       }},
      {"SaveRawData", dispid::kSaveRawData, kMethod,
       {{"phMem", P::OutHandle}, {"plKind", P::OutLong}, {"plWidth", P::OutLong}, {"plHeight", P::OutLong},
        {"plSize", P::OutLong}},
       ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) {
         k.SetResult(c.document().SaveRawData(&k.args[0].h, &k.args[1].i, &k.args[2].i, &k.args[3].i,
                                              &k.args[4].i));
       }},
      {"GetImageData", dispid::kGetImageData, kMethod, {{"phMem", P::OutHandle}, {"lpSize", P::OutLong}}, ReturnKind::ResultCode,
       false,
       [](PortableControl& c, Call& k) { k.SetResult(c.document().GetImageData(&k.args[0].h, &k.args[1].i)); }},
      {"SetBITMAP", dispid::kSetBITMAP, kMethod, {{"hBITMAP", P::Handle}}, ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) { k.SetResult(c.document().SetBITMAP(k.Handle(0))); }},
      // A device handle that stays the display's: a value, not a block.
      {"GetBITMAP", dispid::kGetBITMAP, kMethod, {}, ReturnKind::Value, false,
       [](PortableControl& c, Call& k) { k.pVal = reinterpret_cast<intptr_t>(c.document().GetBITMAP()); }},
      {"Monochrome", dispid::kMonochrome, kMethod, {{"th", P::Long}}, ReturnKind::ResultCode, true,
       [](PortableControl& c, Call& k) { k.SetResult(c.document().Monochrome(k.Long(0))); }},
      {"GetWidth", dispid::kGetWidth, kMethod, {}, ReturnKind::Value, false, QueryValue<&ImageDocument::GetWidth>},
      {"GetHeight", dispid::kGetHeight, kMethod, {}, ReturnKind::Value, false, QueryValue<&ImageDocument::GetHeight>},
      {"GetSize", dispid::kGetSize, kMethod, {}, ReturnKind::Value, false, QueryValue<&ImageDocument::GetSize>},
      {"GetBitmapBits", dispid::kGetBitmapBits, kMethod, {}, ReturnKind::Value, false, QueryValue<&ImageDocument::GetBitmapBits>},
      {"GetPaletteSize", dispid::kGetPaletteSize, kMethod, {}, ReturnKind::Value, false,
       QueryValue<&ImageDocument::GetPaletteSize>},
      {"GetBitmapInfo", dispid::kGetBitmapInfo, kMethod, {}, ReturnKind::Block, false,
       [](PortableControl& c, Call& k) { k.SetBlock(c.document().GetBitmapInfo()); }},
      {"SetSize", dispid::kSetSize, kMethod,
       {{"lWidth", P::Long}, {"lHeight", P::Long}, {"lPos", P::Long}, {"lCol", P::Long}},
       ReturnKind::ResultCode, true,
       [](PortableControl& c, Call& k) {
         k.SetResult(c.document().SetSize(k.Long(0), k.Long(1), k.Long(2), k.Long(3)));
       }},
      {"Rotate", dispid::kRotate, kMethod, {{"fAngle", P::Float}, {"lReSize", P::Long}, {"lCol", P::Long}},
       ReturnKind::ResultCode, true,
       [](PortableControl& c, Call& k) { k.SetResult(c.document().Rotate(k.Float(0), k.Long(1), k.Long(2))); }},
      {"TurnOver", dispid::kTurnOver, kMethod, {{"lDir", P::Long}}, ReturnKind::ResultCode, true,
       [](PortableControl& c, Call& k) { k.SetResult(c.document().TurnOver(k.Long(0))); }},
      {"GetHistogram", dispid::kGetHistogram, kMethod, RegionParams({{"phMem", P::OutHandle}}), ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) {
         k.SetResult(c.document().GetHistogram(k.Long(0), k.Long(1), k.Long(2), k.Long(3), &k.args[4].h));
       }},
      {"SobelFilter", dispid::kSobelFilter, kMethod, {}, ReturnKind::ResultCode, true, Perform<&ImageDocument::SobelFilter>},
      {"RobinsonFilter", dispid::kRobinsonFilter, kMethod, {}, ReturnKind::ResultCode, true, Perform<&ImageDocument::RobinsonFilter>},
      {"SetImageScale", dispid::kSetImageScale, kMethod, {{"fHor", P::Double}, {"fVer", P::Double}, {"lType", P::Long}},
       ReturnKind::ResultCode, true,
       [](PortableControl& c, Call& k) {
         k.SetResult(c.document().SetImageScale(k.Double(0), k.Double(1), k.Long(2)));
       }},
      {"AccentForHistogram", dispid::kAccentForHistogram, kMethod, {{"lRange", P::Long}, {"lTh", P::Long}}, ReturnKind::ResultCode, true,
       [](PortableControl& c, Call& k) { k.SetResult(c.document().AccentForHistogram(k.Long(0), k.Long(1))); }},
      {"Smooth", dispid::kSmooth, kMethod, {}, ReturnKind::ResultCode, true, Perform<&ImageDocument::Smooth>},
      {"GetMonochromeThresh", dispid::kGetMonochromeThresh, kMethod, RegionParams({{"plTh", P::OutLong}}), ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) {
         k.SetResult(c.document().GetMonochromeThresh(k.Long(0), k.Long(1), k.Long(2), k.Long(3), &k.args[4].i));
       }},
      {"SetDispScale", dispid::kSetDispScale, kMethod, {{"fHor", P::Double}, {"fVer", P::Double}}, ReturnKind::ResultCode, true,
       [](PortableControl& c, Call& k) { k.SetResult(c.document().SetDispScale(k.Double(0), k.Double(1))); }},
      {"GetPalette", dispid::kGetPalette, kMethod, {{"lInedx", P::Long}, {"plPal", P::OutLong}}, ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) { k.SetResult(c.document().GetPalette(k.Long(0), &k.args[1].i)); }},
      {"SetPalette", dispid::kSetPalette, kMethod, {{"lIndex", P::Long}, {"lPal", P::Long}}, ReturnKind::ResultCode, true,
       [](PortableControl& c, Call& k) { k.SetResult(c.document().SetPalette(k.Long(0), k.Long(1))); }},
      {"ForceRepaint", dispid::kForceRepaint, kMethod, {}, ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) {
         c.ForceRepaint();
         k.SetResult(Result::Ok);
       }},
      {"ShowImageMenu", dispid::kShowImageMenu, kMethod, {{"lShow1", P::Long}, {"lShow2", P::Long}}, ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) {
         c.properties().menuMask1 = k.Long(0);
         c.properties().menuMask2 = k.Long(1);
         k.SetResult(Result::Ok);
       }},
      {"GetDispScale", dispid::kGetDispScale, kMethod, {{"hor", P::OutDouble}, {"ver", P::OutDouble}}, ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) { k.SetResult(c.document().GetDispScale(&k.args[0].d, &k.args[1].d)); }},
      {"ClientToDIBPosition", dispid::kClientToDIBPosition, kMethod, {{"x", P::InOutLong}, {"y", P::InOutLong}}, ReturnKind::ResultCode,
       false,
       [](PortableControl& c, Call& k) {
         k.SetResult(c.document().ClientToDIBPosition(&k.args[0].i, &k.args[1].i));
       }},
      {"GetProfile", dispid::kGetProfile, kMethod,
       {{"lStartX", P::Long}, {"lStartY", P::Long}, {"lEndX", P::Long}, {"lEndY", P::Long}, {"phMem", P::OutHandle},
        {"lSize", P::OutLong}},
       ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) {
         k.SetResult(c.document().GetProfile(k.Long(0), k.Long(1), k.Long(2), k.Long(3), &k.args[4].h,
                                             &k.args[5].i));
       }},
      {"RemoveAlonePoint", dispid::kRemoveAlonePoint, kMethod, {{"lBack", P::Long}}, ReturnKind::ResultCode, true,
       PerformWithLong<&ImageDocument::RemoveAlonePoint>},
      {"Labeling", dispid::kLabeling, kMethod, {{"lMin", P::Long}, {"lMax", P::Long}, {"lBack", P::Long}}, ReturnKind::ResultCode,
       true, [](PortableControl& c, Call& k) { k.SetResult(c.document().Labeling(k.Long(0), k.Long(1), k.Long(2))); }},
      {"SamplingOutline", dispid::kSamplingOutline, kMethod, {{"lBack", P::Long}}, ReturnKind::ResultCode, true,
       PerformWithLong<&ImageDocument::SamplingOutline>},
      {"Expansion", dispid::kExpansion, kMethod, {{"lBack", P::Long}}, ReturnKind::ResultCode, true,
       PerformWithLong<&ImageDocument::Expansion>},
      {"Contraction", dispid::kContraction, kMethod, {{"lBack", P::Long}}, ReturnKind::ResultCode, true,
       PerformWithLong<&ImageDocument::Contraction>},
      {"LaplacianFilter", dispid::kLaplacianFilter, kMethod, {}, ReturnKind::ResultCode, true, Perform<&ImageDocument::LaplacianFilter>},
      {"SmoothAsMaxDensity", dispid::kSmoothAsMaxDensity, kMethod, {}, ReturnKind::ResultCode, true,
       Perform<&ImageDocument::SmoothAsMaxDensity>},
      {"SmoothAsMinDensity", dispid::kSmoothAsMinDensity, kMethod, {}, ReturnKind::ResultCode, true,
       Perform<&ImageDocument::SmoothAsMinDensity>},
      {"Contrast", dispid::kContrast, kMethod,
       {{"lLow", P::Long}, {"lHi", P::Long}, {"ContrastLow", P::Property}, {"ContrastHi", P::Property}},
       ReturnKind::ResultCode, true,
       [](PortableControl& c, Call& k) {
         k.SetResult(c.document().Contrast(k.Long(0), k.Long(1), k.Long(2), k.Long(3)));
       }},
      {"Gamma", dispid::kGamma, kMethod, {{"fGamma", P::Float}}, ReturnKind::ResultCode, true,
       [](PortableControl& c, Call& k) { k.SetResult(c.document().Gamma(k.Float(0))); }},
      {"RGBGamma", dispid::kRGBGamma, kMethod, {{"fRed", P::Float}, {"fGreen", P::Float}, {"fBlue", P::Float}},
       ReturnKind::ResultCode, true,
       [](PortableControl& c, Call& k) { k.SetResult(c.document().RGBGamma(k.Float(0), k.Float(1), k.Float(2))); }},
      {"GetRGBHistogram", dispid::kGetRGBHistogram, kMethod,
       RegionParams({{"phRMem", P::OutHandle}, {"phGMem", P::OutHandle}, {"phBMem", P::OutHandle}}),
       ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) {
         k.SetResult(c.document().GetRGBHistogram(k.Long(0), k.Long(1), k.Long(2), k.Long(3), &k.args[4].h,
                                                  &k.args[5].h, &k.args[6].h));
       }},
      {"LoadLog", dispid::kLoadLog, kMethod, {{"pszName", P::String}, {"lType", P::Long}}, ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) { k.SetResult(c.log().LoadLogFile(k.String(0), k.Long(1))); }},
      {"SaveLog", dispid::kSaveLog, kMethod, {{"pszName", P::String}, {"lType", P::Long}}, ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) { k.SetResult(c.log().SaveLogFile(k.String(0))); }},
      {"DeleteLog", dispid::kDeleteLog, kMethod, {{"lIndex", P::Long}}, ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) {
         c.log().DeleteEntry(k.Long(0));
         k.SetResult(Result::Ok);
       }},
      {"StartLog", dispid::kStartLog, kMethod, {}, ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) {
         c.log().StartLogging();
         k.SetResult(Result::Ok);
       }},
      {"StopLog", dispid::kStopLog, kMethod, {}, ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) {
         c.log().StopLogging();
         k.SetResult(Result::Ok);
       }},
      {"RemoveLog", dispid::kRemoveLog, kMethod, {}, ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) {
         c.log().DeleteEntry(-1);
         k.SetResult(Result::Ok);
       }},
      {"ExecuteLog", dispid::kExecuteLog, kMethod, {{"hMem", P::Handle}, {"lCnt", P::Long}}, ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) { k.SetResult(ExecuteLog(c, k.Handle(0), k.Long(1))); }},
      {"SaveLogText", dispid::kSaveLogText, kMethod, {{"pszName", P::String}}, ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) { k.SetResult(c.log().SaveLogTextFile(k.String(0))); }},
      {"DispImageInfo", dispid::kDispImageInfo, kMethod, {}, ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) {
         c.document().ShowImageInfo();
         k.SetResult(Result::Ok);
       }},
      {"GetImageScrollRange", dispid::kGetImageScrollRange, kMethod,
       {{"lHorMin", P::OutLong}, {"lHorMax", P::OutLong}, {"lVerMin", P::OutLong}, {"lVerMax", P::OutLong}},
       ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) {
         k.SetResult(c.document().GetImageScrollRange(&k.args[0].i, &k.args[1].i, &k.args[2].i, &k.args[3].i));
       }},
  };
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace

std::string Member::CallName() const {
  switch (kind) {
    case MemberKind::PropertyGet: return std::string("get_") + name;
    case MemberKind::PropertyPut: return std::string("put_") + name;
    default: return name;
  }
}

size_t Member::InputCount() const {
  return std::count_if(params.begin(), params.end(), [](const Param& p) { return IsInput(p.kind); });
}

const std::vector<Member>& Members() {
  static const std::vector<Member> table = [] {
    std::vector<Member> rows = BuildTable();
    AddPropertyMembers(&rows);
    // Interface order: by DISPID, a property's get before its put.
    std::stable_sort(rows.begin(), rows.end(), [](const Member& a, const Member& b) {
      return a.dispid != b.dispid ? a.dispid < b.dispid : a.kind < b.kind;
    });
    return rows;
  }();
  return table;
}

const Member* FindMember(int32_t dispid, MemberKind kind) {
  for (const Member& m : Members())
    if (m.dispid == dispid && m.kind == kind) return &m;
  return nullptr;
}

const Member* FindMethod(int32_t dispid) { return FindMember(dispid, MemberKind::Method); }

const Member* FindMember(std::string_view callName) {
  for (const Member& m : Members())
    if (SameIgnoringCase(m.CallName(), callName)) return &m;
  return nullptr;
}

}  // namespace pv
