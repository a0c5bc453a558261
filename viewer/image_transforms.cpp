// What every display transform shares: the in-place form built on ApplyOnDest, the refusal
// of a transform that has no ApplyOnDest, and progress reports that never repeat a value.
#include "viewer/image_transforms.h"

#include <algorithm>

#include "viewer/viewer_errors.h"

void TImageTransform::Apply(TDibGraphic& graphic) {
  TDibGraphic result;
  ApplyOnDest(graphic, result);
  graphic.TakeOver(result);
}

void TImageTransform::ApplyOnDest(const TDibGraphic&, TDibGraphic&) {
  throw EViewerError("Method \"ApplyOnDest\" not implemented for " + ClassName() + " class");
}

void TImageTransform::Report(std::int64_t position, std::int64_t min, std::int64_t max) {
  std::int64_t percent = 0;
  if (max > min)
    percent = std::clamp((position - min) * 100 / (max - min), std::int64_t{0}, std::int64_t{100});
  if (!OnPercentDone) {
    lastPercent_ = 0;
    return;
  }
  if (percent == lastPercent_) return;
  lastPercent_ = static_cast<std::uint8_t>(percent);
  OnPercentDone(this, lastPercent_);
}
