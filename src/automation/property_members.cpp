// The long properties of the control: get and put rows made from one description each.
#include "automation/property_members.h"

#include "base/dispids.h"

namespace pv {
namespace {

enum class AfterPut { Nothing, Relayout, AcceptFiles };

struct PropertyRow {
  const char* name;
  int32_t dispid;
  int32_t ControlProperties::*field;
  int32_t minimum, maximum;  // puts outside are ignored
  AfterPut after;
};

constexpr int32_t kAny = INT32_MIN, kAll = INT32_MAX;

const PropertyRow kProperties[] = {
    {"AutoRepaint", dispid::kAutoRepaint, &ControlProperties::autoRepaint, kAny, kAll,
     AfterPut::Nothing},
    {"AutoScroll", dispid::kAutoScroll, &ControlProperties::autoScroll, kAny, kAll,
     AfterPut::Relayout},
    {"PaintSizeMode", dispid::kPaintSizeMode, &ControlProperties::paintSizeMode, kAny, kAll,
     AfterPut::Relayout},
    {"DrawPenColor", dispid::kDrawPenColor, &ControlProperties::drawPenColor, kAny, kAll,
     AfterPut::Nothing},
    {"DrawPenStyle", dispid::kDrawPenStyle, &ControlProperties::drawPenStyle, 0, 5,
     AfterPut::Nothing},
    {"DrawPenWidth", dispid::kDrawPenWidth, &ControlProperties::drawPenWidth, kAny, kAll,
     AfterPut::Nothing},
    {"DrawFillColor", dispid::kDrawFillColor, &ControlProperties::drawFillColor, kAny, kAll,
     AfterPut::Nothing},
    {"DrawFillStyle", dispid::kDrawFillStyle, &ControlProperties::drawFillStyle, 0, 5,
     AfterPut::Nothing},
    {"DrawFontColor", dispid::kDrawFontColor, &ControlProperties::drawFontColor, kAny, kAll,
     AfterPut::Nothing},
    {"DropFiles", dispid::kDropFiles, &ControlProperties::dropFiles, kAny, kAll,
     AfterPut::AcceptFiles},
    {"PreDropFiles", dispid::kPreDropFiles, &ControlProperties::preDropFiles, kAny, kAll,
     AfterPut::Nothing},
    {"ContrastLow", dispid::kContrastLow, &ControlProperties::contrastLow, 0, 255,
     AfterPut::Nothing},
    {"ContrastHi", dispid::kContrastHi, &ControlProperties::contrastHi, 0, 255, AfterPut::Nothing},
    {"DrawType", dispid::kDrawType, &ControlProperties::drawType, 0, 1, AfterPut::Nothing},
    {"PaintScaleMode", dispid::kPaintScaleMode, &ControlProperties::paintScaleMode, kAny, kAll,
     AfterPut::Relayout},
    {"EnableMenu", dispid::kEnableMenu, &ControlProperties::enableMenu, kAny, kAll,
     AfterPut::Nothing},
};

void Put(const PropertyRow& row, PortableControl& control, int32_t value) {
  if (value < row.minimum || value > row.maximum) return;
  // Turning automatic repaint on shows the current state first.
  if (row.field == &ControlProperties::autoRepaint && value != 0) control.ForceRepaint();
  control.properties().*row.field = value;
  control.MirrorProperties();
  if (row.after == AfterPut::Relayout) control.document().Relayout(false);
  if (row.after == AfterPut::AcceptFiles) control.display().AcceptDroppedFiles(value != 0);
  control.set_dirty(true);
}

// WndWidth and WndHeight: the window's size in pixels, one dimension each. A put resizes the
// window to the new value and the extent's other dimension; it stores nothing and leaves the
// control clean.
struct WindowSizeRow {
  const char* name;
  int32_t dispid;
  bool width;
};

const WindowSizeRow kWindowSizes[] = {{"WndWidth", dispid::kWndWidth, true},
                                      {"WndHeight", dispid::kWndHeight, false}};

int32_t GetWindowSize(const WindowSizeRow& row, PortableControl& control) {
  int32_t width = 0, height = 0;
  control.display().Extent(&width, &height);
  return row.width ? width : height;
}

void PutWindowSize(const WindowSizeRow& row, PortableControl& control, int32_t value) {
  if (value <= 0) return;
  int32_t width = 0, height = 0;
  control.display().Extent(&width, &height);
  (row.width ? width : height) = value;
  control.display().ResizeWindow(width, height);
}

}  // namespace

void AddPropertyMembers(std::vector<Member>* table) {
  for (const PropertyRow& row : kProperties) {
    table->push_back(
        {row.name,
         row.dispid,
         MemberKind::PropertyGet,
         {},
         ReturnKind::Value,
         false,
         [&row](PortableControl& c, Call& k) { k.SetValue(c.properties().*row.field); }});
    table->push_back({row.name,
                      row.dispid,
                      MemberKind::PropertyPut,
                      {},
                      ReturnKind::None,
                      false,
                      [&row](PortableControl& c, Call& k) { Put(row, c, k.Long(0)); }});
  }
  for (const WindowSizeRow& row : kWindowSizes) {
    table->push_back({row.name,
                      row.dispid,
                      MemberKind::PropertyGet,
                      {},
                      ReturnKind::Value,
                      false,
                      [&row](PortableControl& c, Call& k) { k.SetValue(GetWindowSize(row, c)); }});
    table->push_back({row.name,
                      row.dispid,
                      MemberKind::PropertyPut,
                      {},
                      ReturnKind::None,
                      false,
                      [&row](PortableControl& c, Call& k) { PutWindowSize(row, c, k.Long(0)); }});
  }
}

}  // namespace pv
