#include "control/window/gdi_display.h"

#include <shellapi.h>
#include <algorithm>
#include <cmath>

#include "control/com/control.h"
#include "control/window/gdi_objects.h"
#include "control/window/overlay_painter.h"
#include "dib/gdi_bitmap.h"
#include "ops/color_depth.h"

namespace pv::control {
namespace {

int BarCode(ScrollBar bar) {
  switch (bar) {
    case ScrollBar::Horizontal: return SB_HORZ;
    case ScrollBar::Vertical: return SB_VERT;
    default: return SB_BOTH;
  }
}

// HIMETRIC (hundredths of a millimetre) to pixels of the screen, as containers convert.
LONG HimetricToPixels(LONG himetric, int axis) {
  HDC screen = GetDC(nullptr);
  const int perInch = screen ? GetDeviceCaps(screen, axis) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return MulDiv(himetric, perInch, 2540);
}

// A solid pen and brush of one colour, selected into a device context while it lives.
class SolidTools {
 public:
  SolidTools(HDC dc, COLORREF color)
      : pen_(dc, CreatePen(PS_SOLID, 1, color)), brush_(dc, CreateSolidBrush(color)) {}

 private:
  Selected pen_, brush_;
};

// The overlay over a view: its scale, and the scroll position as the offset.
void PaintViewOverlay(HDC dc, const DisplayView& view, int32_t selector) {
  if (!view.overlay) return;
  PaintOverlay(dc, view.overlay->Selection(selector), static_cast<float>(view.scaleX),
               static_cast<float>(view.scaleY), -view.horizontalPos, -view.verticalPos);
}

}  // namespace

GdiDisplay::GdiDisplay(Control* owner)
    : owner_(owner), cursor_(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW))) {}

GdiDisplay::~GdiDisplay() {
  Detach();
  DeleteDisplayBitmap();
}

void GdiDisplay::Attach(HWND window) {
  window_ = window;
  thickness_ = std::max({GetSystemMetrics(SM_CXHSCROLL), GetSystemMetrics(SM_CYHSCROLL),
                         GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYVSCROLL)});
  imageInfo_.Create(window);
  histogram_.Create(window);
  profile_.Create(window);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  framePen_ = CreatePen(PS_SOLID, 1, face);
  frameBrush_ = CreateSolidBrush(face);
}

void GdiDisplay::Detach() {
  imageInfo_.Destroy();
  histogram_.Destroy();
  profile_.Destroy();
  if (framePen_) DeleteObject(framePen_);
  if (frameBrush_) DeleteObject(frameBrush_);
  framePen_ = nullptr;
  frameBrush_ = nullptr;
  window_ = nullptr;
}

bool GdiDisplay::LogWindowVisible() { return owner_->logWindow.Visible(); }

void GdiDisplay::ShowLogWindow(bool show) { owner_->logWindow.Show(show); }

bool GdiDisplay::OuterSize(int32_t* width, int32_t* height) {
  RECT r{};
  if (!window_ || !GetWindowRect(window_, &r)) {
    *width = *height = 0;
    return false;
  }
  *width = r.right - r.left;
  *height = r.bottom - r.top;
  return true;
}

void GdiDisplay::SetScrollInfo(ScrollBar bar, int32_t minimum, int32_t maximum, int32_t position,
                               bool redraw) {
  if (!window_) return;
  SCROLLINFO info{sizeof info, SIF_RANGE | SIF_POS, minimum, maximum, 0, position, 0};
  ::SetScrollInfo(window_, BarCode(bar), &info, redraw);
}

void GdiDisplay::ShowScrollBar(ScrollBar bar, bool show) {
  if (window_) ::ShowScrollBar(window_, BarCode(bar), show);
}

bool GdiDisplay::ScrollPosition(ScrollBar bar, int32_t* position) {
  if (!window_) return false;
  *position = GetScrollPos(window_, BarCode(bar));
  return true;
}

void GdiDisplay::ScrollTo(ScrollBar bar, int32_t position) {
  if (!window_) return;
  SetScrollPos(window_, BarCode(bar), position, TRUE);
  InvalidateRect(window_, nullptr, FALSE);
}

// GDI makes no DIB section of 2 bits per pixel: such a DIB is shown through its expansion to 4
// bits (same indices, same colours). Without it a 2-bit image would have no display, and every
// operation on it would report a failure after changing it, unlogged.
namespace {
mem::Owned DisplayableCopy(mem::Handle dib) {
  DibLock lock(dib);
  mem::Handle expanded = nullptr;
  if (lock.status() == Result::Ok && lock.view().bitCount() == 2)
    ConvertColorDepth(lock.view(), 4, &expanded);
  return mem::Owned(expanded);
}
}  // namespace

Result GdiDisplay::BuildDisplayBitmap(mem::Handle dib) {
  RetireDisplayBitmap();
  if (!dib) {
    Delete(&spare_);
    return Result::BadParameter;
  }
  const mem::Owned expanded = DisplayableCopy(dib);
  const mem::Handle source = expanded.get() ? expanded.get() : dib;
  if (spare_.bitmap && RefillSection(source, spare_.info, spare_.bits)) {
    std::swap(shown_, spare_);
    return Result::Ok;
  }
  Delete(&spare_);  // before the new one: one picture's worth of sections at a time
  HDC dc = nullptr;
  const Result made = DibToSection(source, &dc, &shown_.bitmap, &shown_.bits);
  if (dc) DeleteDC(dc);  // only the bitmap outlives the layout
  if (made == Result::Ok) shown_.info = SectionInfo(source);
  return made;
}

void GdiDisplay::DeleteDisplayBitmap() {
  Delete(&shown_);
  Delete(&spare_);
}

void GdiDisplay::RetireDisplayBitmap() {
  if (!shown_.bitmap) return;
  Delete(&spare_);
  std::swap(shown_, spare_);
}

void GdiDisplay::Delete(Section* section) {
  if (section->bitmap) DeleteObject(section->bitmap);
  *section = Section{};
}

void GdiDisplay::Paint(const DisplayView& view) {
  if (!window_) return;
  HDC dc = GetDC(window_);
  if (!dc) return;
  RECT client{};
  GetClientRect(window_, &client);
  PaintInto(dc, client, view);
  ReleaseDC(window_, dc);
}

void GdiDisplay::PaintInto(HDC dc, const RECT& rect, const DisplayView& view) const {
  SolidTools background(dc, view.background);
  BITMAP bitmap{};
  if (!shown_.bitmap || !GetObjectW(shown_.bitmap, sizeof bitmap, &bitmap)) {
    Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
    PaintViewOverlay(dc, view, -1);
    return;
  }
  const double sx = view.scaleX, sy = view.scaleY;
  const LONG cw = rect.right - rect.left, ch = rect.bottom - rect.top;
  const LONG dw = TruncToDisplay(bitmap.bmWidth * sx + 0.5),
             dh = TruncToDisplay(bitmap.bmHeight * sy + 0.5);
  const LONG destWidth = std::min(cw, dw), destHeight = std::min(ch, dh);
  const LONG sourceWidth = std::min<LONG>(TruncToDisplay(cw / sx), bitmap.bmWidth);
  const LONG sourceHeight = std::min<LONG>(TruncToDisplay(ch / sy), bitmap.bmHeight);
  const LONG sourceX = TruncToDisplay(view.horizontalPos / sx),
             sourceY = TruncToDisplay(view.verticalPos / sy);
  if (HDC memory = CreateCompatibleDC(dc)) {
    HGDIOBJ old = SelectObject(memory, shown_.bitmap);
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, rect.left, rect.top, destWidth, destHeight, memory, sourceX, sourceY,
               sourceWidth, sourceHeight, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
  }
  if (destWidth == dw) Rectangle(dc, rect.left + dw, rect.top, rect.right, rect.bottom);
  if (destHeight == dh) Rectangle(dc, rect.left, rect.top + dh, rect.right, rect.bottom);
  PaintViewOverlay(dc, view, -1);
}

void GdiDisplay::AcceptDroppedFiles(bool accept) {
  if (window_) DragAcceptFiles(window_, accept);
}

bool GdiDisplay::Extent(int32_t* width, int32_t* height) {
  *width = HimetricToPixels(owner_->extent.cx, LOGPIXELSX);
  *height = HimetricToPixels(owner_->extent.cy, LOGPIXELSY);
  return true;
}

void GdiDisplay::ResizeWindow(int32_t width, int32_t height) {
  if (window_)
    SetWindowPos(window_, nullptr, 0, 0, width, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOOWNERZORDER);
}

bool GdiDisplay::RequestPropertyEdit(int32_t dispid) { return RequestEdit(owner_, dispid); }

void GdiDisplay::PropertyChanged(int32_t dispid) {
  NotifyChanged(owner_, dispid);
  if (window_) InvalidateRect(window_, nullptr, FALSE);
  if (owner_->viewSink) IAdviseSink_OnViewChange(owner_->viewSink, DVASPECT_CONTENT, -1);
}

void GdiDisplay::DrawOverlayItems(int32_t selector, const DisplayView& view) {
  if (!window_) return;
  HDC dc = GetDC(window_);
  if (!dc) return;
  PaintViewOverlay(dc, view, selector);
  ReleaseDC(window_, dc);
}

Result GdiDisplay::CommitOverlay(mem::Handle dib, const OverlayList& items,
                                 mem::Handle* committed) {
  *committed = nullptr;
  HDC dc = nullptr;
  HBITMAP section = nullptr;
  void* bits = nullptr;
  const Result made = DibToSection(dib, &dc, &section, &bits);
  if (made != Result::Ok) return made;
  HGDIOBJ old = SelectObject(dc, section);
  PaintOverlay(dc, items.Selection(-1), 1.0f, 1.0f, 0, 0);
  GdiFlush();
  SelectObject(dc, old);
  *committed = DibFromSection(section, bits);
  DeleteObject(section);
  DeleteDC(dc);
  return *committed ? Result::Ok : Result::OutOfMemory;
}

bool GdiDisplay::ShowSystemCursor(uint16_t id) {
  HCURSOR cursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(id));
  if (!cursor) return false;
  cursor_ = cursor;
  SetCursor(cursor);
  return true;
}

// Neither checks its argument: a host that asks without a window gets the screen's context,
// and gives it back the same way.
intptr_t GdiDisplay::ClientDC() { return reinterpret_cast<intptr_t>(GetDC(window_)); }

int32_t GdiDisplay::ReleaseClientDC(intptr_t dc) {
  return ReleaseDC(window_, reinterpret_cast<HDC>(dc));
}

}  // namespace pv::control
