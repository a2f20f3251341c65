#include "automation/members.h"

#include <algorithm>
#include <cctype>

#include "automation/dialog_members.h"
#include "automation/member_rows.h"
#include "automation/plugin_members.h"
#include "automation/property_members.h"
#include "automation/replay.h"
#include "automation/window_members.h"
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

using rows::Method;
using rows::Row;

// The overlay's drawing members take the background colour from BackColor first. What draws
// into the DIB (the direct mode, the commit) needs a port that can draw.
template <auto Operation>
Member Drawing(const char* name, bool drawsIntoDib) {
  Member row = rows::Forwarding<Operation>(name, false);
  row.handler = [drawsIntoDib](PortableControl& c, Call& k) {
    const bool intoDib = drawsIntoDib || c.properties().drawType == 1;
    if (intoDib && !c.display().CanDraw()) {
      k.needsWindow = true;
      return;
    }
    c.RefreshBackground();
    rows::Perform<Operation>(c, k);
  };
  return row;
}

std::vector<Member> BuildTable() {
  return {
      Row("BackColor", MemberKind::PropertyGet, ReturnKind::Value, false,
          [](PortableControl& c, Call& k) { k.SetUnsigned(c.properties().backColor); }),
      Row("BackColor", MemberKind::PropertyPut, ReturnKind::None, false,
          [](PortableControl& c, Call& k) {
            if (!c.display().RequestPropertyEdit(dispid::kBackColor)) return;
            c.properties().backColor = k.Unsigned(0);
            c.set_dirty(true);
            c.display().PropertyChanged(dispid::kBackColor);
          }),
      rows::Forwarding<&ImageDocument::Load>("Load", false),
      rows::Forwarding<&ImageDocument::Save>("Save", false),
      Method("Copy", ReturnKind::ResultCode, false,
             [](PortableControl& c, Call& k) { k.SetResult(c.document().Copy()); }),
      Method("Paste", ReturnKind::ResultCode, false,
             [](PortableControl& c, Call& k) { k.SetResult(c.document().Paste()); }),
      rows::Forwarding<&ImageDocument::SetDIB>("SetDIB", false),
      Method("GetDIB", ReturnKind::Block, false,
             [](PortableControl& c, Call& k) { k.SetBlock(c.document().GetDIB()); }),
      rows::Forwarding<&ImageDocument::LoadMemory>("LoadMemory", false),
      rows::Forwarding<&ImageDocument::SaveMemory>("SaveMemory", false),
      rows::Forwarding<&ImageDocument::Grayscale>("Grayscale", true),
      Method("Trim", ReturnKind::ResultCode, true,
             [](PortableControl& c, Call& k) {
               c.RefreshBackground();
               k.SetResult(c.document().Trim(k.Float(0), k.Float(1), k.Float(2), k.Float(3)));
             }),
      rows::Forwarding<&ImageDocument::Mosaic>("Mosaic", true),
      rows::Forwarding<&ImageDocument::ColorRes>("ColorRes", true),
      rows::Forwarding<&ImageDocument::LoadRawData>("LoadRawData", false),
      rows::Forwarding<&ImageDocument::SaveRawData>("SaveRawData", false),
      rows::Forwarding<&ImageDocument::GetImageData>("GetImageData", false),
      Method("SetBITMAP", ReturnKind::ResultCode, false,
             [](PortableControl& c, Call& k) { k.SetResult(c.document().SetBITMAP(k.Handle(0))); }),
      // A device handle that stays the display's: a value, not a block.
      Method("GetBITMAP", ReturnKind::Value, false,
             [](PortableControl& c, Call& k) {
               k.pVal = reinterpret_cast<intptr_t>(c.document().GetBITMAP());
             }),
      rows::Forwarding<&ImageDocument::Monochrome>("Monochrome", true),
      Method("GetWidth", ReturnKind::Value, false, QueryValue<&ImageDocument::GetWidth>),
      Method("GetHeight", ReturnKind::Value, false, QueryValue<&ImageDocument::GetHeight>),
      Method("GetSize", ReturnKind::Value, false, QueryValue<&ImageDocument::GetSize>),
      Method("GetBitmapBits", ReturnKind::Value, false, QueryValue<&ImageDocument::GetBitmapBits>),
      Method("GetPaletteSize", ReturnKind::Value, false,
             QueryValue<&ImageDocument::GetPaletteSize>),
      Method("GetBitmapInfo", ReturnKind::Block, false,
             [](PortableControl& c, Call& k) { k.SetBlock(c.document().GetBitmapInfo()); }),
      rows::Forwarding<&ImageDocument::SetSize>("SetSize", true),
      rows::Forwarding<&ImageDocument::Rotate>("Rotate", true),
      rows::Forwarding<&ImageDocument::TurnOver>("TurnOver", true),
      rows::Forwarding<&ImageDocument::GetHistogram>("GetHistogram", false),
      rows::Forwarding<&ImageDocument::SobelFilter>("SobelFilter", true),
      rows::Forwarding<&ImageDocument::RobinsonFilter>("RobinsonFilter", true),
      rows::Forwarding<&ImageDocument::SetImageScale>("SetImageScale", true),
      rows::Forwarding<&ImageDocument::AccentForHistogram>("AccentForHistogram", true),
      rows::Forwarding<&ImageDocument::Smooth>("Smooth", true),
      rows::Forwarding<&ImageDocument::GetMonochromeThresh>("GetMonochromeThresh", false),
      rows::Forwarding<&ImageDocument::SetDispScale>("SetDispScale", true),
      rows::Forwarding<&ImageDocument::GetPalette>("GetPalette", false),
      rows::Forwarding<&ImageDocument::SetPalette>("SetPalette", true),
      Method("ForceRepaint", ReturnKind::ResultCode, false,
             [](PortableControl& c, Call& k) {
               c.ForceRepaint();
               c.plugins().Drawn();
               k.SetResult(Result::Ok);
             }),
      Method("ShowImageMenu", ReturnKind::ResultCode, false,
             [](PortableControl& c, Call& k) {
               c.properties().menuMask1 = k.Long(0);
               c.properties().menuMask2 = k.Long(1);
               k.SetResult(Result::Ok);
             }),
      rows::Forwarding<&ImageDocument::GetDispScale>("GetDispScale", false),
      Method("ClientToDIBPosition", ReturnKind::ResultCode, false,
             [](PortableControl& c, Call& k) {
               k.SetResult(c.document().ClientToDIBPosition(&k.args[0].i, &k.args[1].i));
             }),
      rows::Forwarding<&ImageDocument::GetProfile>("GetProfile", false),
      rows::Forwarding<&ImageDocument::RemoveAlonePoint>("RemoveAlonePoint", true),
      rows::Forwarding<&ImageDocument::Labeling>("Labeling", true),
      rows::Forwarding<&ImageDocument::SamplingOutline>("SamplingOutline", true),
      rows::Forwarding<&ImageDocument::Expansion>("Expansion", true),
      rows::Forwarding<&ImageDocument::Contraction>("Contraction", true),
      rows::Forwarding<&ImageDocument::LaplacianFilter>("LaplacianFilter", true),
      rows::Forwarding<&ImageDocument::SmoothAsMaxDensity>("SmoothAsMaxDensity", true),
      rows::Forwarding<&ImageDocument::SmoothAsMinDensity>("SmoothAsMinDensity", true),
      Row("Contrast", kMethod, ReturnKind::ResultCode, true,
          [](PortableControl& c, Call& k) {
            k.SetResult(c.document().Contrast(k.Long(0), k.Long(1), k.Long(2), k.Long(3)));
          },
          {{"ContrastLow", P::Property}, {"ContrastHi", P::Property}}),
      rows::Forwarding<&ImageDocument::Gamma>("Gamma", true),
      rows::Forwarding<&ImageDocument::RGBGamma>("RGBGamma", true),
      rows::Forwarding<&ImageDocument::GetRGBHistogram>("GetRGBHistogram", false),
      Method("LoadLog", ReturnKind::ResultCode, false,
             [](PortableControl& c, Call& k) {
               k.SetResult(c.log().LoadLogFile(k.String(0), k.Long(1)));
             }),
      Method("SaveLog", ReturnKind::ResultCode, false,
             [](PortableControl& c, Call& k) { k.SetResult(c.log().SaveLogFile(k.String(0))); }),
      Method("DeleteLog", ReturnKind::ResultCode, false,
             [](PortableControl& c, Call& k) {
               c.log().DeleteEntry(k.Long(0));
               k.SetResult(Result::Ok);
             }),
      Method("StartLog", ReturnKind::ResultCode, false,
             [](PortableControl& c, Call& k) {
               c.log().StartLogging();
               k.SetResult(Result::Ok);
             }),
      Method("StopLog", ReturnKind::ResultCode, false,
             [](PortableControl& c, Call& k) {
               c.log().StopLogging();
               k.SetResult(Result::Ok);
             }),
      Method("RemoveLog", ReturnKind::ResultCode, false,
             [](PortableControl& c, Call& k) {
               c.log().DeleteEntry(-1);
               k.SetResult(Result::Ok);
             }),
      Method(
          "ExecuteLog", ReturnKind::ResultCode, false,
          [](PortableControl& c, Call& k) { k.SetResult(ExecuteLog(c, k.Handle(0), k.Long(1))); }),
      Method(
          "SaveLogText", ReturnKind::ResultCode, false,
          [](PortableControl& c, Call& k) { k.SetResult(c.log().SaveLogTextFile(k.String(0))); }),
      Method("DispImageInfo", ReturnKind::ResultCode, false,
             [](PortableControl& c, Call& k) {
               c.document().ShowImageInfo();
               k.SetResult(Result::Ok);
             }),
      rows::Forwarding<&ImageDocument::GetImageScrollRange>("GetImageScrollRange", false),
      Drawing<&ImageDocument::DrawLine>("DrawLine", false),
      Drawing<&ImageDocument::DrawRectangle>("DrawRectangle", false),
      Drawing<&ImageDocument::DrawEllipse>("DrawEllipse", false),
      Drawing<&ImageDocument::DrawText>("DrawText", false),
      Drawing<&ImageDocument::CommitDrawData>("CommitDrawData", true),
      rows::Forwarding<&ImageDocument::SetFontName>("SetFontName", false),
      rows::Forwarding<&ImageDocument::SetFontInfo>("SetFontInfo", false),
      rows::Forwarding<&ImageDocument::ClearDrawData>("ClearDrawData", false),
      rows::Forwarding<&ImageDocument::UndoDrawData>("UndoDrawData", false),
  };
}

}  // namespace

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

std::string CallName(const char* name, MemberKind kind) {
  switch (kind) {
    case MemberKind::PropertyGet: return std::string("get_") + name;
    case MemberKind::PropertyPut: return std::string("put_") + name;
    default: return name;
  }
}

std::string Member::CallName() const { return ::pv::CallName(name, kind); }

size_t Member::InputCount() const {
  return std::count_if(params.begin(), params.end(),
                       [](const Param& p) { return IsInput(p.kind); });
}

namespace {

// The row takes its DISPID and interface parameters (names, kinds, ranges) from the interface
// description. Kinds a row states itself (those a forwarding row takes from its operation)
// must be the declared ones; the control's own Property parameters follow them. What does
// not agree is told, and the row keeps the declaration.
void TakeDeclaration(Member* row, std::vector<std::string>* disagreements) {
  const auto& declared = InterfaceDeclarations();
  const auto entry = std::find_if(declared.begin(), declared.end(), [&](const Declaration& d) {
    return row->name == std::string_view(d.name) && row->kind == d.kind;
  });
  if (entry == declared.end()) {
    disagreements->push_back(row->CallName() + ": not in the interface");
    return;
  }
  std::vector<Param> stated, own;
  for (const Param& p : row->params) (p.kind == ParamKind::Property ? own : stated).push_back(p);
  std::vector<Param> params = entry->params;
  const bool agrees = stated.empty() ||
                      (stated.size() == params.size() &&
                       std::equal(stated.begin(), stated.end(), params.begin(),
                                  [](const Param& a, const Param& b) { return a.kind == b.kind; }));
  if (!agrees) disagreements->push_back(row->CallName() + ": parameters differ");
  params.insert(params.end(), own.begin(), own.end());
  row->dispid = entry->dispid;
  row->params = std::move(params);
}

struct Table {
  std::vector<Member> rows;
  std::vector<std::string> disagreements;
};

const Table& TheTable() {
  static const Table table = [] {
    Table t{BuildTable(), {}};
    AddPropertyMembers(&t.rows);
    AddWindowMembers(&t.rows);
    AddDialogMembers(&t.rows);
    AddPluginMembers(&t.rows);
    for (Member& row : t.rows) TakeDeclaration(&row, &t.disagreements);
    // Interface order: by DISPID, a property's get before its put.
    std::stable_sort(t.rows.begin(), t.rows.end(), [](const Member& a, const Member& b) {
      return a.dispid != b.dispid ? a.dispid < b.dispid : a.kind < b.kind;
    });
    return t;
  }();
  return table;
}

}  // namespace

const std::vector<Declaration>& InterfaceDeclarations() {
  static const std::vector<Declaration> members = {
#include "automation/interface_members.inc"
  };
  return members;
}

const std::vector<Member>& Members() { return TheTable().rows; }

const std::vector<std::string>& InterfaceDisagreements() { return TheTable().disagreements; }

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
