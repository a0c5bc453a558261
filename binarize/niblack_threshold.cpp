// "Advanced Dynamic Thresholding" by Niblack's rule. See niblack_threshold.h.
#include "binarize/niblack_threshold.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "binarize/dynamic_threshold.h"
#include "binarize/global_threshold.h"
#include "binarize/simd/niblack_rows.h"
#include "binarize/window_filters_plane.h"
#include "binarize/window_filters_sums.h"
#include "platform/errors.h"

TSpan NiblackBand(std::int32_t y, std::int32_t rows, std::int32_t height) {
  const std::int32_t half = rows / 2;
  if (rows % 2 == 1) {
    std::int32_t reach = std::min({y, height - 1 - y, half});
    return TSpan{y - reach, y + reach};
  }
  if (y < half) return TSpan{0, 2 * y};
  if (y >= height - half) return TSpan{2 * y - (height - 1), height - 1};
  return TSpan{y - half + 1, y + half};
}

namespace {

// The rule for one pixel from its window's sums: with mean = sum div n, variance =
// (squares - sum * mean) div n and sd its root from the table, the pixel is white when
// v - (sd * k256) / 256 - mean, truncated toward zero, is at least 0.
class TNiblackDecision {
 public:
  explicit TNiblackDecision(double k) : roots_(SquareRootTable()) {
    const double k256 = std::trunc(k * 256);
    for (std::int32_t sd = 0; sd <= 128; ++sd) deviationTerm_[sd] = sd * k256 / 256;
  }
  std::uint8_t operator()(std::uint8_t v, std::uint64_t sum, std::uint64_t squares,
                          const TDivider& pixels) const {
    const std::uint64_t mean = pixels.Quotient(sum);
    // Never above 128^2 for 8-bit values, so always inside the root table.
    const std::uint64_t variance = pixels.Quotient(squares - sum * mean);
    const double level = (v - deviationTerm_[roots_[variance]]) - static_cast<double>(mean);
    // trunc(level) >= 0 exactly when level > -1.
    return level > -1.0 ? 255 : 0;
  }

 private:
  const TSquareRootTable& roots_;
  std::array<double, 129> deviationTerm_;
};

// A band taller than the image is cut to height - 1 rows, but never to none: a one-row image
// keeps its row. The run of columns is at most the width and always odd.
TNiblackWindow NiblackWindowOf(const TDIB& image, std::int32_t areaW, std::int32_t areaH) {
  const std::int32_t width = image.Width();
  const std::int32_t height = image.Height();
  TNiblackWindow window{std::max(areaH > height ? height - 1 : areaH, 1),
                        areaW >= width ? width - 1 : areaW};
  if (window.columns % 2 == 0) ++window.columns;
  return window;
}

// The rule pixel by pixel on 64-bit sums: any window, any k.
void NiblackByPixels(const TPlane& in, const TPlane& destination, TNiblackWindow window, double k) {
  const std::int32_t width = in.width;
  const std::int32_t columns = window.columns;
  const TNiblackDecision decide(k);
  TWindowSums<true> sums(in);
  const std::int32_t reach = columns / 2;
  TDivider count(1);
  TDivider fullRun(1);
  for (std::int32_t y = 0; y < in.height; ++y) {
    sums.MoveTo(NiblackBand(y, window.rows, in.height));
    const std::uint8_t* pixels = in.Row(y);
    std::uint8_t* out = destination.Row(y);
    auto decideAt = [&](std::int32_t x, TSpan run, const TDivider& pixelCount) {
      out[x] = decide(pixels[x], sums.Sum(run), sums.SquareSum(run), pixelCount);
    };
    auto shortRun = [&](std::int32_t x) {
      const TSpan run = NiblackRun(x, columns, width);
      const std::uint64_t n = std::uint64_t(sums.Rows()) * (run.last - run.first + 1);
      if (n != count.Divisor()) count = TDivider(n);
      decideAt(x, run, count);
    };
    // The run is odd and never wider than the row: it is full from column reach to column
    // width - 1 - reach.
    const std::uint64_t full = std::uint64_t(sums.Rows()) * columns;
    if (full != fullRun.Divisor()) fullRun = TDivider(full);
    for (std::int32_t x = 0; x < reach; ++x) shortRun(x);
    for (std::int32_t x = reach; x < width - reach; ++x)
      decideAt(x, {x - reach, x + reach}, fullRun);
    for (std::int32_t x = width - reach; x < width; ++x) shortRun(x);
  }
}

}  // namespace

const TSquareRootTable& SquareRootTable() {
  static const TSquareRootTable table = [] {
    TSquareRootTable roots{};
    for (std::int32_t root = 0; root * root < kSquareRootTableSize; ++root) {
      const std::int32_t end = std::min((root + 1) * (root + 1), kSquareRootTableSize);
      std::fill(roots.begin() + root * root, roots.begin() + end, static_cast<std::uint8_t>(root));
    }
    return roots;
  }();
  return table;
}

void NiblackBinarize(const TDIB& source, TDIB& destination, std::int32_t areaW, std::int32_t areaH,
                     double k) {
  if (areaH < 1 || areaW < 0) throw EError(kBadArea);
  std::unique_ptr<TDIB> copy;
  const TDIB& image = FilterSource(source, destination, copy);
  if (image.Width() == 0 || image.Height() == 0) return;
  const TNiblackWindow window = NiblackWindowOf(image, areaW, areaH);
  const TPlane in = PlaneOf(image);
  const TPlane out = PlaneOf(destination);
  if (!NiblackRowsByBand(in, out, window, k, 255, 0)) NiblackByPixels(in, out, window, k);
}

void AdvancedDynamicThreshold(TDIB& image, std::int32_t areaW, std::int32_t areaH,
                              std::int32_t contrast, bool convert, std::uint8_t lowValue,
                              std::uint8_t highValue) {
  if (areaH < 1 || areaW < 0) throw EError(kBadArea);
  GrayFrom24Bit(image);
  const double k = -static_cast<double>(contrast) / 100;
  // In place, white straight to HighValue and black to LowValue, as the route below ends.
  if (image.Width() > 0 && image.Height() > 0) {
    const TPlane plane = PlaneOf(image);
    if (NiblackRowsByBand(plane, plane, NiblackWindowOf(image, areaW, areaH), k, highValue,
                          lowValue)) {
      if (convert) image.ConvertTo(df1Bit);
      return;
    }
  }
  auto decided = image.Duplicate();
  NiblackBinarize(image, *decided, areaW, areaH, k);
  for (std::int32_t y = 0; y < image.Height(); ++y) {
    std::memcpy(image.Row(y), decided->Row(y), static_cast<std::size_t>(image.Width()));
  }
  decided.reset();
  // The decided image holds only 0 and 255: 255 becomes HighValue, 0 LowValue.
  Threshold(image, 128, convert, lowValue, highValue);
}
