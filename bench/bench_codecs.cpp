// Encoding and decoding of a 4000 × 3000 24-bit picture in every file format. With
// PICTAVOR_BENCH_PICTURE set to a picture file, that picture is used instead of the generated
// one: bench/peers-codecs.sh does so to time libpng's and libjpeg-turbo's own tools beside us.
#include <benchmark/benchmark.h>

#include <type_traits>

#include "bench_picture.h"
#include "formats/bmp_codec.h"
#include "formats/jpeg_codec.h"
#include "formats/png_codec.h"
#include "formats/progress.h"
#include "formats/tiff_codec.h"

namespace {

using pv::mem::Handle;

constexpr int32_t kWidth = 4000, kHeight = 3000;
constexpr int16_t kQuality = 70;

Handle ThePicture() {
  static const pv::mem::Owned picture = [] {
    pv::SetProgressStream(nullptr);
    return pv::mem::Owned(bench::PictureOrFile(kWidth, kHeight));
  }();
  return picture.get();
}

template <typename Codec>
pv::Result Write(Handle dib, Handle* file, int32_t* size, int16_t format) {
  if constexpr (std::is_same_v<Codec, pv::JpegCodec>)
    return Codec().Write(dib, file, size, format, kQuality);
  else
    return Codec().Write(dib, file, size);
}

template <typename Codec>
void Encode(benchmark::State& state) {
  const auto format = static_cast<int16_t>(state.range(0));  // JPEG: 1 baseline, 2 progressive
  const Handle picture = ThePicture();
  int32_t size = 0;
  for (auto _ : state) {
    Handle file = nullptr;
    if (Write<Codec>(picture, &file, &size, format) != pv::Result::Ok)
      state.SkipWithError("write failed");
    pv::mem::Free(file);
  }
  state.counters["file_bytes"] = size;
  state.SetItemsProcessed(state.iterations() * pv::DibGetWidth(picture) *
                          pv::DibGetHeight(picture));
}

template <typename Codec>
void Decode(benchmark::State& state) {
  const auto format = static_cast<int16_t>(state.range(0));
  const Handle picture = ThePicture();
  Handle file = nullptr;
  int32_t size = 0;
  if (Write<Codec>(picture, &file, &size, format) != pv::Result::Ok)
    state.SkipWithError("write failed");
  const pv::mem::Owned owned(file);
  for (auto _ : state) {
    Handle dib = nullptr;
    if (Codec().Read(file, &dib) != pv::Result::Ok) state.SkipWithError("read failed");
    pv::mem::Free(dib);
  }
  state.counters["file_bytes"] = size;
  state.SetItemsProcessed(state.iterations() * pv::DibGetWidth(picture) *
                          pv::DibGetHeight(picture));
}

void Timed(benchmark::internal::Benchmark* b) { b->Unit(benchmark::kMillisecond)->UseRealTime(); }

}  // namespace

BENCHMARK_TEMPLATE(Encode, pv::PngCodec)->Name("png_encode_level9")->Arg(0)->Apply(Timed);
BENCHMARK_TEMPLATE(Decode, pv::PngCodec)->Name("png_decode")->Arg(0)->Apply(Timed);
BENCHMARK_TEMPLATE(Encode, pv::JpegCodec)->Name("jpeg_encode_baseline_q70")->Arg(1)->Apply(Timed);
BENCHMARK_TEMPLATE(Decode, pv::JpegCodec)->Name("jpeg_decode_baseline")->Arg(1)->Apply(Timed);
BENCHMARK_TEMPLATE(Encode, pv::JpegCodec)
    ->Name("jpeg_encode_progressive_q70")
    ->Arg(2)
    ->Apply(Timed);
BENCHMARK_TEMPLATE(Decode, pv::JpegCodec)->Name("jpeg_decode_progressive")->Arg(2)->Apply(Timed);
BENCHMARK_TEMPLATE(Encode, pv::TiffCodec)->Name("tiff_encode")->Arg(0)->Apply(Timed);
BENCHMARK_TEMPLATE(Decode, pv::TiffCodec)->Name("tiff_decode")->Arg(0)->Apply(Timed);
BENCHMARK_TEMPLATE(Encode, pv::BmpCodec)->Name("bmp_encode")->Arg(0)->Apply(Timed);
BENCHMARK_TEMPLATE(Decode, pv::BmpCodec)->Name("bmp_decode")->Arg(0)->Apply(Timed);
