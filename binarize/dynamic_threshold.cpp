// "Dynamic Thresholding" in its MinMax and Average modes, and the difference histogram behind
// the automatic contrast. See dynamic_threshold.h for the rules.
#include "binarize/dynamic_threshold.h"

#include <array>
#include <cstdlib>
#include <vector>

#include "binarize/byte_counts.h"
#include "binarize/simd/average_rows.h"
#include "binarize/simd/difference_rows.h"
#include "binarize/window_filters.h"
#include "binarize/window_filters_plane.h"
#include "platform/errors.h"

namespace {

// Neighbour differences of one weight: those the row kernel counted itself and those it
// handed on to the byte counts.
class TDifferenceTally {
 public:
  explicit TDifferenceTally(std::int32_t width) : rest_(static_cast<std::size_t>(width) + 64) {}

  // Counts |a[x] - b[x]| for x < count.
  void Count(const std::uint8_t* a, const std::uint8_t* b, std::int32_t count) {
    const std::int32_t handedOn =
        DifferenceKernels().split(a, b, count, rest_.data(), small_.data());
    counts_.Count(rest_.data(), handedOn);
  }
  THistogram Total() const {
    THistogram total = counts_.Total();
    for (std::size_t v = 0; v < small_.size(); ++v) total[v] += small_[v];
    return total;
  }

 private:
  std::vector<std::uint8_t> rest_;
  std::array<std::uint64_t, kSmallDifferences> small_{};
  TByteCounts counts_;
};

// The difference histogram, and the counts of the stored values when values is given, from
// one sweep down the image: each row is read from memory once.
THistogram SweepDifferences(const TDIB& image, TByteCounts* values) {
  Require8Bit(image);
  const std::int32_t w = image.Width();
  const std::int32_t h = image.Height();
  const bool neighbours = w >= 3 && h >= 3;
  // Each neighbour pair is counted once here: pairs of two interior pixels in twice, pairs
  // with one pixel on the border in once, which is what counting all four neighbours of
  // every interior pixel adds up to.
  TDifferenceTally twice(w), once(w);
  for (std::int32_t y = 0; y < h; ++y) {
    const std::uint8_t* row = image.Row(y);
    if (values != nullptr) values->Count(row, w);
    if (!neighbours) continue;
    if (y >= 1 && y <= h - 2) {
      once.Count(row, row + 1, 1);
      twice.Count(row + 1, row + 2, w - 3);
      once.Count(row + w - 2, row + w - 1, 1);
    }
    if (y <= h - 2) {
      (y >= 1 && y + 1 <= h - 2 ? twice : once).Count(row + 1, image.Row(y + 1) + 1, w - 2);
    }
  }
  const THistogram twiceTotal = twice.Total();
  const THistogram onceTotal = once.Total();
  THistogram histogram;
  for (std::size_t i = 0; i < 256; ++i) histogram[i] = 2 * twiceTotal[i] + onceTotal[i];
  return histogram;
}

// Fills in the automatic (negative) Brightness and Contrast by Otsu's rule; when both are
// automatic, their histograms come from one sweep.
void ResolveAutomatic(const TDIB& image, std::int32_t& contrast, std::int32_t& brightness) {
  THistogram histogram;
  if (brightness < 0 && contrast < 0) {
    TByteCounts values;
    const THistogram differences = SweepDifferences(image, &values);
    histogram.fill(0);
    GrayOfIndices(image, values.Total(), histogram);
    brightness = OtsuThreshold(histogram);
    contrast = OtsuThreshold(differences);
    return;
  }
  if (brightness < 0) {
    GetHistogram(image, histogram);
    brightness = OtsuThreshold(histogram);
  }
  if (contrast < 0) contrast = OtsuThreshold(SweepDifferences(image, nullptr));
}

}  // namespace

void GetDifferenceHistogram(const TDIB& image, THistogram& histogram) {
  histogram = SweepDifferences(image, nullptr);
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
  const std::int32_t w = image.Width();
  for (std::int32_t y = 0; y < image.Height(); ++y) {
    std::uint8_t* row = image.Row(y);
    const std::uint8_t* low = minimum->Row(y);
    const std::uint8_t* high = maximum->Row(y);
    for (std::int32_t x = 0; x < w; ++x) {
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
  const auto level = static_cast<std::uint8_t>(brightness & 0xFF);
  if (AverageRowsByBand(image, areaW, areaH, TAverageRule{contrast, level, lowValue, highValue})) {
    if (convert) image.ConvertTo(df1Bit);
    return;
  }
  auto mean = BlankLike(image);
  LocalMean(image, *mean, areaW, areaH);
  const std::int32_t w = image.Width();
  for (std::int32_t y = 0; y < image.Height(); ++y) {
    std::uint8_t* row = image.Row(y);
    const std::uint8_t* average = mean->Row(y);
    for (std::int32_t x = 0; x < w; ++x) {
      const std::int32_t darker = average[x] - row[x];
      const std::uint8_t decided = darker > 0 ? lowValue : highValue;
      row[x] = std::abs(darker) > contrast ? decided : row[x];
    }
  }
  mean.reset();
  // With LowValue 0 and HighValue 255 the decided pixels keep their side, unless Brightness
  // is 255, which sends every pixel dark.
  Threshold(image, level, convert, lowValue, highValue);
}
