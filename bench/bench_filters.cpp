// Neighbourhood filters, morphology and labeling on photograph-sized pictures, up to
// 4000 × 3000. Each runs at three sizes so that the time per pixel shows the work is linear.
// The operations work in place: the picture is restored, untimed, before every run.
#include <benchmark/benchmark.h>

#include <cstring>
#include <functional>
#include <random>
#include <vector>

#include "dib/dib.h"
#include "ops/filters.h"
#include "ops/morphology.h"

namespace {

using pv::DibView;
using pv::Result;

enum class Kind { Photo, Photo24, Noise, Spots };

// A smooth grey (or colour) picture with noise; or a two-level one: 45 % random foreground
// (one huge region and very many small ones), or isolated spots on every other row and column.
pv::mem::Handle Picture(int32_t width, int32_t height, Kind kind) {
  pv::DibHeader h;
  h.width = width;
  h.height = height;
  pv::DibBuilder dib(h, kind == Kind::Photo24 ? 24 : 8);
  std::mt19937 random(1);
  const DibView& v = dib.view();
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* row = v.row(y);
    for (size_t i = 0; i < v.stride; ++i) {
      const int32_t x = static_cast<int32_t>(kind == Kind::Photo24 ? i / 3 : i);
      switch (kind) {
        case Kind::Noise: row[i] = random() % 100 < 45 ? 255 : 0; break;
        case Kind::Spots: row[i] = x % 2 == 0 && y % 2 == 0 ? 255 : 0; break;
        default:
          row[i] = static_cast<uint8_t>((x * 255 / width + y * 255 / height) / 2 + (random() & 15));
      }
    }
  }
  return dib.Release();
}

void Run(benchmark::State& state, Kind kind, const std::function<Result(const DibView&)>& op) {
  const int32_t width = static_cast<int32_t>(state.range(0)), height = width * 3 / 4;
  pv::mem::Owned picture(Picture(width, height, kind));
  pv::DibLock lock(picture.get());
  const DibView& v = lock.view();
  std::vector<uint8_t> original(v.bits, v.bits + v.imageBytes());
  for (auto _ : state) {
    state.PauseTiming();
    std::memcpy(v.bits, original.data(), original.size());
    state.ResumeTiming();
    if (op(v) != Result::Ok) state.SkipWithError("the operation failed");
  }
  state.SetItemsProcessed(state.iterations() * width * height);
}

std::function<Result(const DibView&)> Filtering(pv::Filter filter) {
  return [filter](const DibView& v) { return pv::ApplyFilter(v, filter); };
}

void Sizes(benchmark::internal::Benchmark* b) {
  b->Arg(1000)->Arg(2000)->Arg(4000)->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK_CAPTURE(Run, smooth, Kind::Photo, Filtering(pv::Filter::Smooth))->Apply(Sizes);
BENCHMARK_CAPTURE(Run, smooth_24_bits, Kind::Photo24, Filtering(pv::Filter::Smooth))->Apply(Sizes);
BENCHMARK_CAPTURE(Run, max_density, Kind::Photo, Filtering(pv::Filter::MaxDensity))->Apply(Sizes);
BENCHMARK_CAPTURE(Run, min_density, Kind::Photo, Filtering(pv::Filter::MinDensity))->Apply(Sizes);
BENCHMARK_CAPTURE(Run, sobel, Kind::Photo, Filtering(pv::Filter::Sobel))->Apply(Sizes);
BENCHMARK_CAPTURE(Run, robinson, Kind::Photo, Filtering(pv::Filter::Robinson))->Apply(Sizes);
BENCHMARK_CAPTURE(Run, laplacian, Kind::Photo, Filtering(pv::Filter::Laplacian))->Apply(Sizes);
BENCHMARK_CAPTURE(Run, remove_alone_points, Kind::Noise, [](const DibView& v) {
  return pv::RemoveAlonePoints(v, 0);
})->Apply(Sizes);
BENCHMARK_CAPTURE(Run, expansion, Kind::Noise, [](const DibView& v) {
  return pv::ExpandOrContract(v, 0, pv::Morph::Expand);
})->Apply(Sizes);
BENCHMARK_CAPTURE(Run, outlines, Kind::Noise, [](const DibView& v) {
  return pv::TraceOutlines(v, 0);
})->Apply(Sizes);
// Keeps the few big regions of the noise; every spot is a region of its own, none kept.
BENCHMARK_CAPTURE(Run, labeling_noise, Kind::Noise, [](const DibView& v) {
  return pv::LabelRegions(v, 1000, -1, 0);
})->Apply(Sizes);
BENCHMARK_CAPTURE(Run, labeling_spots, Kind::Spots, [](const DibView& v) {
  return pv::LabelRegions(v, 2, -1, 0);
})->Apply(Sizes);
