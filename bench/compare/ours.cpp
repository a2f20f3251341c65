// Times our operations in-process on the pictures the side-by-side harness made, through the
// document's entry points as a host calls them: the picture is handed over untimed before
// every run, and only the operation is timed. Prints per operation
//   <row> <median ms> <bytes read> <bytes written> <peak bytes>
// (the picture or file the operation reads, the result it writes, and the median growth of the
// process's resident memory while it ran), or "<row> failed <code>" when it refuses the picture.
// The grey picture comes as 24 bits (r = g = b) and is made 8-bit grey here, untimed; the
// two-level one for labeling is that grey picture at threshold 128.
//   ours <picture.bmp> <grey.bmp> [runs [row...]]   (rows named: only those)
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "document/image_document.h"
#include "formats/progress.h"

namespace {

using pv::ImageDocument;
using pv::Result;
// An operation reports the bytes of the result it wrote.
using Operation = std::function<Result(ImageDocument&, size_t* written)>;

struct Row {
  const char* name;
  const ImageDocument* picture;  // handed to the document before each run but a decoding one
  Operation operation;
  pv::mem::Handle input = nullptr;  // the file a decoding row reads into an empty document
};

struct Measure {
  double ms = 0;
  size_t read = 0, written = 0, peak = 0;
};

// A "VmRSS:"-style line of /proc/self/status, in bytes; 0 when absent.
size_t StatusBytes(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string name;
  size_t kilobytes = 0;
  while (status >> name) {
    if (name == field && status >> kilobytes) return kilobytes * 1024;
    status.ignore(1 << 10, '\n');
  }
  return 0;
}

// The kernel's resident high-water mark, reset to what is resident now; freed heap memory is
// handed back first so that it does not hide new allocations.
size_t ResetResidentPeak() {
  malloc_trim(0);
  std::ofstream("/proc/self/clear_refs") << "5";
  return StatusBytes("VmRSS:");
}

// Median of `runs` timings of `row`; false when the operation fails.
bool Median(const Row& row, int runs, Measure* measure, Result* failure) {
  std::vector<double> times;
  std::vector<size_t> peaks;
  for (int i = 0; i < runs; ++i) {
    ImageDocument document;
    if (!row.input) document.SetDIB(row.picture->dib());  // a decoder starts from no picture
    const size_t resident = ResetResidentPeak();
    const auto start = std::chrono::steady_clock::now();
    const Result result = row.operation(document, &measure->written);
    const auto stop = std::chrono::steady_clock::now();
    const size_t peak = StatusBytes("VmHWM:");
    if (result != Result::Ok) {
      *failure = result;
      return false;
    }
    times.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
    peaks.push_back(peak > resident ? peak - resident : 0);
  }
  std::sort(times.begin(), times.end());
  std::sort(peaks.begin(), peaks.end());
  measure->ms = times[times.size() / 2];
  measure->peak = peaks[peaks.size() / 2];
  measure->read = pv::mem::Size(row.input ? row.input : row.picture->dib());
  return true;
}

// An operation that changes the picture: it writes a picture of the document's new size.
template <class Change>
Operation OnPicture(Change change) {
  return [change](ImageDocument& d, size_t* written) {
    const Result r = change(d);
    *written = pv::mem::Size(d.dib());
    return r;
  };
}

// The file image `format` writes of `picture`, for the decoding rows.
pv::mem::Handle Encoded(const ImageDocument& picture, int16_t format) {
  ImageDocument document;
  document.SetDIB(picture.dib());
  pv::mem::Handle block = nullptr;
  int32_t size = 0;
  return document.SaveMemory(&block, format, 0, 75, &size) == Result::Ok ? block : nullptr;
}

Operation Encode(int16_t format) {
  return [format](ImageDocument& d, size_t* written) {
    pv::mem::Handle block = nullptr;
    int32_t size = 0;
    const Result r = d.SaveMemory(&block, format, 0, 75, &size);
    *written = pv::mem::Size(block);
    pv::mem::Free(block);
    return r;
  };
}

Operation Decode(pv::mem::Handle block) {
  return OnPicture([block](ImageDocument& d) {
    return block ? d.LoadMemory(block, 0, 0) : Result::BadFileFormat;
  });
}

Operation Otsu() {
  return OnPicture([](ImageDocument& d) {
    int32_t threshold = 0;
    const Result r = d.GetMonochromeThresh(0, 0, d.GetWidth(), d.GetHeight(), &threshold);
    return r == Result::Ok ? d.Monochrome(threshold) : r;
  });
}

Operation Histogram() {
  return [](ImageDocument& d, size_t* written) {
    pv::mem::Handle block = nullptr;
    const Result r = d.GetHistogram(0, 0, d.GetWidth(), d.GetHeight(), &block);
    *written = pv::mem::Size(block);
    pv::mem::Free(block);
    return r;
  };
}

// Not an operation: the picture copied into a new block, the least any row that makes a new
// picture-sized block must spend (the block's fresh pages, then the bytes).
Operation CopyToNewBlock() {
  return [](ImageDocument& d, size_t* written) {
    const pv::mem::Locked picture(d.dib());
    pv::mem::Owned copy(pv::mem::AllocCopy(picture.data(), picture.size()));
    *written = pv::mem::Size(copy.get());
    return copy ? Result::Ok : Result::OutOfMemory;
  };
}

std::vector<Row> Rows(const ImageDocument& rgb, const ImageDocument& grey,
                      const ImageDocument& binary, const std::vector<pv::mem::Handle>& files) {
  return {
      {"copy_to_new_block", &rgb, CopyToNewBlock()},
      {"grayscale", &rgb, OnPicture([](ImageDocument& d) { return d.Grayscale(0, 0, 0, 0); })},
      {"gamma", &rgb, OnPicture([](ImageDocument& d) { return d.Gamma(2.2f); })},
      {"contrast", &grey, OnPicture([](ImageDocument& d) { return d.Contrast(64, 192, 0, 255); })},
      {"histogram", &grey, Histogram()},
      {"smooth", &grey, OnPicture([](ImageDocument& d) { return d.Smooth(); })},
      {"sobel", &grey, OnPicture([](ImageDocument& d) { return d.SobelFilter(); })},
      {"maximum", &grey, OnPicture([](ImageDocument& d) { return d.SmoothAsMaxDensity(); })},
      {"minimum", &grey, OnPicture([](ImageDocument& d) { return d.SmoothAsMinDensity(); })},
      {"otsu", &grey, Otsu()},
      {"labeling", &binary, OnPicture([](ImageDocument& d) { return d.Labeling(20000, -1, 0); })},
      {"resize_half_bilinear", &rgb,
       OnPicture([](ImageDocument& d) { return d.SetImageScale(0.5, 0.5, 0); })},
      {"resize_double_bilinear", &rgb,
       OnPicture([](ImageDocument& d) { return d.SetImageScale(2, 2, 0); })},
      {"resize_half_box", &rgb,
       OnPicture([](ImageDocument& d) { return d.SetImageScale(0.5, 0.5, 1); })},
      {"resize_double_box", &rgb,
       OnPicture([](ImageDocument& d) { return d.SetImageScale(2, 2, 1); })},
      {"rotate_7_5", &rgb, OnPicture([](ImageDocument& d) { return d.Rotate(7.5, 1, 0); })},
      {"rotate_30", &rgb, OnPicture([](ImageDocument& d) { return d.Rotate(30, 1, 0); })},
      {"rotate_45", &rgb, OnPicture([](ImageDocument& d) { return d.Rotate(45, 1, 0); })},
      {"rotate_90", &rgb, OnPicture([](ImageDocument& d) { return d.Rotate(90, 1, 0); })},
      {"quantise_256", &rgb, OnPicture([](ImageDocument& d) { return d.ColorRes(8, 0, 0, 0); })},
      {"png_encode", &rgb, Encode(pv::kFormatPng)},
      {"png_decode", &rgb, Decode(files[0]), files[0]},
      {"jpeg_encode", &rgb, Encode(pv::kFormatJpegBaseline)},
      {"jpeg_decode", &rgb, Decode(files[1]), files[1]},
      {"tiff_write", &rgb, Encode(pv::kFormatTiff)},
      {"tiff_read", &rgb, Decode(files[2]), files[2]},
  };
}

bool LoadInto(ImageDocument* document, const char* path) {
  if (document->Load(path, 0, 0) == Result::Ok) return true;
  std::fprintf(stderr, "ours: cannot load %s\n", path);
  return false;
}

bool MakeGrey(ImageDocument* grey, ImageDocument* binary) {
  if (grey->Grayscale(0, 0, 0, 0) != Result::Ok || grey->GetBitmapBits() != 8) return false;
  binary->SetDIB(grey->dib());
  return binary->Monochrome(128) == Result::Ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: ours <picture.bmp> <grey.bmp> [runs [row...]]\n");
    return 2;
  }
  pv::SetProgressStream(
      nullptr);  // the writers' progress lines would cost time and fill the output
  const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
  ImageDocument rgb, grey, binary;
  if (!LoadInto(&rgb, argv[1]) || !LoadInto(&grey, argv[2]) || !MakeGrey(&grey, &binary)) return 1;
  const std::vector<std::string> only(argv + std::min(argc, 4), argv + argc);
  const auto wanted = [&](const char* name) {
    return only.empty() || std::find(only.begin(), only.end(), name) != only.end();
  };
  // Files are made only for the decoding rows that run (the PNG one takes seconds).
  const auto encoded = [&](const char* row, int16_t format) {
    return wanted(row) ? Encoded(rgb, format) : nullptr;
  };
  const std::vector<pv::mem::Handle> files = {encoded("png_decode", pv::kFormatPng),
                                              encoded("jpeg_decode", pv::kFormatJpegBaseline),
                                              encoded("tiff_read", pv::kFormatTiff)};
  for (const Row& row : Rows(rgb, grey, binary, files)) {
    if (!wanted(row.name)) continue;
    Measure m;
    Result failure = Result::Ok;
    if (Median(row, runs, &m, &failure))
      std::printf("%s %.2f %zu %zu %zu\n", row.name, m.ms, m.read, m.written, m.peak);
    else
      std::printf("%s failed %d\n", row.name, static_cast<int>(failure));
    std::fflush(stdout);
  }
  for (pv::mem::Handle file : files) pv::mem::Free(file);
  return 0;
}
