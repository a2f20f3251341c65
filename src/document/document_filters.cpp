// Entry points of the neighbourhood filters, the morphology and the labeling.
#include "document/image_document.h"
#include "ops/filters.h"
#include "ops/morphology.h"

namespace pv {

namespace {

std::function<Result(const DibView&)> FilterBody(Filter filter) {
  return [filter](const DibView& dib) { return ApplyFilter(dib, filter); };
}

}  // namespace

Result ImageDocument::SobelFilter() {
  return ChangeInPlace(Result::BadParameter, FilterBody(Filter::Sobel));
}
Result ImageDocument::RobinsonFilter() {
  return ChangeInPlace(Result::BadParameter, FilterBody(Filter::Robinson));
}
Result ImageDocument::Smooth() {
  return ChangeInPlace(Result::BadParameter, FilterBody(Filter::Smooth));
}
Result ImageDocument::LaplacianFilter() {
  return ChangeInPlace(Result::BadParameter, FilterBody(Filter::Laplacian));
}
Result ImageDocument::SmoothAsMaxDensity() {
  return ChangeInPlace(Result::BadParameter, FilterBody(Filter::MaxDensity));
}
Result ImageDocument::SmoothAsMinDensity() {
  return ChangeInPlace(Result::BadParameter, FilterBody(Filter::MinDensity));
}

Result ImageDocument::RemoveAlonePoint(int32_t back) {
  return ChangeInPlace(Result::BadParameter,
                       [back](const DibView& dib) { return RemoveAlonePoints(dib, back); });
}

Result ImageDocument::SamplingOutline(int32_t back) {
  return ChangeInPlace(Result::BadParameter,
                       [back](const DibView& dib) { return TraceOutlines(dib, back); });
}

Result ImageDocument::Expansion(int32_t back) {
  return ChangeInPlace(Result::BadParameter, [back](const DibView& dib) {
    return ExpandOrContract(dib, back, Morph::Expand);
  });
}

Result ImageDocument::Contraction(int32_t back) {
  return ChangeInPlace(Result::BadParameter, [back](const DibView& dib) {
    return ExpandOrContract(dib, back, Morph::Contract);
  });
}

Result ImageDocument::Labeling(int32_t min, int32_t max, int32_t back) {
  return ChangeInPlace(Result::NoImage,
                       [=](const DibView& dib) { return LabelRegions(dib, min, max, back); });
}

}  // namespace pv
