// Fixed-level thresholding and the automatic method that picks the level by a histogram rule.
//
// Threshold: a stored value strictly above Level becomes HighValue, every other value
// LowValue, so a pixel equal to the level falls on the dark side. With Convert the result is
// made 1-bit (0 black, anything else white). AutoThreshold computes the level with one of the
// five rules of histogram_rules.cpp / uniform_error_threshold.cpp and then thresholds.
#include "binarize/global_threshold.h"

#include "binarize/window_filters_plane.h"
#include "image/byte_kernels.h"

namespace {

std::int32_t RuleLevel(TDIB& image, TAutoThresholdMethod method) {
  enum : TAutoThresholdMethod { kOtsu, kLloyd, kRidlerCalvard, kUniformError, kStdDeviation };
  if (method == kUniformError) return UniformErrorThreshold(image);
  if (method > kStdDeviation) return 127;
  THistogram histogram;
  GetHistogram(image, histogram);
  switch (method) {
    case kOtsu:
      return OtsuThreshold(histogram);
    case kLloyd:
      return LloydThreshold(histogram);
    case kRidlerCalvard:
      return RidlerCalvardThreshold(histogram);
    default:
      return StandardDeviationThreshold(histogram, 0.0);
  }
}

}  // namespace

void Threshold(TDIB& image, std::uint8_t level, bool convert, std::uint8_t lowValue,
               std::uint8_t highValue) {
  GrayFrom24Bit(image);
  // Made 1-bit, the values are mapped and packed in the same pass.
  if (convert) return image.ConvertAboveLevelTo1Bit(level, lowValue, highValue);
  const std::int32_t width = image.Width();
  for (std::int32_t y = 0; y < image.Height(); ++y) {
    MapAboveLevel(image.Row(y), image.Row(y), width, level, lowValue, highValue);
  }
}

std::uint8_t AutoThreshold(TDIB& image, TAutoThresholdMethod method, bool convert,
                           std::uint8_t lowValue, std::uint8_t highValue) {
  // Colour input is leveled on its weighted gray, the same gray Threshold compares.
  GrayFrom24Bit(image);
  // The low byte: Lloyd's -1 for an image without pixels becomes 255.
  const auto level = static_cast<std::uint8_t>(RuleLevel(image, method));
  Threshold(image, level, convert, lowValue, highValue);
  return level;
}
