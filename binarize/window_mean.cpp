// LocalMean: the box mean over a window of half-widths max(1, (AreaW + 1) div 2) by
// max(1, (AreaH + 1) div 2), clipped at the image borders and divided by the number of pixels
// left in it, rounded to nearest with an exact half going to the even neighbour. AreaW 7 thus
// averages 9 columns. Running sums make the cost independent of the window.
#include <algorithm>
#include <vector>

#include "binarize/window_filters.h"
#include "binarize/window_filters_sums.h"

std::int32_t MeanRadius(std::int32_t area, std::int32_t size) {
  std::int64_t radius = std::max<std::int64_t>(1, (std::int64_t{area} + 1) / 2);
  return static_cast<std::int32_t>(std::min<std::int64_t>(radius, size - 1));
}

namespace {

TSpan Clipped(std::int32_t centre, std::int32_t radius, std::int32_t size) {
  return TSpan{std::max(0, centre - radius), std::min(size - 1, centre + radius)};
}

// sum / count rounded to nearest, an exact half to the even neighbour.
std::uint8_t RoundedMean(std::uint64_t sum, const TDivider& count) {
  std::uint64_t quotient = count.Quotient(sum);
  std::uint64_t twiceRest = 2 * (sum - quotient * count.Divisor());
  quotient += twiceRest + (quotient & 1) > count.Divisor() ? 1 : 0;
  return static_cast<std::uint8_t>(quotient);
}

// The rounded mean of every possible sum of a full window, when that table is small; the
// windows inside the image then cost one look-up each.
std::vector<std::uint8_t> MeanTable(std::uint64_t pixels) {
  constexpr std::uint64_t kLargestTable = std::uint64_t{1} << 20;
  const std::uint64_t size = 255 * pixels + 1;
  if (size > kLargestTable) return {};
  const TDivider count(pixels);
  std::vector<std::uint8_t> means(size);
  // The mean rises with the sum: fill each mean's range of sums, found near (mean - 1/2) N.
  std::uint64_t start = 0;
  for (std::uint64_t mean = 1; mean <= 255; ++mean) {
    std::uint64_t next = ((2 * mean - 1) * pixels) / 2;
    while (RoundedMean(next, count) < mean) ++next;
    while (next > start && RoundedMean(next - 1, count) >= mean) --next;
    std::fill(means.begin() + static_cast<std::ptrdiff_t>(start),
              means.begin() + static_cast<std::ptrdiff_t>(next),
              static_cast<std::uint8_t>(mean - 1));
    start = next;
  }
  std::fill(means.begin() + static_cast<std::ptrdiff_t>(start), means.end(), 255);
  return means;
}

}  // namespace

void LocalMean(const TDIB& image, TDIB& destination, std::int32_t areaW, std::int32_t areaH) {
  std::unique_ptr<TDIB> copy;
  const TDIB& source = FilterSource(image, destination, copy);
  if (source.Width() == 0 || source.Height() == 0) return;
  const TPlane in = PlaneOf(source);
  const TPlane out = PlaneOf(destination);
  const std::int32_t rx = MeanRadius(areaW, in.width);
  const std::int32_t ry = MeanRadius(areaH, in.height);
  const std::vector<std::uint8_t> fullMeans = MeanTable(std::uint64_t(2 * rx + 1) * (2 * ry + 1));

  TWindowSums<false> sums(in);
  TDivider count(1);
  for (std::int32_t y = 0; y < in.height; ++y) {
    sums.MoveTo(Clipped(y, ry, in.height));
    std::uint8_t* row = out.Row(y);
    auto clipped = [&](std::int32_t x) {
      const TSpan run = Clipped(x, rx, in.width);
      const std::uint64_t pixels = std::uint64_t(sums.Rows()) * (run.last - run.first + 1);
      if (pixels != count.Divisor()) count = TDivider(pixels);
      row[x] = RoundedMean(sums.Sum(run), count);
    };
    // Columns whose window lies wholly inside the image, in a row whose band does.
    std::int32_t first = in.width;
    std::int32_t last = in.width - 1;
    if (!fullMeans.empty() && sums.Rows() == 2 * ry + 1 && 2 * rx + 1 <= in.width) {
      first = rx;
      last = in.width - 1 - rx;
    }
    for (std::int32_t x = 0; x < first; ++x) clipped(x);
    for (std::int32_t x = first; x <= last; ++x) row[x] = fullMeans[sums.Sum({x - rx, x + rx})];
    for (std::int32_t x = std::max(first, last + 1); x < in.width; ++x) clipped(x);
  }
}
