// "Adaptive Thresholding" and the Sobel gradient magnitude it is guided by. See
// adaptive_threshold.h for the rule.
#include "binarize/adaptive_threshold.h"

#include <algorithm>
#include <cstdlib>

#include "binarize/global_threshold.h"
#include "binarize/window_filters.h"
#include "binarize/window_filters_plane.h"

namespace {

// Otsu's level of the image's histogram, capped at 255, when value is automatic (negative).
std::int32_t ResolveAutomatic(std::int32_t value, const TDIB& image) {
  if (value < 0) {
    THistogram histogram;
    GetHistogram(image, histogram);
    value = OtsuThreshold(histogram);
  }
  return std::min(value, 255);
}

}  // namespace

void SobelMagnitude(const TDIB& image, TDIB& destination) {
  std::unique_ptr<TDIB> copy;
  const TDIB& source = FilterSource(image, destination, copy);
  const std::int32_t w = source.Width();
  const std::int32_t h = source.Height();
  if (w == 0) return;
  for (std::int32_t y = 0; y < h; ++y) {
    const std::uint8_t* up = source.Row(std::max(y - 1, 0));
    const std::uint8_t* mid = source.Row(y);
    const std::uint8_t* down = source.Row(std::min(y + 1, h - 1));
    std::uint8_t* out = destination.Row(y);
    // Columns left and right of x, the border column standing in outside the image.
    auto magnitude = [&](std::int32_t x, std::int32_t left, std::int32_t right) {
      std::int32_t gx =
          (up[right] + 2 * mid[right] + down[right]) - (up[left] + 2 * mid[left] + down[left]);
      std::int32_t gy =
          (down[left] + 2 * down[x] + down[right]) - (up[left] + 2 * up[x] + up[right]);
      out[x] = static_cast<std::uint8_t>(std::min(std::abs(gx) + std::abs(gy), 255));
    };
    magnitude(0, 0, std::min(1, w - 1));
    for (std::int32_t x = 1; x < w - 1; ++x) magnitude(x, x - 1, x + 1);
    if (w > 1) magnitude(w - 1, w - 2, w - 1);
  }
}

std::int32_t AdaptiveThreshold(TDIB& image, std::int32_t areaW, std::int32_t areaH,
                               std::int32_t contrast, std::int32_t brightness, bool convert,
                               std::uint8_t lowValue, std::uint8_t highValue) {
  GrayFromAnyDepth(image);
  brightness = ResolveAutomatic(brightness, image);
  auto gradient = BlankLike(image);
  SobelMagnitude(image, *gradient);
  // LocalMean's 5 x 5 request is a 7 x 7 box. The filters write into blank images: a copy of
  // the input, as MeanFiltered makes, would only be overwritten.
  auto edges = BlankLike(image);
  LocalMean(*gradient, *edges, 5, 5);
  gradient.reset();
  contrast = ResolveAutomatic(contrast, *edges);
  auto maximum = BlankLike(image);
  WindowMaximum(image, *maximum, areaW, areaH);
  auto minimum = BlankLike(image);
  WindowMinimum(image, *minimum, areaW, areaH);
  const std::int32_t w = image.Width();
  const auto edgeLevel = static_cast<std::uint8_t>(contrast);
  for (std::int32_t y = 0; y < image.Height(); ++y) {
    std::uint8_t* row = image.Row(y);
    const std::uint8_t* edge = edges->Row(y);
    const std::uint8_t* low = minimum->Row(y);
    const std::uint8_t* high = maximum->Row(y);
    for (std::int32_t x = 0; x < w; ++x) {
      // (low + high) div 2 without leaving 8 bits, so that the loop runs 16 pixels a step.
      const auto mid = static_cast<std::uint8_t>((low[x] & high[x]) + ((low[x] ^ high[x]) >> 1));
      const std::uint8_t decided = row[x] < mid ? lowValue : highValue;
      row[x] = edge[x] >= edgeLevel ? decided : row[x];
    }
  }
  edges.reset();
  maximum.reset();
  minimum.reset();
  // With LowValue 0 and HighValue 255 the decided pixels keep their side, unless Brightness
  // is 255, which sends every pixel dark.
  Threshold(image, static_cast<std::uint8_t>(brightness), convert, lowValue, highValue);
  return brightness;
}
