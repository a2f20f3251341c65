// The long properties of the control: get and put rows made from one description each.
#include "automation/property_members.h"

#include "automation/member_rows.h"

namespace pv {
namespace {

enum class AfterPut { Nothing, Relayout, AcceptFiles };

struct PropertyRow {
  const char* name;
  int32_t ControlProperties::*field;
  int32_t minimum, maximum;  // puts outside are ignored
  AfterPut after;
};

constexpr int32_t kAny = INT32_MIN, kAll = INT32_MAX;

const PropertyRow kProperties[] = {
    {"AutoRepaint", &ControlProperties::autoRepaint, kAny, kAll, AfterPut::Nothing},
    {"AutoScroll", &ControlProperties::autoScroll, kAny, kAll, AfterPut::Relayout},
    {"PaintSizeMode", &ControlProperties::paintSizeMode, kAny, kAll, AfterPut::Relayout},
    {"DrawPenColor", &ControlProperties::drawPenColor, kAny, kAll, AfterPut::Nothing},
    {"DrawPenStyle", &ControlProperties::drawPenStyle, 0, 5, AfterPut::Nothing},
    {"DrawPenWidth", &ControlProperties::drawPenWidth, kAny, kAll, AfterPut::Nothing},
    {"DrawFillColor", &ControlProperties::drawFillColor, kAny, kAll, AfterPut::Nothing},
    {"DrawFillStyle", &ControlProperties::drawFillStyle, 0, 5, AfterPut::Nothing},
    {"DrawFontColor", &ControlProperties::drawFontColor, kAny, kAll, AfterPut::Nothing},
    {"DropFiles", &ControlProperties::dropFiles, kAny, kAll, AfterPut::AcceptFiles},
    {"PreDropFiles", &ControlProperties::preDropFiles, kAny, kAll, AfterPut::Nothing},
    {"ContrastLow", &ControlProperties::contrastLow, 0, 255, AfterPut::Nothing},
    {"ContrastHi", &ControlProperties::contrastHi, 0, 255, AfterPut::Nothing},
    {"DrawType", &ControlProperties::drawType, 0, 1, AfterPut::Nothing},
    {"PaintScaleMode", &ControlProperties::paintScaleMode, kAny, kAll, AfterPut::Relayout},
    {"EnableMenu", &ControlProperties::enableMenu, kAny, kAll, AfterPut::Nothing},
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
  bool width;
};

const WindowSizeRow kWindowSizes[] = {{"WndWidth", true}, {"WndHeight", false}};

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
  using rows::Row;
  for (const PropertyRow& row : kProperties) {
    table->push_back(
        Row(row.name, MemberKind::PropertyGet, ReturnKind::Value, false,
            [&row](PortableControl& c, Call& k) { k.SetValue(c.properties().*row.field); }));
    table->push_back(Row(row.name, MemberKind::PropertyPut, ReturnKind::None, false,
                         [&row](PortableControl& c, Call& k) { Put(row, c, k.Long(0)); }));
  }
  for (const WindowSizeRow& row : kWindowSizes) {
    table->push_back(
        Row(row.name, MemberKind::PropertyGet, ReturnKind::Value, false,
            [&row](PortableControl& c, Call& k) { k.SetValue(GetWindowSize(row, c)); }));
    table->push_back(
        Row(row.name, MemberKind::PropertyPut, ReturnKind::None, false,
            [&row](PortableControl& c, Call& k) { PutWindowSize(row, c, k.Long(0)); }));
  }
}

}  // namespace pv
