// The long properties of the control: get and put rows made from one description each.
#include "automation/property_members.h"

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
    {"AutoRepaint", 1, &ControlProperties::autoRepaint, kAny, kAll, AfterPut::Nothing},
    {"AutoScroll", 2, &ControlProperties::autoScroll, kAny, kAll, AfterPut::Relayout},
    {"PaintSizeMode", 3, &ControlProperties::paintSizeMode, kAny, kAll, AfterPut::Relayout},
    {"DrawPenColor", 4, &ControlProperties::drawPenColor, kAny, kAll, AfterPut::Nothing},
    {"DrawPenStyle", 5, &ControlProperties::drawPenStyle, 0, 5, AfterPut::Nothing},
    {"DrawPenWidth", 6, &ControlProperties::drawPenWidth, kAny, kAll, AfterPut::Nothing},
    {"DrawFillColor", 7, &ControlProperties::drawFillColor, kAny, kAll, AfterPut::Nothing},
    {"DrawFillStyle", 8, &ControlProperties::drawFillStyle, 0, 5, AfterPut::Nothing},
    {"DrawFontColor", 9, &ControlProperties::drawFontColor, kAny, kAll, AfterPut::Nothing},
    {"DropFiles", 64, &ControlProperties::dropFiles, kAny, kAll, AfterPut::AcceptFiles},
    {"PreDropFiles", 80, &ControlProperties::preDropFiles, kAny, kAll, AfterPut::Nothing},
    {"ContrastLow", 82, &ControlProperties::contrastLow, 0, 255, AfterPut::Nothing},
    {"ContrastHi", 83, &ControlProperties::contrastHi, 0, 255, AfterPut::Nothing},
    {"DrawType", 84, &ControlProperties::drawType, 0, 1, AfterPut::Nothing},
    {"PaintScaleMode", 116, &ControlProperties::paintScaleMode, kAny, kAll, AfterPut::Relayout},
    {"EnableMenu", 122, &ControlProperties::enableMenu, kAny, kAll, AfterPut::Nothing},
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

const WindowSizeRow kWindowSizes[] = {{"WndWidth", 85, true}, {"WndHeight", 86, false}};

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
    table->push_back({row.name, row.dispid, MemberKind::PropertyGet, {}, ReturnKind::Value, false,
                      [&row](PortableControl& c, Call& k) { k.SetValue(c.properties().*row.field); }});
    table->push_back({row.name, row.dispid, MemberKind::PropertyPut, {{"newVal", ParamKind::Long}},
                      ReturnKind::None, false,
                      [&row](PortableControl& c, Call& k) { Put(row, c, k.Long(0)); }});
  }
  for (const WindowSizeRow& row : kWindowSizes) {
    table->push_back({row.name, row.dispid, MemberKind::PropertyGet, {}, ReturnKind::Value, false,
                      [&row](PortableControl& c, Call& k) { k.SetValue(GetWindowSize(row, c)); }});
    table->push_back({row.name, row.dispid, MemberKind::PropertyPut, {{"newVal", ParamKind::Long}},
                      ReturnKind::None, false,
                      [&row](PortableControl& c, Call& k) { PutWindowSize(row, c, k.Long(0)); }});
  }
}

}  // namespace pv
