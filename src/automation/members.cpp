#include "automation/members.h"

#include <algorithm>
#include <cctype>

#include "automation/document_rows.h"
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

std::vector<Member> BuildTable() {
  return {
      {"BackColor",
       dispid::kBackColor,
       MemberKind::PropertyGet,
       {},
       ReturnKind::Value,
       false,
       [](PortableControl& c, Call& k) { k.SetUnsigned(c.properties().backColor); }},
      {"BackColor",
       dispid::kBackColor,
       MemberKind::PropertyPut,
       {{"newVal", P::Long}},
       ReturnKind::None,
       false,
       [](PortableControl& c, Call& k) {
         if (!c.display().RequestPropertyEdit(dispid::kBackColor)) return;
         c.properties().backColor = k.Unsigned(0);
         c.set_dirty(true);
         c.display().PropertyChanged(dispid::kBackColor);
       }},
      rows::Forwarding<&ImageDocument::Load>("Load", dispid::kLoad, false,
                                             {"pszName", "iBitsPerPixel", {"iPage", {0, 0}}}),
      rows::Forwarding<&ImageDocument::Save>(
          "Save", dispid::kSave, false,
          {"pszName", {"iFormat", {1, 6}}, "iBitsPerPixel", "iQuality"}),
      {"Copy",
       dispid::kCopy,
       kMethod,
       {{"iFlags", P::Long}},
       ReturnKind::ResultCode,
       false,
       [](PortableControl& c, Call& k) { k.SetResult(c.document().Copy()); }},
      {"Paste",
       dispid::kPaste,
       kMethod,
       {{"iFlags", P::Long}},
       ReturnKind::ResultCode,
       false,
       [](PortableControl& c, Call& k) { k.SetResult(c.document().Paste()); }},
      rows::Forwarding<&ImageDocument::SetDIB>("SetDIB", dispid::kSetDIB, false, {"hDIB"}),
      {"GetDIB",
       dispid::kGetDIB,
       kMethod,
       {},
       ReturnKind::Block,
       false,
       [](PortableControl& c, Call& k) { k.SetBlock(c.document().GetDIB()); }},
      rows::Forwarding<&ImageDocument::LoadMemory>("LoadMemory", dispid::kLoadMemory, false,
                                                   {"hMem", "iBitsPerPixel", {"iPage", {0, 0}}}),
      rows::Forwarding<&ImageDocument::SaveMemory>(
          "SaveMemory", dispid::kSaveMemory, false,
          {"phMem", {"iFormat", {1, 6}}, "iBitsPerPixel", "iQuality", "piSize"}),
      rows::Forwarding<&ImageDocument::Grayscale>("Grayscale", dispid::kGrayscale, true,
                                                  {{"iProcID", {0, 7}}, "cR", "cG", "cB"}),
      {"Trim",
       dispid::kTrim,
       kMethod,
       {{"fLeft", P::Float}, {"fTop", P::Float}, {"fWidth", P::Float}, {"fHeight", P::Float}},
       ReturnKind::ResultCode,
       true,
       [](PortableControl& c, Call& k) {
         c.RefreshBackground();
         k.SetResult(c.document().Trim(k.Float(0), k.Float(1), k.Float(2), k.Float(3)));
       }},
      rows::Forwarding<&ImageDocument::Mosaic>("Mosaic", dispid::kMosaic, true, {"iDim"}),
      rows::Forwarding<&ImageDocument::ColorRes>(
          "ColorRes", dispid::kColorRes, true, {"iBitsPerPixel", "iPalette", "iDither", "iColors"}),
      rows::Forwarding<&ImageDocument::LoadRawData>(
          "LoadRawData", dispid::kLoadRawData, false,
          {"phMem", "lKind", "lWdth", "lHeight", "lSize"}),
      rows::Forwarding<&ImageDocument::SaveRawData>(
          "SaveRawData", dispid::kSaveRawData, false,
          {"phMem", "plKind", "plWidth", "plHeight", "plSize"}),
      rows::Forwarding<&ImageDocument::GetImageData>("GetImageData", dispid::kGetImageData, false,
                                                     {"phMem", "lpSize"}),
      {"SetBITMAP",
       dispid::kSetBITMAP,
       kMethod,
       {{"hBITMAP", P::Handle}},
       ReturnKind::ResultCode,
       false,
       [](PortableControl& c, Call& k) { k.SetResult(c.document().SetBITMAP(k.Handle(0))); }},
      // A device handle that stays the display's: a value, not a block.
      {"GetBITMAP",
       dispid::kGetBITMAP,
       kMethod,
       {},
       ReturnKind::Value,
       false,
       [](PortableControl& c, Call& k) {
         k.pVal = reinterpret_cast<intptr_t>(c.document().GetBITMAP());
       }},
      rows::Forwarding<&ImageDocument::Monochrome>("Monochrome", dispid::kMonochrome, true,
                                                   {{"th", {1, 254}}}),
      {"GetWidth",
       dispid::kGetWidth,
       kMethod,
       {},
       ReturnKind::Value,
       false,
       QueryValue<&ImageDocument::GetWidth>},
      {"GetHeight",
       dispid::kGetHeight,
       kMethod,
       {},
       ReturnKind::Value,
       false,
       QueryValue<&ImageDocument::GetHeight>},
      {"GetSize",
       dispid::kGetSize,
       kMethod,
       {},
       ReturnKind::Value,
       false,
       QueryValue<&ImageDocument::GetSize>},
      {"GetBitmapBits",
       dispid::kGetBitmapBits,
       kMethod,
       {},
       ReturnKind::Value,
       false,
       QueryValue<&ImageDocument::GetBitmapBits>},
      {"GetPaletteSize",
       dispid::kGetPaletteSize,
       kMethod,
       {},
       ReturnKind::Value,
       false,
       QueryValue<&ImageDocument::GetPaletteSize>},
      {"GetBitmapInfo",
       dispid::kGetBitmapInfo,
       kMethod,
       {},
       ReturnKind::Block,
       false,
       [](PortableControl& c, Call& k) { k.SetBlock(c.document().GetBitmapInfo()); }},
      rows::Forwarding<&ImageDocument::SetSize>("SetSize", dispid::kSetSize, true,
                                                {"lWidth", "lHeight", "lPos", "lCol"}),
      rows::Forwarding<&ImageDocument::Rotate>("Rotate", dispid::kRotate, true,
                                               {"fAngle", "lReSize", "lCol"}),
      rows::Forwarding<&ImageDocument::TurnOver>("TurnOver", dispid::kTurnOver, true,
                                                 {{"lDir", {0, 1}}}),
      rows::Forwarding<&ImageDocument::GetHistogram>(
          "GetHistogram", dispid::kGetHistogram, false,
          {"lStartX", "lStartY", "lWidth", "lHeight", "phMem"}),
      rows::Forwarding<&ImageDocument::SobelFilter>("SobelFilter", dispid::kSobelFilter, true),
      rows::Forwarding<&ImageDocument::RobinsonFilter>("RobinsonFilter", dispid::kRobinsonFilter,
                                                       true),
      rows::Forwarding<&ImageDocument::SetImageScale>("SetImageScale", dispid::kSetImageScale, true,
                                                      {"fHor", "fVer", "lType"}),
      rows::Forwarding<&ImageDocument::AccentForHistogram>(
          "AccentForHistogram", dispid::kAccentForHistogram, true, {"lRange", "lTh"}),
      rows::Forwarding<&ImageDocument::Smooth>("Smooth", dispid::kSmooth, true),
      rows::Forwarding<&ImageDocument::GetMonochromeThresh>(
          "GetMonochromeThresh", dispid::kGetMonochromeThresh, false,
          {"lStartX", "lStartY", "lWidth", "lHeight", "plTh"}),
      rows::Forwarding<&ImageDocument::SetDispScale>("SetDispScale", dispid::kSetDispScale, true,
                                                     {"fHor", "fVer"}),
      rows::Forwarding<&ImageDocument::GetPalette>("GetPalette", dispid::kGetPalette, false,
                                                   {"lInedx", "plPal"}),
      rows::Forwarding<&ImageDocument::SetPalette>("SetPalette", dispid::kSetPalette, true,
                                                   {"lIndex", "lPal"}),
      {"ForceRepaint",
       dispid::kForceRepaint,
       kMethod,
       {},
       ReturnKind::ResultCode,
       false,
       [](PortableControl& c, Call& k) {
         c.ForceRepaint();
         k.SetResult(Result::Ok);
       }},
      {"ShowImageMenu",
       dispid::kShowImageMenu,
       kMethod,
       {{"lShow1", P::Long}, {"lShow2", P::Long}},
       ReturnKind::ResultCode,
       false,
       [](PortableControl& c, Call& k) {
         c.properties().menuMask1 = k.Long(0);
         c.properties().menuMask2 = k.Long(1);
         k.SetResult(Result::Ok);
       }},
      rows::Forwarding<&ImageDocument::GetDispScale>("GetDispScale", dispid::kGetDispScale, false,
                                                     {"hor", "ver"}),
      {"ClientToDIBPosition",
       dispid::kClientToDIBPosition,
       kMethod,
       {{"x", P::InOutLong}, {"y", P::InOutLong}},
       ReturnKind::ResultCode,
       false,
       [](PortableControl& c, Call& k) {
         k.SetResult(c.document().ClientToDIBPosition(&k.args[0].i, &k.args[1].i));
       }},
      rows::Forwarding<&ImageDocument::GetProfile>(
          "GetProfile", dispid::kGetProfile, false,
          {"lStartX", "lStartY", "lEndX", "lEndY", "phMem", "lSize"}),
      rows::Forwarding<&ImageDocument::RemoveAlonePoint>(
          "RemoveAlonePoint", dispid::kRemoveAlonePoint, true, {"lBack"}),
      rows::Forwarding<&ImageDocument::Labeling>("Labeling", dispid::kLabeling, true,
                                                 {"lMin", "lMax", "lBack"}),
      rows::Forwarding<&ImageDocument::SamplingOutline>("SamplingOutline", dispid::kSamplingOutline,
                                                        true, {"lBack"}),
      rows::Forwarding<&ImageDocument::Expansion>("Expansion", dispid::kExpansion, true, {"lBack"}),
      rows::Forwarding<&ImageDocument::Contraction>("Contraction", dispid::kContraction, true,
                                                    {"lBack"}),
      rows::Forwarding<&ImageDocument::LaplacianFilter>("LaplacianFilter", dispid::kLaplacianFilter,
                                                        true),
      rows::Forwarding<&ImageDocument::SmoothAsMaxDensity>("SmoothAsMaxDensity",
                                                           dispid::kSmoothAsMaxDensity, true),
      rows::Forwarding<&ImageDocument::SmoothAsMinDensity>("SmoothAsMinDensity",
                                                           dispid::kSmoothAsMinDensity, true),
      {"Contrast",
       dispid::kContrast,
       kMethod,
       {{"lLow", P::Long},
        {"lHi", P::Long},
        {"ContrastLow", P::Property},
        {"ContrastHi", P::Property}},
       ReturnKind::ResultCode,
       true,
       [](PortableControl& c, Call& k) {
         k.SetResult(c.document().Contrast(k.Long(0), k.Long(1), k.Long(2), k.Long(3)));
       }},
      rows::Forwarding<&ImageDocument::Gamma>("Gamma", dispid::kGamma, true, {"fGamma"}),
      rows::Forwarding<&ImageDocument::RGBGamma>("RGBGamma", dispid::kRGBGamma, true,
                                                 {"fRed", "fGreen", "fBlue"}),
      rows::Forwarding<&ImageDocument::GetRGBHistogram>(
          "GetRGBHistogram", dispid::kGetRGBHistogram, false,
          {"lStartX", "lStartY", "lWidth", "lHeight", "phRMem", "phGMem", "phBMem"}),
      {"LoadLog",
       dispid::kLoadLog,
       kMethod,
       {{"pszName", P::String}, {"lType", P::Long}},
       ReturnKind::ResultCode,
       false,
       [](PortableControl& c, Call& k) {
         k.SetResult(c.log().LoadLogFile(k.String(0), k.Long(1)));
       }},
      {"SaveLog",
       dispid::kSaveLog,
       kMethod,
       {{"pszName", P::String}, {"lType", P::Long}},
       ReturnKind::ResultCode,
       false,
       [](PortableControl& c, Call& k) { k.SetResult(c.log().SaveLogFile(k.String(0))); }},
      {"DeleteLog",
       dispid::kDeleteLog,
       kMethod,
       {{"lIndex", P::Long}},
       ReturnKind::ResultCode,
       false,
       [](PortableControl& c, Call& k) {
         c.log().DeleteEntry(k.Long(0));
         k.SetResult(Result::Ok);
       }},
      {"StartLog",
       dispid::kStartLog,
       kMethod,
       {},
       ReturnKind::ResultCode,
       false,
       [](PortableControl& c, Call& k) {
         c.log().StartLogging();
         k.SetResult(Result::Ok);
       }},
      {"StopLog",
       dispid::kStopLog,
       kMethod,
       {},
       ReturnKind::ResultCode,
       false,
       [](PortableControl& c, Call& k) {
         c.log().StopLogging();
         k.SetResult(Result::Ok);
       }},
      {"RemoveLog",
       dispid::kRemoveLog,
       kMethod,
       {},
       ReturnKind::ResultCode,
       false,
       [](PortableControl& c, Call& k) {
         c.log().DeleteEntry(-1);
         k.SetResult(Result::Ok);
       }},
      {"ExecuteLog",
       dispid::kExecuteLog,
       kMethod,
       {{"hMem", P::Handle}, {"lCnt", P::Long}},
       ReturnKind::ResultCode,
       false,
       [](PortableControl& c, Call& k) { k.SetResult(ExecuteLog(c, k.Handle(0), k.Long(1))); }},
      {"SaveLogText",
       dispid::kSaveLogText,
       kMethod,
       {{"pszName", P::String}},
       ReturnKind::ResultCode,
       false,
       [](PortableControl& c, Call& k) { k.SetResult(c.log().SaveLogTextFile(k.String(0))); }},
      {"DispImageInfo",
       dispid::kDispImageInfo,
       kMethod,
       {},
       ReturnKind::ResultCode,
       false,
       [](PortableControl& c, Call& k) {
         c.document().ShowImageInfo();
         k.SetResult(Result::Ok);
       }},
      rows::Forwarding<&ImageDocument::GetImageScrollRange>(
          "GetImageScrollRange", dispid::kGetImageScrollRange, false,
          {"lHorMin", "lHorMax", "lVerMin", "lVerMax"}),
  };
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
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
  return std::count_if(params.begin(), params.end(),
                       [](const Param& p) { return IsInput(p.kind); });
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
