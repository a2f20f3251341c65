// The control in a container: the system's ATL host (atl.dll) creates it in a window and
// activates it in place; the layout, the scroll bars and the pixels painted are checked in that
// window.
#include <gtest/gtest.h>

#include "embedded.h"
#include "test_support.h"

namespace pv::wintest {
namespace {

// The scroll-bar thickness the layout takes from the system.
LONG Thickness() {
  return std::max({GetSystemMetrics(SM_CXHSCROLL), GetSystemMetrics(SM_CYHSCROLL),
                   GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYVSCROLL)});
}

struct Ranges {
  LONG horizontal, vertical;
};

class EmbeddedLayout : public Embedded {
 protected:
  Ranges ScrollRanges() {
    LONG horizontalMin = -1, horizontalMax = -1, verticalMin = -1, verticalMax = -1, v = -1;
    EXPECT_EQ(control_->GetImageScrollRange(&horizontalMin, &horizontalMax, &verticalMin,
                                            &verticalMax, &v),
              S_OK);
    EXPECT_EQ(v, 0);
    EXPECT_EQ(horizontalMin, 0);
    EXPECT_EQ(verticalMin, 0);
    return {horizontalMax, verticalMax};
  }
  static LONG PixelsPerInch() {
    HDC screen = GetDC(nullptr);
    const LONG perInch = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return perInch;
  }
  SIZEL ExtentInPixels() {
    SIZEL extent = {};
    EXPECT_EQ(control_.As<IOleObject>(IID_IOleObject)->GetExtent(DVASPECT_CONTENT, &extent), S_OK);
    return {MulDiv(extent.cx, PixelsPerInch(), 2540), MulDiv(extent.cy, PixelsPerInch(), 2540)};
  }
  bool BarShown(LONG style) { return (GetWindowLongW(window_, GWL_STYLE) & style) != 0; }
  std::pair<double, double> Scale() {
    double x = 0, y = 0;
    LONG v = -1;
    EXPECT_EQ(control_->GetDispScale(&x, &y, &v), S_OK);
    EXPECT_EQ(v, 0);
    return {x, y};
  }
};

TEST_F(EmbeddedLayout, ActivatesInPlaceInTheContainersWindow) {
  ASSERT_TRUE(IsWindow(window_));
  EXPECT_EQ(GetParent(window_), host_);
  EXPECT_TRUE(IsWindowVisible(window_));
  RECT r;
  GetWindowRect(window_, &r);
  EXPECT_EQ(r.right - r.left, 100);
  EXPECT_EQ(r.bottom - r.top, 100);
  // DropFiles reaches the window.
  EXPECT_EQ(GetWindowLongW(window_, GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);
  EXPECT_EQ(control_->put_DropFiles(1), S_OK);
  EXPECT_NE(GetWindowLongW(window_, GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);
  EXPECT_EQ(control_->put_DropFiles(0), S_OK);
  EXPECT_EQ(GetWindowLongW(window_, GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);

  // WndWidth reports the extent the container gave, in pixels. (Wine's ATL converts pixels to
  // HIMETRIC with 100 units per inch, so its extent reads back small; compare the conversion.)
  LONG width = 0, height = 0;
  EXPECT_EQ(control_->get_WndWidth(&width), S_OK);
  EXPECT_EQ(control_->get_WndHeight(&height), S_OK);
  EXPECT_EQ(width, ExtentInPixels().cx);
  EXPECT_EQ(height, ExtentInPixels().cy);
  Ref<IOleObject> object = control_.As<IOleObject>(IID_IOleObject);
  SIZEL inch = {2540, 5080};
  ASSERT_EQ(object->SetExtent(DVASPECT_CONTENT, &inch), S_OK);
  EXPECT_EQ(control_->get_WndWidth(&width), S_OK);
  EXPECT_EQ(control_->get_WndHeight(&height), S_OK);
  EXPECT_EQ(width, PixelsPerInch());
  EXPECT_EQ(height, 2 * PixelsPerInch());

  Resize(150, 80);
  GetWindowRect(window_, &r);
  EXPECT_EQ(r.right - r.left, 150) << "the container's new rectangle reaches the window";
  EXPECT_EQ(r.bottom - r.top, 80);
  ASSERT_EQ(object->SetExtent(DVASPECT_CONTENT, &inch), S_OK);

  // WndWidth resizes the window only; the extent waits for the container.
  EXPECT_EQ(control_->put_WndWidth(0), S_OK);
  GetWindowRect(window_, &r);
  EXPECT_EQ(r.right - r.left, 150);
  EXPECT_EQ(control_->put_WndWidth(300), S_OK);
  GetWindowRect(window_, &r);
  EXPECT_EQ(r.right - r.left, 300);
  EXPECT_EQ(r.bottom - r.top, 2 * PixelsPerInch()) << "the other dimension comes from the extent";
  EXPECT_EQ(control_->get_WndWidth(&width), S_OK);
  EXPECT_EQ(width, PixelsPerInch());
}

TEST_F(EmbeddedLayout, AWideImageOverflowsIntoBothScrollBarsWithAutoScroll) {
  ShowBlank(200, 100);
  const LONG t = Thickness();
  ASSERT_GT(t, 0);
  Ranges ranges = ScrollRanges();
  EXPECT_EQ(ranges.horizontal, 100 + t)
      << "the horizontal bar takes height, so the vertical one is needed";
  EXPECT_EQ(ranges.vertical, t);
  EXPECT_TRUE(BarShown(WS_HSCROLL) && BarShown(WS_VSCROLL));

  EXPECT_EQ(control_->put_AutoScroll(0), S_OK);
  ranges = ScrollRanges();
  EXPECT_EQ(ranges.horizontal, 100);
  EXPECT_EQ(ranges.vertical, 0);
  EXPECT_FALSE(BarShown(WS_HSCROLL) || BarShown(WS_VSCROLL));
}

TEST_F(EmbeddedLayout, FitModesScaleToTheWindow) {
  Resize(200, 200);
  EXPECT_EQ(control_->put_PaintSizeMode(4), S_OK);
  ShowBlank(400, 100);
  auto [sx, sy] = Scale();
  EXPECT_DOUBLE_EQ(sx, 0.5);
  EXPECT_DOUBLE_EQ(sy, 0.5);
  Ranges ranges = ScrollRanges();
  EXPECT_EQ(ranges.horizontal + ranges.vertical, 0);
  EXPECT_FALSE(BarShown(WS_HSCROLL) || BarShown(WS_VSCROLL));

  EXPECT_EQ(control_->put_PaintSizeMode(2), S_OK);
  ShowBlank(100, 400);
  std::tie(sx, sy) = Scale();
  EXPECT_DOUBLE_EQ(sx, (200.0 - Thickness()) / 100);
  EXPECT_DOUBLE_EQ(sy, sx);
  EXPECT_TRUE(BarShown(WS_VSCROLL));

  // Unknown modes lay out at the requested scale, as mode 0 does.
  LONG v = -1;
  EXPECT_EQ(control_->put_PaintSizeMode(7), S_OK);
  EXPECT_EQ(control_->SetDispScale(1.5, 1.5, &v), S_OK);
  std::tie(sx, sy) = Scale();
  EXPECT_DOUBLE_EQ(sx, 1.5);
  EXPECT_DOUBLE_EQ(sy, 1.5);
}

TEST_F(EmbeddedLayout, ScrollingMovesTheMappingFromClientToImage) {
  ShowBlank(200, 100);
  LONG v = -1;
  ASSERT_EQ(control_->SetDispScale(2.0, 2.0, &v), S_OK);
  for (int n = 0; n < 10; ++n) SendMessageW(window_, WM_HSCROLL, SB_LINERIGHT, 0);
  EXPECT_EQ(GetScrollPos(window_, SB_HORZ), 10);
  LONG x = 0, y = 0;
  EXPECT_EQ(control_->ClientToDIBPosition(&x, &y, &v), S_OK);
  EXPECT_EQ(v, 0);
  EXPECT_EQ(x, 5);
  EXPECT_EQ(y, 0);
  x = 500;
  y = 7;
  EXPECT_EQ(control_->ClientToDIBPosition(&x, &y, &v), S_OK);
  EXPECT_EQ(v, 1) << "right of the image";
  EXPECT_EQ(x, 500);
  EXPECT_EQ(y, 7);

  const Ranges ranges = ScrollRanges();
  SendMessageW(window_, WM_HSCROLL, SB_RIGHT, 0);
  SendMessageW(window_, WM_HSCROLL, SB_LINERIGHT, 0);
  EXPECT_EQ(GetScrollPos(window_, SB_HORZ), ranges.horizontal)
      << "a line right at the maximum stays there";
  SendMessageW(window_, WM_HSCROLL, SB_PAGELEFT, 0);
  EXPECT_EQ(GetScrollPos(window_, SB_HORZ), ranges.horizontal - 10);

  // A relayout that resets the positions resets the bar too.
  EXPECT_EQ(control_->put_PaintSizeMode(0), S_OK);
  EXPECT_EQ(GetScrollPos(window_, SB_HORZ), 0);
  x = y = 0;
  EXPECT_EQ(control_->ClientToDIBPosition(&x, &y, &v), S_OK);
  EXPECT_EQ(x, 0);
}

TEST_F(EmbeddedLayout, TheContainerLoadsASavedStateThroughThePuts) {
  EXPECT_EQ(control_->put_PaintSizeMode(4), S_OK);
  EXPECT_EQ(control_->put_ContrastLow(7), S_OK);
  EXPECT_EQ(control_->put_PaintScaleMode(2), S_OK);
  Ref<IStream> stream;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.out()), S_OK);
  ASSERT_EQ(control_.As<IPersistStreamInit>(IID_IPersistStreamInit)->Save(stream.get(), TRUE),
            S_OK);
  const LARGE_INTEGER start = {};
  ASSERT_EQ(stream->Seek(start, STREAM_SEEK_SET, nullptr), S_OK);

  HWND host = MakeHostWindow(200, 200);
  Ref<IUnknown> container, unknown;
  ASSERT_EQ(atl_.createControl(L"Pictavor.PictavorCtl", host, stream.get(), container.out(),
                               unknown.out(), IID_NULL, nullptr),
            S_OK);
  PumpMessages();
  Ref<IPictavorCtl> loaded = unknown.As<IPictavorCtl>(IID_IPictavorCtl);
  LONG mode = -1, low = -1, scaleMode = -1;
  EXPECT_EQ(loaded->get_PaintSizeMode(&mode), S_OK);
  EXPECT_EQ(loaded->get_ContrastLow(&low), S_OK);
  EXPECT_EQ(loaded->get_PaintScaleMode(&scaleMode), S_OK);
  EXPECT_EQ(mode, 4);
  EXPECT_EQ(low, 7);
  EXPECT_EQ(scaleMode, 4) << "not persisted";
  EXPECT_EQ(unknown.As<IPersistStreamInit>(IID_IPersistStreamInit)->IsDirty(), S_FALSE);
  mem::Owned dib(test::MakeDib(400, 100, 24, {}, [](int32_t, int32_t) { return 0u; }));
  LONG v = -1;
  ASSERT_EQ(loaded->SetDIB(reinterpret_cast<LONG_PTR>(dib.get()), &v), S_OK);
  double sx = 0, sy = 0;
  EXPECT_EQ(loaded->GetDispScale(&sx, &sy, &v), S_OK);
  EXPECT_DOUBLE_EQ(sx, 0.5) << "the loaded mode lays out in the new window";
  loaded.reset();
  unknown.reset();
  container.reset();
  DestroyWindow(host);
  PumpMessages();
}

TEST_F(EmbeddedLayout, PaintsTheImageAtItsScaleOnTheBackground) {
  constexpr uint32_t kRed = 0xFF0000, kBlue = 0x0000FF;
  EXPECT_EQ(control_->put_BackColor(0x0000FF00), S_OK);  // COLORREF green
  Show(40, 20, [](int32_t x, int32_t) { return x < 20 ? kRed : kBlue; });
  LONG v = -1;
  ASSERT_EQ(control_->SetDispScale(2.0, 2.0, &v), S_OK);
  PumpMessages();
  const Capture pixels(window_);
  EXPECT_EQ(pixels.At(10, 10), kRed);
  EXPECT_EQ(pixels.At(30, 30), kRed);
  EXPECT_EQ(pixels.At(50, 10), kBlue);
  EXPECT_EQ(pixels.At(75, 35), kBlue) << "the image is 80 x 40 at scale 2";
  EXPECT_EQ(pixels.At(85, 10), 0x00FF00u) << "the strip right of the image";
  EXPECT_EQ(pixels.At(10, 45), 0x00FF00u) << "the strip below";
  EXPECT_EQ(pixels.At(99, 99), 0x00FF00u);

  // With automatic repaint off the paint message draws nothing; turning it on repaints.
  EXPECT_EQ(control_->put_AutoRepaint(0), S_OK);
  Show(40, 20, [](int32_t, int32_t) { return kBlue; });
  EXPECT_EQ(Capture(window_).At(10, 10), 0u);
  EXPECT_EQ(control_->put_AutoRepaint(1), S_OK);
  EXPECT_EQ(Capture(window_).At(10, 10), kBlue);
}

// A change that keeps the header and colour table refills the display bitmap in place: the
// paint shows the new pixels from the same section.
TEST_F(EmbeddedLayout, AChangeOfPixelsAloneIsPaintedFromTheRefilledDisplayBitmap) {
  constexpr uint32_t kRed = 0xFF0000, kBlue = 0x0000FF;
  Show(40, 20, [](int32_t x, int32_t y) { return (x < 20) == (y < 10) ? kRed : kBlue; });
  LONG_PTR shown = 0, refilled = 0;
  ASSERT_EQ(control_->GetBITMAP(&shown), S_OK);
  const Capture before(window_);
  LONG v = -1;
  ASSERT_EQ(control_->TurnOver(0, &v), S_OK);
  ASSERT_EQ(v, 0);
  PumpMessages();
  ASSERT_EQ(control_->GetBITMAP(&refilled), S_OK);
  EXPECT_EQ(refilled, shown);
  const Capture after(window_);
  for (POINT p : {POINT{5, 5}, POINT{25, 5}, POINT{5, 15}, POINT{35, 15}})
    EXPECT_EQ(after.At(p.x, p.y), before.At(p.x, p.y) == kRed ? kBlue : kRed)
        << "either flip swaps the quadrants' colours; at " << p.x << ", " << p.y;
}

// A control that was never activated draws itself where a container asks (printing,
// inactive rendering): the image from the top left, the background beside it.
TEST(View, DrawsIntoAnyDeviceContext) {
  ControlModule module;
  Ref<IPictavorCtl> control = module.Create();
  EXPECT_EQ(control->put_BackColor(0x000000FF), S_OK);  // COLORREF red
  mem::Owned dib(test::MakeDib(4, 4, 24, {}, [](int32_t, int32_t) { return 0x00FF00u; }));
  LONG v = -1;
  ASSERT_EQ(control->SetDIB(reinterpret_cast<LONG_PTR>(dib.get()), &v), S_OK);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = 10;
  info.bmiHeader.biHeight = -10;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  uint32_t* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap =
      CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  const RECTL bounds = {2, 2, 10, 10};
  EXPECT_EQ(
      control.As<IViewObject>(IID_IViewObject)
          ->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0),
      S_OK);
  GdiFlush();
  EXPECT_EQ(bits[3 * 10 + 3] & 0xFFFFFF, 0x00FF00u) << "inside the image";
  EXPECT_EQ(bits[8 * 10 + 8] & 0xFFFFFF, 0xFF0000u) << "the background, below and right of it";
  EXPECT_EQ(bits[0] & 0xFFFFFF, 0u) << "outside the bounds nothing is drawn";
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

BOOL CALLBACK FindImageInfo(HWND window, LPARAM found) {
  wchar_t title[16] = {};
  GetWindowTextW(window, title, 16);
  if (std::wstring(title) == L"画像情報") *reinterpret_cast<HWND*>(found) = window;
  return TRUE;
}

TEST_F(EmbeddedLayout, ShowsTheImageInformationWindow) {
  ShowBlank(20, 10);
  LONG v = -1;
  ASSERT_EQ(control_->DispImageInfo(&v), S_OK);
  EXPECT_EQ(v, 0);
  HWND info = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindImageInfo, reinterpret_cast<LPARAM>(&info));
  ASSERT_TRUE(info);
  EXPECT_TRUE(IsWindowVisible(info));
  wchar_t text[16];
  const std::pair<int, const wchar_t*> fields[] = {
      {1441, L"20"}, {1442, L"10"}, {1443, L"24"}, {1444, L"0"}};
  for (const auto& [id, expected] : fields) {
    GetDlgItemTextW(info, id, text, 16);
    EXPECT_EQ(std::wstring(text), expected);
  }
  ShowBlank(3, 4);
  GetDlgItemTextW(info, 1441, text, 16);
  EXPECT_EQ(std::wstring(text), L"3") << "every layout refreshes it";
  ASSERT_EQ(control_->SetDIB(0, &v), S_OK);
  ASSERT_EQ(control_->DispImageInfo(&v), S_OK);
  for (const auto& field : fields) {
    GetDlgItemTextW(info, field.first, text, 16);
    EXPECT_EQ(std::wstring(text), L"") << "no image: all four empty";
  }
}

}  // namespace
}  // namespace pv::wintest
