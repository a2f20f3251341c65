// Colour-depth conversion and BMP codec on photograph-sized pictures. Each benchmark runs at
// three sizes (1, 4 and 12 megapixels) so that the time per pixel shows the work is linear.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>

#include "base/bytes.h"
#include "dib/dib.h"
#include "formats/bmp_codec.h"
#include "ops/color_depth.h"

namespace {

using pv::mem::Handle;

// A smooth 24-bit picture with noise (many colours), or one of `colors` flat colours.
Handle Picture(int32_t width, int32_t height, int colors) {
  pv::DibHeader h;
  h.width = width;
  h.height = height;
  pv::DibBuilder dib(h, 24);
  std::mt19937 random(1);
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* row = dib.view().row(y);
    for (int32_t x = 0; x < width; ++x) {
      uint8_t* p = row + 3 * x;
      if (colors > 0) {
        const uint32_t c = ((x / 64 + y / 64) % colors) * 0x0F0D0B;
        std::memcpy(p, &c, 3);
      } else {
        p[0] = static_cast<uint8_t>(x * 255 / width + (random() & 7));
        p[1] = static_cast<uint8_t>(y * 255 / height + (random() & 7));
        p[2] = static_cast<uint8_t>((x + y) * 127 / (width + height) + (random() & 7));
      }
    }
  }
  return dib.Release();
}

void Convert(benchmark::State& state, int colors, int from, int to) {
  const int32_t width = static_cast<int32_t>(state.range(0)), height = width * 3 / 4;
  pv::mem::Owned picture(Picture(width, height, colors));
  if (from != 24) {
    pv::DibLock lock(picture.get());
    Handle converted = nullptr;
    pv::ConvertColorDepth(lock.view(), from, &converted);
    picture.reset(converted);
  }
  pv::DibLock lock(picture.get());
  for (auto _ : state) {
    Handle out = nullptr;
    benchmark::DoNotOptimize(pv::ConvertColorDepth(lock.view(), to, &out));
    pv::mem::Free(out);
  }
  state.SetItemsProcessed(state.iterations() * width * height);
}

void BmpRoundTrip(benchmark::State& state) {
  const int32_t width = static_cast<int32_t>(state.range(0)), height = width * 3 / 4;
  pv::mem::Owned picture(Picture(width, height, 0));
  for (auto _ : state) {
    Handle file = nullptr, dib = nullptr;
    int32_t size = 0;
    pv::BmpCodec().Write(picture.get(), &file, &size);
    pv::BmpCodec().Read(file, &dib);
    pv::mem::Free(file);
    pv::mem::Free(dib);
  }
  state.SetItemsProcessed(state.iterations() * width * height);
}

void Sizes(benchmark::internal::Benchmark* b) {
  b->Arg(1000)->Arg(2000)->Arg(4000)->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK_CAPTURE(Convert, octree_24_to_8, 0, 24, 8)->Apply(Sizes);
BENCHMARK_CAPTURE(Convert, exact_24_to_4_with_16_colours, 16, 24, 4)->Apply(Sizes);
BENCHMARK_CAPTURE(Convert, refused_24_to_1_many_colours, 0, 24, 1)->Apply(Sizes);
BENCHMARK_CAPTURE(Convert, to_16, 0, 24, 16)->Apply(Sizes);
BENCHMARK_CAPTURE(Convert, to_32, 0, 24, 32)->Apply(Sizes);
BENCHMARK_CAPTURE(Convert, palette_8_to_24, 0, 8, 24)->Apply(Sizes);
BENCHMARK(BmpRoundTrip)->Apply(Sizes);
