// The window walk that Sauvola's, Wolf and Jolion's and the NICK rule share: every pixel's
// window, centred and clipped at the image borders, reduced to its mean and mean square.
//
// The window of pixel (x, y) spans columns x - AreaW div 2 .. x + AreaW div 2 and rows
// y - AreaH div 2 .. y + AreaH div 2, both cut to the image (an area below 1 counts as 1), so
// it shrinks near the borders and its n pixels are the ones actually inside. From the exact
// integer sums S of the values and Q of the squares:
//   r = 1.0 / n,  mean = double(S) * r,  meanSquare = double(Q) * r   (IEEE double)
// The reciprocal is one division per window size, not per pixel: all full windows of a row
// share one n. Every rule built on this walk is defined with these very products, which is
// what its plain reference computes too.
#pragma once

#include <algorithm>
#include <cstdint>

#include "binarize/window_filters_plane.h"
#include "binarize/window_filters_sums.h"

struct TWindowMoments {
  double mean;
  double meanSquare;
  double Variance() const { return meanSquare - mean * mean; }
};

// Half of a window side, the side below 1 taken as 1, never beyond what an image of size
// pixels can use.
inline std::int32_t WindowReach(std::int32_t area, std::int32_t size) {
  return std::min(std::max(area, 1) / 2, size);
}

// The rows (columns) of the window around row (column) i of a side of size pixels.
inline TSpan WindowSpan(std::int32_t i, std::int32_t reach, std::int32_t size) {
  return {std::max(i - reach, 0), std::min(i + reach, size - 1)};
}

// Calls visitRow(y) once per row from the top; the visitor it returns is then called as
// visit(x, moments) for every column from the left. The work per pixel is constant whatever
// the window size.
template <class TRowVisitor>
void ForEachWindow(const TPlane& plane, std::int32_t areaW, std::int32_t areaH,
                   TRowVisitor&& visitRow) {
  const std::int32_t width = plane.width;
  const std::int32_t height = plane.height;
  if (width <= 0 || height <= 0) return;
  const std::int32_t reachX = WindowReach(areaW, width);
  const std::int32_t reachY = WindowReach(areaH, height);
  TWindowSums<true> sums(plane);
  // Columns firstFull .. lastFull - 1 have windows that no side border cuts.
  const std::int32_t firstFull = reachX;
  const std::int32_t lastFull = std::max(firstFull, width - reachX);
  const auto moments = [&sums](TSpan run, double reciprocal) {
    return TWindowMoments{
        static_cast<double>(static_cast<std::int64_t>(sums.Sum(run))) * reciprocal,
        static_cast<double>(static_cast<std::int64_t>(sums.SquareSum(run))) * reciprocal};
  };
  for (std::int32_t y = 0; y < height; ++y) {
    sums.MoveTo(WindowSpan(y, reachY, height));
    const std::int64_t rows = sums.Rows();
    auto visit = visitRow(y);
    const auto clipped = [&](std::int32_t x) {
      const TSpan run = WindowSpan(x, reachX, width);
      visit(x, moments(run, 1.0 / static_cast<double>(rows * (run.last - run.first + 1))));
    };
    for (std::int32_t x = 0; x < firstFull; ++x) clipped(x);
    const double full = 1.0 / static_cast<double>(rows * (2 * std::int64_t{reachX} + 1));
    for (std::int32_t x = firstFull; x < lastFull; ++x) {
      visit(x, moments({x - reachX, x + reachX}, full));
    }
    for (std::int32_t x = lastFull; x < width; ++x) clipped(x);
  }
}
