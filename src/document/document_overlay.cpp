#include "document/image_document.h"

namespace pv {

double ImageDocument::DibX(double clientX) const { return (horizontalPos_ + clientX) / scaleX_; }

double ImageDocument::DibY(double clientY) const { return (verticalPos_ + clientY) / scaleY_; }

// A rectangle, ellipse or text box: the right and bottom edges from the far client edges.
OverlayItem ImageDocument::BoxItem(OverlayKind kind, float left, float top, float width,
                                   float height, int32_t fill) const {
  OverlayItem item;
  item.kind = kind;
  item.x1 = static_cast<float>(DibX(left));
  item.y1 = static_cast<float>(DibY(top));
  item.x2 = static_cast<float>(DibX(static_cast<double>(left) + width));
  item.y2 = static_cast<float>(DibY(static_cast<double>(top) + height));
  item.penWidth = static_cast<float>(draw_.penWidth);
  item.penColor = static_cast<uint32_t>(draw_.penColor);
  item.fillColor = static_cast<uint32_t>(draw_.fillColor);
  item.fillStyle = draw_.fillStyle;
  item.fill = fill;
  return item;
}

Result ImageDocument::DrawLine(float startX, float startY, float endX, float endY) {
  OverlayItem item;
  item.kind = OverlayKind::Line;
  item.x1 = static_cast<float>(DibX(startX));
  item.y1 = static_cast<float>(DibY(startY));
  item.x2 = static_cast<float>(DibX(endX));
  item.y2 = static_cast<float>(DibY(endY));
  item.penWidth = static_cast<float>(draw_.penWidth);
  item.penColor = static_cast<uint32_t>(draw_.penColor);
  item.penStyle = draw_.penStyle;
  return AddOverlayItem(item);
}

Result ImageDocument::DrawRectangle(float left, float top, float width, float height,
                                    int32_t fill) {
  return AddOverlayItem(BoxItem(OverlayKind::Rectangle, left, top, width, height, fill));
}

Result ImageDocument::DrawEllipse(float left, float top, float width, float height, int32_t fill) {
  return AddOverlayItem(BoxItem(OverlayKind::Ellipse, left, top, width, height, fill));
}

Result ImageDocument::DrawText(float left, float top, float width, float height,
                               const std::string& text) {
  OverlayItem item = BoxItem(OverlayKind::Text, left, top, width, height, 0);
  item.penWidth = 0;
  item.penColor = item.fillColor = 0;
  item.fillStyle = 0;
  item.charHeight = static_cast<float>(fontHeight_);
  item.charWidth = static_cast<float>(fontHeight_ >> 1);
  item.weight = fontWeight_;
  item.italic = fontItalic_;
  item.underline = fontUnderline_;
  item.strikeOut = fontStrikeOut_;
  item.textColor = static_cast<uint32_t>(draw_.fontColor);
  return AddOverlayItem(item, &text);
}

Result ImageDocument::AddOverlayItem(const OverlayItem& item, const std::string* text) {
  const std::string* fontName = fontName_.empty() ? nullptr : &fontName_;
  if (draw_.drawType == 1) {
    OverlayList alone;
    const Result appended = alone.Append(item, fontName, text);
    return appended != Result::Ok ? appended : CommitOverlay(alone);
  }
  const Result appended = overlay_.Append(item, fontName, text);
  if (appended != Result::Ok) return appended;
  // Shown at once; the next paint draws every item again.
  if (autoRepaint_) display_->DrawOverlayItems(-2, View());
  return Result::Ok;
}

Result ImageDocument::SetFontName(const std::string& name) {
  fontName_ = name;
  return Result::Ok;
}

Result ImageDocument::SetFontInfo(int32_t size, int32_t weight, int32_t italic, int32_t underline,
                                  int32_t strikeOut) {
  if (size < 1 || weight < 1 || weight > 1000) return Result::BadParameter;
  fontHeight_ = size;
  fontWeight_ = weight;
  fontItalic_ = italic;
  fontUnderline_ = underline;
  fontStrikeOut_ = strikeOut;
  return Result::Ok;
}

Result ImageDocument::ClearDrawData() {
  overlay_.Clear();
  return Relayout(false);
}

Result ImageDocument::UndoDrawData() {
  if (!overlay_.RemoveLast()) return Result::NothingToDo;
  return Relayout(false);
}

Result ImageDocument::CommitDrawData() { return CommitOverlay(overlay_); }

// Pending overlay items go with every commit, the direct mode's too: they are dropped, not
// drawn into the DIB.
Result ImageDocument::CommitOverlay(const OverlayList& items) {
  mem::Handle committed = nullptr;
  const Result made = display_->CommitOverlay(dib_, items, &committed);
  if (made != Result::Ok) return made;
  mem::Free(dib_);
  dib_ = committed;
  overlay_.Clear();
  return Relayout(false);
}

}  // namespace pv
