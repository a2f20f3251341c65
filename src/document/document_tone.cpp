// Entry points of grayscale conversion, binarisation threshold, tone curves and histograms.
#include "document/image_document.h"
#include "ops/binarization.h"
#include "ops/grayscale.h"
#include "ops/histogram.h"
#include "ops/tone.h"

namespace pv {
namespace {

// Runs `op` on the DIB once it passes the header checks; their code otherwise.
template <typename Op>
Result OnView(mem::Handle dib, Op op) {
  DibLock lock(dib);
  if (lock.status() != Result::Ok) return lock.status();
  return op(lock.view());
}

}  // namespace

Result ImageDocument::Grayscale(int16_t method, double red, double green, double blue) {
  const GrayMethod gray{method, red, green, blue};
  if (!gray.Valid() || !dib_) return Result::BadParameter;
  mem::Handle converted = nullptr;
  const Result made =
      OnView(dib_, [&](const DibView& v) { return ConvertToGray(v, gray, &converted); });
  return made == Result::Ok ? Replace(converted) : made;
}

Result ImageDocument::GetMonochromeThresh(int32_t startX, int32_t startY, int32_t width,
                                          int32_t height, int32_t* threshold) {
  if (!threshold) return Result::BadParameter;
  const PixelRect rect{startX, startY, width, height};
  // A query, yet laid out again on success like the changing operations.
  return ChangeInPlace(Result::NoImage,
                       [&](const DibView& v) { return ProposeThreshold(v, rect, threshold); });
}

Result ImageDocument::AccentForHistogram(int32_t range, int32_t threshold) {
  if (range < 1 || threshold < 1) return Result::BadParameter;
  return ChangeInPlace(Result::BadParameter,
                       [&](const DibView& v) { return ApplyAccent(v, range, threshold); });
}

Result ImageDocument::Contrast(int32_t low, int32_t high, int32_t outLow, int32_t outHigh) {
  const ContrastLevels levels{low, high, outLow, outHigh};
  if (!levels.Valid()) return Result::BadParameter;
  return ChangeInPlace(Result::BadParameter,
                       [&](const DibView& v) { return ApplyContrast(v, levels); });
}

Result ImageDocument::Gamma(float gamma) {
  if (!IsGammaFactor(gamma)) return Result::BadParameter;
  return ChangeInPlace(Result::BadParameter,
                       [&](const DibView& v) { return ApplyGamma(v, gamma); });
}

Result ImageDocument::RGBGamma(float red, float green, float blue) {
  if (!IsGammaFactor(red) || !IsGammaFactor(green) || !IsGammaFactor(blue))
    return Result::BadParameter;
  return ChangeInPlace(Result::BadParameter,
                       [&](const DibView& v) { return ApplyRgbGamma(v, red, green, blue); });
}

Result ImageDocument::GetHistogram(int32_t startX, int32_t startY, int32_t width, int32_t height,
                                   mem::Handle* block) const {
  if (!dib_ || width < 1 || height < 1 || !block) return Result::BadParameter;
  const PixelRect rect{startX, startY, width, height};
  return OnView(dib_, [&](const DibView& v) { return GrayHistogram(v, rect, block); });
}

Result ImageDocument::GetRGBHistogram(int32_t startX, int32_t startY, int32_t width, int32_t height,
                                      mem::Handle* red, mem::Handle* green,
                                      mem::Handle* blue) const {
  if (!dib_ || width < 1 || height < 1 || !red || !green || !blue) return Result::BadParameter;
  const PixelRect rect{startX, startY, width, height};
  return OnView(dib_,
                [&](const DibView& v) { return ChannelHistograms(v, rect, red, green, blue); });
}

}  // namespace pv
