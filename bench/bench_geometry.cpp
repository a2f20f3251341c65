// Resampling by each method at half and double size, and rotation by 30 and 90 degrees, on a
// 4000 × 3000 picture (24-bit, or 8-bit grey for the methods that take only grey).
#include <benchmark/benchmark.h>

#include "bench_picture.h"
#include "dib/dib.h"
#include "ops/resample.h"
#include "ops/rotate.h"

namespace {

using pv::mem::Handle;

constexpr int32_t kWidth = 4000, kHeight = 3000;

template <class Operation>
void Run(benchmark::State& state, int bits, Operation operation) {
  pv::mem::Owned picture(bench::Picture(kWidth, kHeight, bits));
  pv::DibLock lock(picture.get());
  for (auto _ : state) {
    Handle out = nullptr;
    const pv::Result result = operation(lock.view(), &out);
    if (result != pv::Result::Ok) state.SkipWithError("operation failed");
    pv::mem::Free(out);
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

void Scale(benchmark::State& state, int method, int bits) {
  const double factor = state.range(0) / 10.0;
  Run(state, bits, [&](const pv::DibView& src, Handle* out) {
    return pv::ScaleDib(src, factor, factor, method, out);
  });
}

void Rotate(benchmark::State& state, int bits) {
  const float angle = static_cast<float>(state.range(0));
  Run(state, bits,
      [&](const pv::DibView& src, Handle* out) { return pv::RotateDib(src, angle, 1, 0, out); });
}

void Factors(benchmark::internal::Benchmark* b) {
  b->ArgName("tenths")->Arg(5)->Arg(20)->Unit(benchmark::kMillisecond);
}
void Angles(benchmark::internal::Benchmark* b) {
  b->ArgName("degrees")->Arg(30)->Arg(90)->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK_CAPTURE(Scale, linear_24, pv::kScaleLinear, 24)->Apply(Factors);
BENCHMARK_CAPTURE(Scale, linear_gray, pv::kScaleLinear, 8)->Apply(Factors);
BENCHMARK_CAPTURE(Scale, average_24, pv::kScaleAverage, 24)->Apply(Factors);
BENCHMARK_CAPTURE(Scale, largest_gray, pv::kScaleLargest, 8)->Apply(Factors);
BENCHMARK_CAPTURE(Scale, smallest_gray, pv::kScaleSmallest, 8)->Apply(Factors);
BENCHMARK_CAPTURE(Scale, decimate_24, pv::kScaleDecimate, 24)->Apply(Factors);
BENCHMARK_CAPTURE(Rotate, rotate_24, 24)->Apply(Angles);
BENCHMARK_CAPTURE(Rotate, rotate_gray, 8)->Apply(Angles);
