#include "control/dialogs/histogram_pane.h"

#include <cstring>

#include "control/window/gdi_objects.h"

namespace pv::control {
namespace {

constexpr size_t kStride = (HistogramPane::kWidth * 3 + 3) / 4 * 4;

void DrawTrace(HDC dc, const HistogramTrace& trace) {
  const std::array<int32_t, 256> y = HistogramCurve(trace.counts);
  const Selected pen(dc, CreatePen(PS_SOLID, 1, trace.colour));
  MoveToEx(dc, 0, y[0], nullptr);
  for (int i = 1; i < 256; ++i) LineTo(dc, i, y[i]);
}

}  // namespace

std::vector<HistogramTrace> GrayTraces(const ImageDocument& d) {
  mem::Handle gray = nullptr;
  if (d.GetHistogram(0, 0, d.GetWidth() - 1, d.GetHeight() - 1, &gray) != Result::Ok) return {};
  return {{TakeHistogramCounts(gray), RGB(0, 0, 0)}};
}

std::vector<HistogramTrace> ColourTraces(const ImageDocument& d) {
  mem::Handle red = nullptr, green = nullptr, blue = nullptr;
  if (d.GetRGBHistogram(0, 0, d.GetWidth(), d.GetHeight(), &red, &green, &blue) != Result::Ok)
    return {};
  return {{TakeHistogramCounts(red), RGB(200, 0, 0)},
          {TakeHistogramCounts(green), RGB(0, 200, 0)},
          {TakeHistogramCounts(blue), RGB(0, 0, 200)}};
}

HistogramPane::HistogramPane() {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = kWidth;
  info.bmiHeader.biHeight = -kHeight;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  dc_ = CreateCompatibleDC(nullptr);
  void* bits = nullptr;
  if (dc_) bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap_) return;
  bits_ = static_cast<uint8_t*>(bits);
  previous_ = SelectObject(dc_, bitmap_);
  Draw({});
}

HistogramPane::~HistogramPane() {
  if (previous_) SelectObject(dc_, previous_);
  if (bitmap_) DeleteObject(bitmap_);
  if (dc_) DeleteDC(dc_);
}

void HistogramPane::Draw(const std::vector<HistogramTrace>& traces) {
  if (!bits_) return;
  GdiFlush();
  std::memset(bits_, 0xFF, kStride * kHeight);
  for (const HistogramTrace& trace : traces) DrawTrace(dc_, trace);
  GdiFlush();
}

void HistogramPane::CopyTo(HDC dc) const {
  if (bits_) BitBlt(dc, 0, 0, kWidth, kHeight, dc_, 0, 0, SRCCOPY);
}

}  // namespace pv::control
