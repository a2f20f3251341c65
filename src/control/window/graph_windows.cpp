#include "control/window/graph_windows.h"

#include <algorithm>
#include <cstring>
#include <cwchar>

#include "control/com/module.h"
#include "control/window/gdi_objects.h"

namespace pv::control {
namespace {

constexpr COLORREF kBlack = 0;
constexpr COLORREF kRed = 0x0000B4;
constexpr COLORREF kGreen = 0x00B400;
constexpr COLORREF kBlue = 0xB40000;

// A one-pixel polyline through `points`.
void DrawCurve(HDC dc, COLORREF colour, const std::vector<POINT>& points) {
  if (points.empty()) return;
  Selected pen(dc, CreatePen(PS_SOLID, 0, colour));
  MoveToEx(dc, points[0].x, points[0].y, nullptr);
  for (size_t i = 1; i < points.size(); ++i) LineTo(dc, points[i].x, points[i].y);
}

std::vector<POINT> HistogramPoints(const HistogramCounts& counts) {
  const std::array<int32_t, 256> y = HistogramCurve(counts);
  std::vector<POINT> points(y.size());
  for (size_t i = 0; i < y.size(); ++i) points[i] = {static_cast<LONG>(i), y[i]};
  return points;
}

// The values of one channel of the samples (`stride` bytes each), 256 at the bottom edge.
std::vector<POINT> ProfileCurve(const Profile& profile, size_t stride, size_t channel) {
  std::vector<POINT> points(static_cast<size_t>(profile.count));
  for (size_t i = 0; i < points.size(); ++i) {
    const uint8_t v = profile.samples[i * stride + channel];
    points[i] = {static_cast<LONG>(i), ProfileWindow::kHeight - v};
  }
  return points;
}

}  // namespace

GraphWindow::~GraphWindow() { Destroy(); }

void GraphWindow::Create(HWND owner) {
  Destroy();
  CreateDialogParamW(ModuleInstance(), MAKEINTRESOURCEW(dialog_), owner, Proc,
                     reinterpret_cast<LPARAM>(this));
}

void GraphWindow::Destroy() {
  if (window_) DestroyWindow(window_);
  window_ = nullptr;
  DeleteGraph();
}

HDC GraphWindow::NewGraph(int width, int height) {
  DeleteGraph();
  HDC screen = GetDC(nullptr);
  dc_ = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  if (dc_ && width > 0 && height > 0)
    graph_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!graph_ || !bits) {
    DeleteGraph();
    return nullptr;
  }
  const size_t stride = (static_cast<size_t>(width) * 24 + 31) / 32 * 4;
  std::memset(bits, 0xFF, stride * static_cast<size_t>(height));
  previous_ = SelectObject(dc_, graph_);
  size_ = {width, height};
  return dc_;
}

void GraphWindow::DeleteGraph() {
  if (dc_ && previous_) SelectObject(dc_, previous_);
  if (graph_) DeleteObject(graph_);
  if (dc_) DeleteDC(dc_);
  dc_ = nullptr;
  graph_ = nullptr;
  previous_ = nullptr;
  size_ = {};
}

void GraphWindow::CopyGraph(HDC dc) const {
  if (!graph_) return;
  BitBlt(dc, 0, 0, size_.cx, size_.cy, dc_, 0, 0, SRCCOPY);
}

INT_PTR CALLBACK GraphWindow::Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    auto* self = reinterpret_cast<GraphWindow*>(lParam);
    self->window_ = dialog;
    self->OnInitDialog();
    return TRUE;
  }
  auto* self = reinterpret_cast<GraphWindow*>(GetWindowLongPtrW(dialog, DWLP_USER));
  if (!self) return FALSE;
  switch (message) {
    case WM_PAINT: {
      // Inside the paint, after the background is erased, so the erase cannot cover the graph.
      PAINTSTRUCT paint;
      if (HDC dc = BeginPaint(dialog, &paint)) self->CopyGraph(dc);
      EndPaint(dialog, &paint);
      return TRUE;
    }
    case WM_PRINTCLIENT: self->CopyGraph(reinterpret_cast<HDC>(wParam)); return TRUE;
    case WM_SIZE: self->OnSize(LOWORD(lParam), HIWORD(lParam)); return TRUE;
    case WM_HSCROLL:
    case WM_VSCROLL: return TRUE;
    case WM_CLOSE: ShowWindow(dialog, SW_HIDE); return TRUE;
    case WM_NCDESTROY: self->window_ = nullptr; return FALSE;
    default: return FALSE;
  }
}

void HistogramWindow::OnInitDialog() {
  // The client area is the graph's size whatever the dialog font makes of the template.
  RECT frame{0, 0, kWidth, kHeight};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(window_, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongW(window_, GWL_EXSTYLE)));
  SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void HistogramWindow::Show(const std::vector<HistogramCounts>& channels) {
  DeleteGraph();
  if (channels.size() != 1 && channels.size() != 3) return;
  HDC dc = NewGraph(kWidth, kHeight);
  if (!dc) return;
  if (channels.size() == 1) {
    DrawCurve(dc, kBlack, HistogramPoints(channels[0]));
  } else {
    const COLORREF colours[] = {kRed, kGreen, kBlue};
    for (size_t n = 0; n < 3; ++n) DrawCurve(dc, colours[n], HistogramPoints(channels[n]));
  }
  GdiFlush();
  if (!window_) return;
  ShowWindow(window_, SW_SHOW);
  InvalidateRect(window_, nullptr, TRUE);
}

void ProfileWindow::Show(const Profile& profile) {
  HDC dc = NewGraph(profile.count, kHeight);
  if (!dc) return;
  if (profile.bitCount > 8) {
    const COLORREF colours[] = {kRed, kGreen, kBlue};
    for (size_t n = 0; n < 3; ++n) DrawCurve(dc, colours[n], ProfileCurve(profile, 3, n));
  } else {
    DrawCurve(dc, kBlack, ProfileCurve(profile, 1, 0));
  }
  GdiFlush();
  if (!window_) return;
  wchar_t title[80];
  std::swprintf(title, 80, L"Profile (%d,%d)-(%d,%d)", profile.startX, profile.startY, profile.endX,
                profile.endY);
  SetWindowTextW(window_, title);
  SetWindowPos(window_, nullptr, 0, 0, profile.count + 8, 281,
               SWP_NOMOVE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER);
  InvalidateRect(window_, nullptr, TRUE);
}

// A scroll bar appears on each axis the window is shorter than the graph; the graph itself
// stays put.
void ProfileWindow::OnSize(int width, int height) {
  if (!has_graph()) return;
  const SIZE graph = graph_size();
  const bool across = width < graph.cx, down = height < graph.cy;
  int bar = SB_BOTH;
  if (across) {
    SetScrollRange(window_, SB_HORZ, 0, graph.cx - width, FALSE);
    SetScrollPos(window_, SB_HORZ, 0, TRUE);
    bar = SB_HORZ;
  }
  if (down) {
    SetScrollRange(window_, SB_VERT, 0, graph.cy - height, FALSE);
    SetScrollPos(window_, SB_VERT, 0, TRUE);
    bar = across ? SB_BOTH : SB_VERT;
  }
  ShowScrollBar(window_, bar, across || down);
}

}  // namespace pv::control
