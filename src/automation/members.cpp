#include "automation/members.h"

#include <algorithm>
#include <cctype>

#include "automation/property_members.h"
#include "automation/replay.h"


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
      {"Load", 10, kMethod, {{"pszName", P::String}, {"iBitsPerPixel", P::Long}, {"iPage", P::Long}},
       ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) { k.SetResult(c.document().Load(k.String(0), k.Short(1), k.Short(2))); }},
      {"Save", 11, kMethod,
       {{"pszName", P::String}, {"iFormat", P::Long}, {"iBitsPerPixel", P::Long}, {"iQuality", P::Long}},
       ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) {
         k.SetResult(c.document().Save(k.String(0), k.Short(1), k.Short(2), k.Short(3)));
       }},
      {"Copy", 12, kMethod, {{"iFlags", P::Long}}, ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) { k.SetResult(c.document().Copy()); }},
      {"Paste", 13, kMethod, {{"iFlags", P::Long}}, ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) { k.SetResult(c.document().Paste()); }},
      {"SetDIB", 14, kMethod, {{"hDIB", P::Handle}}, ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) { k.SetResult(c.document().SetDIB(k.Handle(0))); }},
      {"GetDIB", 15, kMethod, {}, ReturnKind::Block, false,
       [](PortableControl& c, Call& k) { k.SetBlock(c.document().GetDIB()); }},
      {"LoadMemory", 16, kMethod, {{"hMem", P::Handle}, {"iBitsPerPixel", P::Long}, {"iPage", P::Long}},
       ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) {
         k.SetResult(c.document().LoadMemory(k.Handle(0), k.Short(1), k.Short(2)));
       }},
      {"SaveMemory", 17, kMethod,
       {{"phMem", P::OutHandle}, {"iFormat", P::Long}, {"iBitsPerPixel", P::Long}, {"iQuality", P::Long},
        {"piSize", P::OutLong}},
       ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) {
         k.SetResult(c.document().SaveMemory(&k.args[0].h, k.Short(1), k.Short(2), k.Short(3), &k.args[4].i));
       }},
      {"ColorRes", 22, kMethod,
       {{"iBitsPerPixel", P::Long}, {"iPalette", P::Long}, {"iDither", P::Long}, {"iColors", P::Long}},
       ReturnKind::ResultCode, true,
       [](PortableControl& c, Call& k) {
         k.SetResult(c.document().ColorRes(k.Short(0), k.Long(1), k.Long(2), k.Long(3)));
       }},
      {"LoadRawData", 25, kMethod,
       {{"phMem", P::Handle}, {"lKind", P::Long}, {"lWdth", P::Long}, {"lHeight", P::Long}, {"lSize", P::Long}},
       ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) {
         k.SetResult(c.document().LoadRawData(k.Handle(0), k.Long(1), k.Long(2), k.Long(3), k.Long(4)));
       }},
      {"SaveRawData", 26, kMethod,
       {{"phMem", P::OutHandle}, {"plKind", P::OutLong}, {"plWidth", P::OutLong}, {"plHeight", P::OutLong},
        {"plSize", P::OutLong}},
       ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) {
         k.SetResult(c.document().SaveRawData(&k.args[0].h, &k.args[1].i, &k.args[2].i, &k.args[3].i,
                                              &k.args[4].i));
       }},
      {"GetImageData", 27, kMethod, {{"phMem", P::OutHandle}, {"lpSize", P::OutLong}}, ReturnKind::ResultCode,
       false,
       [](PortableControl& c, Call& k) { k.SetResult(c.document().GetImageData(&k.args[0].h, &k.args[1].i)); }},
      {"SetBITMAP", 28, kMethod, {{"hBITMAP", P::Handle}}, ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) { k.SetResult(c.document().SetBITMAP(k.Handle(0))); }},
      // A device handle that stays the display's: a value, not a block.
      {"GetBITMAP", 29, kMethod, {}, ReturnKind::Value, false,
       [](PortableControl& c, Call& k) { k.pVal = reinterpret_cast<intptr_t>(c.document().GetBITMAP()); }},
      {"Monochrome", 24, kMethod, {{"th", P::Long}}, ReturnKind::ResultCode, true,
       [](PortableControl& c, Call& k) { k.SetResult(c.document().Monochrome(k.Long(0))); }},
      {"GetWidth", 31, kMethod, {}, ReturnKind::Value, false, QueryValue<&ImageDocument::GetWidth>},
      {"GetHeight", 32, kMethod, {}, ReturnKind::Value, false, QueryValue<&ImageDocument::GetHeight>},
      {"GetSize", 33, kMethod, {}, ReturnKind::Value, false, QueryValue<&ImageDocument::GetSize>},
      {"GetBitmapBits", 34, kMethod, {}, ReturnKind::Value, false, QueryValue<&ImageDocument::GetBitmapBits>},
      {"GetPaletteSize", 35, kMethod, {}, ReturnKind::Value, false,
       QueryValue<&ImageDocument::GetPaletteSize>},
      {"GetBitmapInfo", 36, kMethod, {}, ReturnKind::Block, false,
       [](PortableControl& c, Call& k) { k.SetBlock(c.document().GetBitmapInfo()); }},
      {"GetPalette", 55, kMethod, {{"lInedx", P::Long}, {"plPal", P::OutLong}}, ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) { k.SetResult(c.document().GetPalette(k.Long(0), &k.args[1].i)); }},
      {"SetPalette", 56, kMethod, {{"lIndex", P::Long}, {"lPal", P::Long}}, ReturnKind::ResultCode, true,
       [](PortableControl& c, Call& k) { k.SetResult(c.document().SetPalette(k.Long(0), k.Long(1))); }},
      {"ForceRepaint", 59, kMethod, {}, ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) {
         c.ForceRepaint();
         k.SetResult(Result::Ok);
       }},
      {"ShowImageMenu", 63, kMethod, {{"lShow1", P::Long}, {"lShow2", P::Long}}, ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) {
         c.properties().menuMask1 = k.Long(0);
         c.properties().menuMask2 = k.Long(1);
         k.SetResult(Result::Ok);
       }},
      {"LoadLog", 88, kMethod, {{"pszName", P::String}, {"lType", P::Long}}, ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) { k.SetResult(c.log().LoadLogFile(k.String(0), k.Long(1))); }},
      {"SaveLog", 89, kMethod, {{"pszName", P::String}, {"lType", P::Long}}, ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) { k.SetResult(c.log().SaveLogFile(k.String(0))); }},
      {"DeleteLog", 90, kMethod, {{"lIndex", P::Long}}, ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) {
         c.log().DeleteEntry(k.Long(0));
         k.SetResult(Result::Ok);
       }},
      {"StartLog", 91, kMethod, {}, ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) {
         c.log().StartLogging();
         k.SetResult(Result::Ok);
       }},
      {"StopLog", 92, kMethod, {}, ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) {
         c.log().StopLogging();
         k.SetResult(Result::Ok);
       }},
      {"RemoveLog", 93, kMethod, {}, ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) {
         c.log().DeleteEntry(-1);
         k.SetResult(Result::Ok);
       }},
      {"ExecuteLog", 94, kMethod, {{"hMem", P::Handle}, {"lCnt", P::Long}}, ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) { k.SetResult(ExecuteLog(c, k.Handle(0), k.Long(1))); }},
      {"SaveLogText", 95, kMethod, {{"pszName", P::String}}, ReturnKind::ResultCode, false,
       [](PortableControl& c, Call& k) { k.SetResult(c.log().SaveLogTextFile(k.String(0))); }},
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
