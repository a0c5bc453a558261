// "Dynamic Thresholding" in its MinMax and Average modes, and the difference histogram behind
// the automatic contrast. See dynamic_threshold.h for the rules.
#include "binarize/dynamic_threshold.h"

#include <cstdlib>

#include "binarize/window_filters.h"
#include "binarize/window_filters_plane.h"
#include "platform/errors.h"

namespace {

// Fills in the automatic (negative) Brightness and Contrast by Otsu's rule.
void ResolveAutomatic(const TDIB& image, std::int32_t& contrast, std::int32_t& brightness) {
  THistogram histogram;
  if (brightness < 0) {
    GetHistogram(image, histogram);
    brightness = OtsuThreshold(histogram);
  }
  if (contrast < 0) {
    GetDifferenceHistogram(image, histogram);
    contrast = OtsuThreshold(histogram);
  }
}

using TCounts = std::array<std::uint64_t, 256>;

// Counts |a[x] - b[x]| for x in first..last.
void CountDifferences(const std::uint8_t* a, const std::uint8_t* b, std::int32_t first,
                      std::int32_t last, TCounts& counts) {
  for (std::int32_t x = first; x <= last; ++x) ++counts[std::abs(a[x] - b[x])];
}

}  // namespace

void GetDifferenceHistogram(const TDIB& image, THistogram& histogram) {
  Require8Bit(image);
  histogram.fill(0);
  const std::int32_t w = image.Width();
  const std::int32_t h = image.Height();
  if (w < 3 || h < 3) return;
  // Each neighbour pair is counted once here: pairs of two interior pixels in twice, pairs
  // with one pixel on the border in once, which is what counting all four neighbours of
  // every interior pixel adds up to.
  TCounts twice{};
  TCounts once{};
  for (std::int32_t y = 1; y <= h - 2; ++y) {
    const std::uint8_t* row = image.Row(y);
    const std::uint8_t* right = row + 1;
    CountDifferences(row, right, 0, 0, once);
    CountDifferences(row, right, 1, w - 3, twice);
    CountDifferences(row, right, w - 2, w - 2, once);
  }
  for (std::int32_t y = 0; y <= h - 2; ++y) {
    bool inner = y >= 1 && y + 1 <= h - 2;
    CountDifferences(image.Row(y), image.Row(y + 1), 1, w - 2, inner ? twice : once);
  }
  for (std::int32_t i = 0; i < 256; ++i) histogram[i] = 2 * twice[i] + once[i];
}

void DynamicThresholdMinMax(TDIB& image, std::int32_t areaW, std::int32_t areaH,
                            std::int32_t contrast, std::int32_t brightness, bool convert,
                            std::uint8_t lowValue, std::uint8_t highValue) {
  GrayFrom24Bit(image);
  ResolveAutomatic(image, contrast, brightness);
  if (areaW < 1 || areaH < 1 || areaW > image.Width() || areaH > image.Height()) {
    throw EError(kBadArea);
  }
  auto minimum = BlankLike(image);
  auto maximum = BlankLike(image);
  LocalMinimum(image, *minimum, areaW, areaH);
  LocalMaximum(image, *maximum, areaW, areaH);
  for (std::int32_t y = 0; y < image.Height(); ++y) {
    std::uint8_t* row = image.Row(y);
    const std::uint8_t* low = minimum->Row(y);
    const std::uint8_t* high = maximum->Row(y);
    for (std::int32_t x = 0; x < image.Width(); ++x) {
      // A flat window falls back to the global level; both comparisons send ties to bright.
      std::int32_t level = high[x] - low[x] < contrast ? brightness : (high[x] + low[x]) / 2;
      row[x] = row[x] < level ? lowValue : highValue;
    }
  }
  if (convert) image.ConvertTo(df1Bit);
}

void DynamicThresholdAverage(TDIB& image, std::int32_t areaW, std::int32_t areaH,
                             std::int32_t contrast, std::int32_t brightness, bool convert,
                             std::uint8_t lowValue, std::uint8_t highValue) {
  GrayFrom24Bit(image);
  ResolveAutomatic(image, contrast, brightness);
  auto mean = BlankLike(image);
  LocalMean(image, *mean, areaW, areaH);
  for (std::int32_t y = 0; y < image.Height(); ++y) {
    std::uint8_t* row = image.Row(y);
    const std::uint8_t* average = mean->Row(y);
    for (std::int32_t x = 0; x < image.Width(); ++x) {
      std::int32_t darker = average[x] - row[x];
      if (darker > contrast) {
        row[x] = lowValue;
      } else if (-darker > contrast) {
        row[x] = highValue;
      }
    }
  }
  mean.reset();
  // With LowValue 0 and HighValue 255 the decided pixels keep their side, unless Brightness
  // is 255, which sends every pixel dark.
  Threshold(image, static_cast<std::uint8_t>(brightness & 0xFF), convert, lowValue, highValue);
}
