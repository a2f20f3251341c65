#include "automation/members.h"

#include <algorithm>
#include <cctype>

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
  static const std::vector<Member> table = BuildTable();
  return table;
}

const Member* FindMember(std::string_view callName) {
  for (const Member& m : Members())
    if (SameIgnoringCase(m.CallName(), callName)) return &m;
  return nullptr;
}

}  // namespace pv
