// The Average mode's one-pass route; see average_rows.h and the row kernels' body.
#include "binarize/simd/average_rows.h"

#include <algorithm>
#include <vector>

#include "binarize/simd/band_columns.h"
#include "binarize/window_filters_plane.h"

namespace {

constexpr std::int64_t kLargestWindow = (1 << 15) - 1;

// Pixels in each column's clipped window, for a band of `rows` rows, and the contrast test's
// limits; columns past the width get windows of one pixel.
void CountWindows(std::int32_t rows, std::int32_t rx, std::int32_t width, std::int32_t contrast,
                  std::vector<std::int32_t>& counts, std::vector<std::int32_t>& limits) {
  for (std::size_t i = 0; i < counts.size(); ++i) {
    const auto x = static_cast<std::int32_t>(i);
    const std::int32_t columns =
        x < width ? std::min(x + rx, width - 1) - std::max(x - rx, 0) + 1 : 1;
    counts[i] = rows * columns;
    limits[i] = (2 * contrast + 1) * counts[i] - 1;
  }
}

}  // namespace

bool AverageRowsByBand(TDIB& image, std::int32_t areaW, std::int32_t areaH,
                       const TAverageRule& rule) {
  const std::int32_t width = image.Width();
  const std::int32_t height = image.Height();
  if (width == 0 || height == 0) return true;
  const std::int32_t rx = MeanRadius(areaW, width);
  const std::int32_t ry = MeanRadius(areaH, height);
  if (std::int64_t{2 * rx + 1} * (2 * ry + 1) > kLargestWindow) return false;

  const TPlane plane = PlaneOf(image);
  const std::int32_t padded = Padded(width);
  TKeptRows rows(plane, ry + 2);
  // The band's zeros beyond the image clip the windows.
  TColumnBand band(rows, width, rx, padded, false);
  std::vector<std::uint32_t> sums(static_cast<std::size_t>(padded));
  std::vector<std::int32_t> counts(sums.size()), limits(sums.size());
  std::vector<std::uint8_t> out(sums.size());
  const std::int32_t contrast = std::min(rule.contrast, 255);
  const auto mapped = [&](std::uint8_t value) { return value > rule.level ? rule.high : rule.low; };
  TMeanRow row{sums.data(), counts.data(),    limits.data(),    nullptr,    out.data(),
               0,           padded,           contrast,         rule.level, rule.low,
               rule.high,   mapped(rule.low), mapped(rule.high)};
  const TRowKernels& kernels = RowKernels();
  std::int32_t countedRows = 0;
  for (std::int32_t y = 0; y < height; ++y) {
    band.MoveTo(TSpan{std::max(0, y - ry), std::min(height - 1, y + ry)});
    kernels.windowSums(band.Sums(), rx, sums.data(), padded);
    if (band.Rows() != countedRows) {
      countedRows = band.Rows();
      CountWindows(countedRows, rx, width, contrast, counts, limits);
    }
    row.values = rows.Keep(y);
    DecideRow(kernels.meanRow, row, plane.Row(y), width);
  }
  return true;
}
