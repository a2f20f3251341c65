// Times our operations inside Pictavor.dll, called through its flat PVC_ exports on a control
// that atl.dll's container placed in a window, as a compiled host calls them. The rows and the
// pictures are bench/compare/ours.cpp's, so one table reads both: the picture is handed over
// untimed (PVC_SetDIB of a kept block) before every run, and the operation is timed with the
// display work it causes (the display bitmap's rebuild and the paints, pending ones included).
// Then the display rows on the colour picture: a Relayout (SetDispScale) at fit, at scale 1 and
// at scale 2, and one scroll step (WM_VSCROLL, SB_LINEDOWN) at scale 1 and 2, each with its
// paint. At fit there is nothing to scroll. Prints "<row> <median ms>" per row, or
// "<row> failed <code>" when the DLL answers a Result code.
//   pictavor_dllbench [--no-repaint] <picture.bmp> <grey.bmp> [runs [row...]]
// --no-repaint puts AutoRepaint 0 first: a change then neither rebuilds the display bitmap nor
// paints, so the operation rows time the operation alone, as ours does; no display rows.
#define INITGUID
#include "atl_site.h"
#include "pictavor.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

// The size of the window the control is placed in: a typical host's.
constexpr int kWindowWidth = 1024, kWindowHeight = 768;
// SaveMemory's formats.
enum Format : LONG { kJpegBaseline = 1, kTiff = 3, kPng = 6 };

using Step = std::function<LONG(IPictavorCtl*)>;  // a Result code

struct Row {
  const char* name;
  LONG_PTR picture;  // handed to the control before each run; 0 for none
  Step step;
};

class Bench {
 public:
  Bench(IPictavorCtl* control, HWND window, int runs)
      : control_(control), window_(window), runs_(runs) {}

  // Median of the runs of `row`, in milliseconds; false, with the code, when a run fails.
  bool Median(const Row& row, double* ms, LONG* failure) const {
    std::vector<double> times;
    for (int i = 0; i < runs_; ++i) {
      LONG result = 0;
      if (row.picture) PVC_SetDIB(control_, row.picture, &result);
      Settle();
      const auto start = std::chrono::steady_clock::now();
      if (result == 0) result = row.step(control_);
      UpdateWindow(window_);
      const auto stop = std::chrono::steady_clock::now();
      if (result != 0) {
        *failure = result;
        return false;
      }
      times.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
    }
    std::sort(times.begin(), times.end());
    *ms = times[times.size() / 2];
    return true;
  }

  void Print(const Row& row) const {
    double ms = 0;
    LONG failure = 0;
    if (Median(row, &ms, &failure))
      std::printf("%s %.2f\n", row.name, ms);
    else
      std::printf("%s failed %ld\n", row.name, static_cast<long>(failure));
    std::fflush(stdout);
  }

  // Paints and messages left by the untimed part are not the next run's.
  void Settle() const {
    UpdateWindow(window_);
    pv::bench::PumpMessages();
  }

 private:
  IPictavorCtl* control_;
  HWND window_;
  int runs_;
};

// The DIB the control holds, as a block of ours; 0 when it holds none.
LONG_PTR HeldDib(IPictavorCtl* c) {
  LONG_PTR dib = 0;
  PVC_GetDIB(c, &dib);
  return dib;
}

bool Load(IPictavorCtl* c, const char* path, LONG_PTR* dib) {
  wchar_t wide[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH);
  BSTR name = SysAllocString(wide);
  LONG result = -1;
  PVC_Load(c, name, 0, 0, &result);
  SysFreeString(name);
  *dib = result == 0 ? HeldDib(c) : 0;
  if (!*dib) std::fprintf(stderr, "pictavor_dllbench: cannot load %s (%ld)\n", path, (long)result);
  return *dib != 0;
}

// The grey picture made 8-bit grey, and the two-level one at threshold 128, as ours makes them.
bool MakeGrey(IPictavorCtl* c, LONG_PTR* grey, LONG_PTR* binary) {
  LONG result = -1, bits = 0;
  PVC_SetDIB(c, *grey, &result);
  PVC_Grayscale(c, 0, 0, 0, 0, &result);
  PVC_GetBitmapBits(c, &bits);
  if (result != 0 || bits != 8) return false;
  GlobalFree(reinterpret_cast<HGLOBAL>(*grey));
  *grey = HeldDib(c);
  PVC_Monochrome(c, 128, &result);
  *binary = result == 0 ? HeldDib(c) : 0;
  return *grey && *binary;
}

// The file image SaveMemory writes of `picture` in `format`; 0 when it writes none.
LONG_PTR Encoded(IPictavorCtl* c, LONG_PTR picture, LONG format) {
  LONG result = -1, size = 0;
  LONG_PTR block = 0;
  PVC_SetDIB(c, picture, &result);
  if (result == 0) PVC_SaveMemory(c, &block, format, 0, 75, &size, &result);
  return result == 0 ? block : 0;
}

Step Encode(LONG format) {
  return [format](IPictavorCtl* c) {
    LONG result = -1, size = 0;
    LONG_PTR block = 0;
    PVC_SaveMemory(c, &block, format, 0, 75, &size, &result);
    if (block) GlobalFree(reinterpret_cast<HGLOBAL>(block));
    return result;
  };
}

Step Decode(LONG_PTR file) {
  return [file](IPictavorCtl* c) {
    LONG result = 3;  // no file: a bad format, as ours reports it
    if (file) PVC_LoadMemory(c, file, 0, 0, &result);
    return result;
  };
}

// The size of the picture the control holds.
void Size(IPictavorCtl* c, LONG* width, LONG* height) {
  PVC_GetWidth(c, width);
  PVC_GetHeight(c, height);
}

Step Otsu() {
  return [](IPictavorCtl* c) {
    LONG width = 0, height = 0, threshold = 0, result = -1;
    Size(c, &width, &height);
    PVC_GetMonochromeThresh(c, 0, 0, width, height, &threshold, &result);
    if (result == 0) PVC_Monochrome(c, threshold, &result);
    return result;
  };
}

Step Histogram() {
  return [](IPictavorCtl* c) {
    LONG width = 0, height = 0, result = -1;
    LONG_PTR block = 0;
    Size(c, &width, &height);
    PVC_GetHistogram(c, 0, 0, width, height, &block, &result);
    if (block) GlobalFree(reinterpret_cast<HGLOBAL>(block));
    return result;
  };
}

// Not an operation: GetDIB's copy of the picture into a new block, the least any row that makes
// a new picture-sized block must spend inside the DLL.
Step CopyToNewBlock() {
  return [](IPictavorCtl* c) {
    LONG_PTR block = 0;
    PVC_GetDIB(c, &block);
    if (!block) return LONG{-1};
    GlobalFree(reinterpret_cast<HGLOBAL>(block));
    return LONG{0};
  };
}

// A step that calls one member and hands back its Result code.
template <typename Call>
Step Member(Call call) {
  return [call](IPictavorCtl* c) {
    LONG result = -1;
    call(c, &result);
    return result;
  };
}

std::vector<Row> OperationRows(LONG_PTR rgb, LONG_PTR grey, LONG_PTR binary,
                               const std::vector<LONG_PTR>& files) {
  using C = IPictavorCtl*;
  using R = LONG*;
  return {
      {"copy_to_new_block", rgb, CopyToNewBlock()},
      {"grayscale", rgb, Member([](C c, R r) { PVC_Grayscale(c, 0, 0, 0, 0, r); })},
      {"gamma", rgb, Member([](C c, R r) { PVC_Gamma(c, 2.2f, r); })},
      {"contrast", grey, Member([](C c, R r) { PVC_Contrast(c, 64, 192, r); })},
      {"histogram", grey, Histogram()},
      {"smooth", grey, Member([](C c, R r) { PVC_Smooth(c, r); })},
      {"sobel", grey, Member([](C c, R r) { PVC_SobelFilter(c, r); })},
      {"maximum", grey, Member([](C c, R r) { PVC_SmoothAsMaxDensity(c, r); })},
      {"minimum", grey, Member([](C c, R r) { PVC_SmoothAsMinDensity(c, r); })},
      {"otsu", grey, Otsu()},
      {"labeling", binary, Member([](C c, R r) { PVC_Labeling(c, 20000, -1, 0, r); })},
      {"resize_half_bilinear", rgb, Member([](C c, R r) { PVC_SetImageScale(c, .5, .5, 0, r); })},
      {"resize_double_bilinear", rgb, Member([](C c, R r) { PVC_SetImageScale(c, 2, 2, 0, r); })},
      {"resize_half_box", rgb, Member([](C c, R r) { PVC_SetImageScale(c, .5, .5, 1, r); })},
      {"resize_double_box", rgb, Member([](C c, R r) { PVC_SetImageScale(c, 2, 2, 1, r); })},
      {"rotate_7_5", rgb, Member([](C c, R r) { PVC_Rotate(c, 7.5, 1, 0, r); })},
      {"rotate_30", rgb, Member([](C c, R r) { PVC_Rotate(c, 30, 1, 0, r); })},
      {"rotate_45", rgb, Member([](C c, R r) { PVC_Rotate(c, 45, 1, 0, r); })},
      {"rotate_90", rgb, Member([](C c, R r) { PVC_Rotate(c, 90, 1, 0, r); })},
      {"quantise_256", rgb, Member([](C c, R r) { PVC_ColorRes(c, 8, 0, 0, 0, r); })},
      {"png_encode", rgb, Encode(kPng)},
      {"png_decode", rgb, Decode(files[0])},
      {"jpeg_encode", rgb, Encode(kJpegBaseline)},
      {"jpeg_decode", rgb, Decode(files[1])},
      {"tiff_write", rgb, Encode(kTiff)},
      {"tiff_read", rgb, Decode(files[2])},
  };
}

// A display row: the layout it runs in, and whether its step is a scroll instead of a Relayout.
struct DisplayRow {
  const char* name;
  LONG sizeMode;  // PaintSizeMode: 0 the requested scale, 4 fit keeping the aspect ratio
  double scale;
  bool scroll;
};
constexpr DisplayRow kDisplayRows[] = {
    {"display_relayout_fit", 4, 1, false}, {"display_relayout_1", 0, 1, false},
    {"display_relayout_2", 0, 2, false},   {"display_scroll_1", 0, 1, true},
    {"display_scroll_2", 0, 2, true},
};

// Lays the control out as `row` says; the row's step then runs in that layout. Scroll steps go
// one line down each from the top: the picture has hundreds of lines more than the window.
Row Displayed(IPictavorCtl* control, HWND window, const DisplayRow& row) {
  LONG result = -1;
  PVC_put_PaintSizeMode(control, row.sizeMode);
  PVC_SetDispScale(control, row.scale, row.scale, &result);
  const double scale = row.scale;
  if (row.scroll)
    return {row.name, 0, [window](IPictavorCtl*) {
              SendMessageW(window, WM_VSCROLL, SB_LINEDOWN, 0);
              return LONG{0};
            }};
  return {row.name, 0,
          Member([scale](IPictavorCtl* c, LONG* r) { PVC_SetDispScale(c, scale, scale, r); })};
}

int Run(IPictavorCtl* c, HWND window, bool repaint, int argc, char** argv) {
  const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
  const std::vector<std::string> only(argv + std::min(argc, 4), argv + argc);
  const auto wanted = [&](const char* name) {
    return only.empty() || std::find(only.begin(), only.end(), name) != only.end();
  };
  LONG result = 0;
  PVC_put_AutoRepaint(c, repaint ? 1 : 0);
  LONG_PTR rgb = 0, grey = 0, binary = 0;
  if (!Load(c, argv[1], &rgb) || !Load(c, argv[2], &grey) || !MakeGrey(c, &grey, &binary)) return 1;
  // Files are made only for the decoding rows that run (the PNG one takes seconds).
  const auto encoded = [&](const char* row, LONG format) {
    return wanted(row) ? Encoded(c, rgb, format) : 0;
  };
  const std::vector<LONG_PTR> files = {encoded("png_decode", kPng),
                                       encoded("jpeg_decode", kJpegBaseline),
                                       encoded("tiff_read", kTiff)};
  const Bench bench(c, window, runs);
  for (const Row& row : OperationRows(rgb, grey, binary, files))
    if (wanted(row.name)) bench.Print(row);
  PVC_SetDIB(c, rgb, &result);
  for (const DisplayRow& row : kDisplayRows) {
    if (!repaint || !wanted(row.name)) continue;
    const Row displayed = Displayed(c, window, row);
    bench.Settle();
    bench.Print(displayed);
  }
  for (LONG_PTR block : {rgb, grey, binary, files[0], files[1], files[2]})
    if (block) GlobalFree(reinterpret_cast<HGLOBAL>(block));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const bool repaint = !(argc > 1 && std::strcmp(argv[1], "--no-repaint") == 0);
  if (!repaint) --argc, ++argv;
  if (argc < 3) {
    std::fprintf(stderr,
                 "usage: pictavor_dllbench [--no-repaint] <picture.bmp> <grey.bmp> "
                 "[runs [row...]]\n");
    return 2;
  }
  std::string error;
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) error = "COM does not start";
  int status = 1;
  if (error.empty() && pv::bench::StartAtlContainer(&error)) {
    pv::bench::AtlSite site;
    auto* control = site.Open(kWindowWidth, kWindowHeight, &error)
                        ? static_cast<IPictavorCtl*>(site.Query(IID_IPictavorCtl))
                        : nullptr;
    if (control) {
      status = Run(control, site.ControlWindow(), repaint, argc, argv);
      control->Release();
    } else if (error.empty()) {
      error = "Pictavor.PictavorCtl has no IPictavorCtl";
    }
  }
  if (!error.empty()) std::fprintf(stderr, "pictavor_dllbench: %s\n", error.c_str());
  CoUninitialize();
  return status;
}
