#include "control/window/overlay_painter.h"

#include <algorithm>
#include <string>

#include "control/window/gdi_objects.h"
#include "platform/text_encoding.h"

namespace pv::control {
namespace {

// Pen styles 0 to 5 are the platform's own numbers (PS_SOLID to PS_NULL).
HPEN Pen(int32_t style, float width, uint32_t color) {
  return CreatePen(style, static_cast<int>(width), color);
}

class Painter {
 public:
  Painter(HDC dc, float sx, float sy, int ox, int oy)
      : dc_(dc), sx_(sx), sy_(sy), ox_(ox), oy_(oy) {}

  void Paint(const OverlayItem& item) {
    switch (item.kind) {
      case OverlayKind::Line: Line(item); break;
      case OverlayKind::Rectangle: Rectangle(item); break;
      case OverlayKind::Ellipse: Ellipse(item); break;
      case OverlayKind::Text: Text(item); break;
    }
  }

 private:
  float X(float x) const { return sx_ * x + static_cast<float>(ox_); }
  float Y(float y) const { return sy_ * y + static_cast<float>(oy_); }
  int TruncX(float x) const { return static_cast<int>(X(x)); }
  int TruncY(float y) const { return static_cast<int>(Y(y)); }

  void Line(const OverlayItem& item) {
    if (item.penWidth < 0.5f) return;
    SetBkMode(dc_, TRANSPARENT);
    Selected pen(dc_, Pen(item.penStyle, item.penWidth, item.penColor));
    MoveToEx(dc_, TruncX(item.x1), TruncY(item.y1), nullptr);
    LineTo(dc_, TruncX(item.x2), TruncY(item.y2));
  }

  // The fill as vertical lines, then the outline, which ignores the pen style.
  void Rectangle(const OverlayItem& item) {
    const int left = TruncX(item.x1), top = TruncY(item.y1);
    const int right = TruncX(item.x2), bottom = TruncY(item.y2);
    if (item.fill && !(left == right && top == bottom)) {
      const float width = item.penWidth < 1.0f ? 1.0f : item.penWidth;
      Selected pen(dc_, Pen(PS_SOLID, width, item.fillColor));
      for (int x = std::min(left, right); x <= std::max(left, right); ++x) {
        MoveToEx(dc_, x, top, nullptr);
        LineTo(dc_, x, bottom);
      }
    }
    if (item.penWidth < 1.0f) return;
    Selected pen(dc_, Pen(PS_SOLID, item.penWidth, item.penColor));
    MoveToEx(dc_, left, top, nullptr);
    LineTo(dc_, left, bottom);
    LineTo(dc_, right, bottom);
    LineTo(dc_, right, top);
    LineTo(dc_, left, top);
  }

  // The outline takes its style from the fill style; unfilled, it is two arcs.
  void Ellipse(const OverlayItem& item) {
    if (item.penWidth < 0.5f) return;
    SetBkMode(dc_, TRANSPARENT);
    const int left = TruncX(item.x1), top = TruncY(item.y1);
    const int right = TruncX(item.x2), bottom = TruncY(item.y2);
    Selected pen(dc_, Pen(item.fillStyle, item.penWidth, item.penColor));
    if (item.fill) {
      Selected brush(dc_, CreateSolidBrush(item.fillColor));
      ::Ellipse(dc_, left, top, right, bottom);
      return;
    }
    Arc(dc_, left, top, right, bottom, left, top, right, bottom);
    Arc(dc_, left, top, right, bottom, right, bottom, left, top);
  }

  // The font keeps its size at every display scale; right and bottom do not clip.
  void Text(const OverlayItem& item) {
    if (item.charWidth < 1.0f || item.charHeight < 1.0f || !item.text) return;
    std::wstring face, text;
    if (item.fontName) Utf8ToWide(*item.fontName, &face);
    Utf8ToWide(*item.text, &text);
    SetTextColor(dc_, item.textColor);
    SetBkMode(dc_, TRANSPARENT);
    Selected font(
        dc_,
        CreateFontW(static_cast<int>(item.charHeight), static_cast<int>(item.charWidth),
                    static_cast<int>(item.escapement * 10.0), 0, item.weight,
                    static_cast<DWORD>(item.italic), static_cast<DWORD>(item.underline),
                    static_cast<DWORD>(item.strikeOut), SHIFTJIS_CHARSET, OUT_TT_PRECIS,
                    CLIP_DEFAULT_PRECIS, PROOF_QUALITY, 0, face.empty() ? nullptr : face.c_str()));
    TextOutW(dc_, TruncX(item.x1), TruncY(item.y1), text.data(), static_cast<int>(text.size()));
  }

  HDC dc_;
  float sx_, sy_;
  int ox_, oy_;
};

}  // namespace

void PaintOverlay(HDC dc, const std::vector<OverlayItem>& items, float sx, float sy, int ox,
                  int oy) {
  if (items.empty()) return;
  const int saved = SaveDC(dc);
  Painter painter(dc, sx, sy, ox, oy);
  for (const OverlayItem& item : items) painter.Paint(item);
  RestoreDC(dc, saved);
}

}  // namespace pv::control
