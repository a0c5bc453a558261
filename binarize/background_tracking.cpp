// "Background Tracking Thresholding". See background_tracking.h for the rule.
#include "binarize/background_tracking.h"

#include <array>
#include <cmath>

#include "binarize/global_threshold.h"
#include "binarize/window_filters.h"
#include "binarize/window_filters_plane.h"
#include "image/rounding.h"

namespace {

// The contribution as a weight in 0..1; below 0 and not-a-number both weigh nothing.
double Weight(double contribution) {
  if (!(contribution > 0)) return 0;
  return contribution > 1 ? 1 : contribution;
}

}  // namespace

void BackgroundTrackingThreshold(TDIB& image, std::int32_t areaW, std::int32_t areaH,
                                 std::int32_t minLevel, std::int32_t maxLevel, double contribution,
                                 bool convert, std::uint8_t lowValue, std::uint8_t highValue) {
  GrayFromAnyDepth(image);
  auto mean = BlankLike(image);
  LocalMean(image, *mean, areaW, areaH);
  const double weight = Weight(contribution);
  // The bounds enter only through their midpoint, which may lie above 255.
  const double background =
      RoundHalfEven((static_cast<double>(minLevel) + static_cast<double>(maxLevel)) / 2);
  // The level for every window mean.
  std::array<std::int32_t, 256> level;
  for (std::int32_t m = 0; m < 256; ++m)
    level[m] = RoundHalfEven(weight * m + (1 - weight) * background);
  // Each decision reads the pixel itself before writing it, so no copy of the original is
  // needed; the one-pixel frame is left to the final threshold.
  const std::int32_t w = image.Width();
  for (std::int32_t y = 1; y < image.Height() - 1; ++y) {
    std::uint8_t* row = image.Row(y);
    const std::uint8_t* average = mean->Row(y);
    for (std::int32_t x = 1; x < w - 1; ++x) {
      row[x] = row[x] <= level[average[x]] ? lowValue : highValue;
    }
  }
  mean.reset();
  Threshold(image, 128, convert, lowValue, highValue);
}
