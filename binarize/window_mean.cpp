// LocalMean: the box mean over a window of half-widths max(1, (AreaW + 1) div 2) by
// max(1, (AreaH + 1) div 2), clipped at the image borders and divided by the number of pixels
// left in it, rounded to nearest with an exact half going to the even neighbour. AreaW 7 thus
// averages 9 columns. Running column and row sums make the cost independent of the window.
#include <algorithm>

#include "binarize/window_filters.h"
#include "binarize/window_filters_sums.h"

namespace {

// Half-width of the mean's window; any half-width reaching past the image acts like size.
std::int32_t MeanRadius(std::int32_t area, std::int32_t size) {
  std::int64_t radius = std::max<std::int64_t>(1, (std::int64_t{area} + 1) / 2);
  return static_cast<std::int32_t>(std::min<std::int64_t>(radius, size));
}

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

}  // namespace

void LocalMean(const TDIB& image, TDIB& destination, std::int32_t areaW, std::int32_t areaH) {
  std::unique_ptr<TDIB> copy;
  const TDIB& source = FilterSource(image, destination, copy);
  if (source.Width() == 0 || source.Height() == 0) return;
  const TPlane in = PlaneOf(source);
  const TPlane out = PlaneOf(destination);
  const std::int32_t rx = MeanRadius(areaW, in.width);
  const std::int32_t ry = MeanRadius(areaH, in.height);

  TColumnSums<false> columns(in);
  TDivider count(1);
  for (std::int32_t y = 0; y < in.height; ++y) {
    columns.MoveTo(Clipped(y, ry, in.height));
    std::uint8_t* row = out.Row(y);
    auto run = [&](std::int32_t x) { return Clipped(x, rx, in.width); };
    ForEachWindow(columns, in.width, run,
                  [&](std::int32_t x, std::uint64_t sum, std::uint64_t, std::uint64_t pixels) {
                    if (pixels != count.Divisor()) count = TDivider(pixels);
                    row[x] = RoundedMean(sum, count);
                  });
  }
}
