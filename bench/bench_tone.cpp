// Grayscale, gamma, contrast and histogram on a 4000 × 3000 picture (and 1000 × 750 beside it,
// so that the time per pixel shows the work is linear). Each is one sweep over the rows through
// 256-entry tables; only grayscale's custom weights use floating point per pixel.
#include <benchmark/benchmark.h>

#include "bench_picture.h"
#include "dib/dib.h"
#include "ops/grayscale.h"
#include "ops/histogram.h"
#include "ops/tone.h"

namespace {

using pv::mem::Handle;

// Runs `op` over a picture of the benchmark's size; items are pixels.
template <typename Op>
void Run(benchmark::State& state, int bits, Op op) {
  const int32_t width = static_cast<int32_t>(state.range(0)), height = width * 3 / 4;
  pv::mem::Owned picture(bench::Picture(width, height, bits));
  pv::DibLock lock(picture.get());
  for (auto _ : state) benchmark::DoNotOptimize(op(lock.view()));
  state.SetItemsProcessed(state.iterations() * width * height);
}

void Grayscale(benchmark::State& state, int method) {
  Run(state, 24, [&](const pv::DibView& v) {
    Handle out = nullptr;
    const pv::Result r = pv::ConvertToGray(v, {method, 0.299, 0.587, 0.114}, &out);
    pv::mem::Free(out);
    return r;
  });
}

void Gamma(benchmark::State& state, int bits) {
  Run(state, bits, [](const pv::DibView& v) { return pv::ApplyGamma(v, 2.2f); });
}

void Contrast(benchmark::State& state) {
  Run(state, 8, [](const pv::DibView& v) { return pv::ApplyContrast(v, {64, 192, 0, 255}); });
}

void Histogram(benchmark::State& state) {
  Run(state, 8, [](const pv::DibView& v) {
    Handle block = nullptr;
    const pv::Result r = pv::GrayHistogram(v, {0, 0, v.width(), v.height()}, &block);
    pv::mem::Free(block);
    return r;
  });
}

void Sizes(benchmark::internal::Benchmark* b) {
  b->Arg(1000)->Arg(4000)->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK_CAPTURE(Grayscale, method_0_from_24, 0)->Apply(Sizes);
BENCHMARK_CAPTURE(Grayscale, method_6_from_24, 6)->Apply(Sizes);
BENCHMARK_CAPTURE(Gamma, on_8, 8)->Apply(Sizes);
BENCHMARK_CAPTURE(Gamma, on_24, 24)->Apply(Sizes);
BENCHMARK(Contrast)->Apply(Sizes);
BENCHMARK(Histogram)->Apply(Sizes);
