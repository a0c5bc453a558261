// Background-normalised thresholding. See background_normalized.h.
#include "binarize/background_normalized.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "binarize/global_threshold.h"
#include "binarize/window_filters.h"
#include "binarize/window_filters_plane.h"
#include "binarize/window_moments.h"

namespace {

// A byte for every pair of bytes, built once, safely from any thread.
using TPairTable = std::array<std::uint8_t, 256 * 256>;

template <class TRule>
TPairTable PairTable(TRule rule) {
  TPairTable table{};
  for (std::uint32_t a = 0; a < 256; ++a) {
    for (std::uint32_t b = 0; b < 256; ++b) table[a << 8 | b] = rule(a, b);
  }
  return table;
}

// (gray, paper) to the normalised gray.
const TPairTable& NormalizedTable() {
  static const TPairTable table = PairTable([](std::uint32_t gray, std::uint32_t paper) {
    return static_cast<std::uint8_t>(
        paper == 0 ? 0 : std::min<std::uint32_t>(255, (255 * gray + paper / 2) / paper));
  });
  return table;
}

// (maximum, minimum) to the contrast of a neighbourhood.
const TPairTable& ContrastTable() {
  static const TPairTable table = PairTable([](std::uint32_t high, std::uint32_t low) {
    const std::uint32_t sum = high + low;
    if (sum == 0 || low > high) return std::uint8_t{0};
    return static_cast<std::uint8_t>((255 * (high - low) + sum / 2) / sum);
  });
  return table;
}

// Writes table[a << 8 | b] for every pixel pair of a and b into destination.
void CombinePixels(const TDIB& a, const TDIB& b, const TPairTable& table, TDIB& destination) {
  const std::int32_t width = a.Width();
  for (std::int32_t y = 0; y < a.Height(); ++y) {
    const std::uint8_t* rowA = a.Row(y);
    const std::uint8_t* rowB = b.Row(y);
    std::uint8_t* out = destination.Row(y);
    for (std::int32_t x = 0; x < width; ++x) out[x] = table[rowA[x] << 8 | rowB[x]];
  }
}

// Steps 1 and 2 from source into normalized, with paper as room for the paper estimate; the
// three are distinct 8-bit images of one size.
void Normalize(const TDIB& source, TDIB& paper, TDIB& normalized, std::int32_t backgroundSide) {
  const std::int32_t side = std::max(backgroundSide, 1);
  WindowMaximum(source, paper, side, side);
  LocalMean(paper, normalized, side - 2, side - 2);
  CombinePixels(source, normalized, NormalizedTable(), normalized);
}

// Plain comparisons, which the compiler turns into byte-wide vector instructions.
inline std::uint8_t Larger(std::uint8_t a, std::uint8_t b) {
  return a > b ? a : b;
}
inline std::uint8_t Smaller(std::uint8_t a, std::uint8_t b) {
  return a < b ? a : b;
}

// The contrast of every pixel's clipped 3 x 3 neighbourhood of the normalised page, with its
// histogram. Repeating the border row or column leaves a maximum or minimum as it is, which
// is the clipped neighbourhood's.
void NeighbourhoodContrast(const TDIB& normalized, TDIB& contrast, THistogram& histogram) {
  const std::int32_t width = normalized.Width();
  const std::int32_t height = normalized.Height();
  const TPairTable& table = ContrastTable();
  std::vector<std::uint8_t> high(static_cast<std::size_t>(width) + 2);
  std::vector<std::uint8_t> low(high.size());
  histogram.fill(0);
  for (std::int32_t y = 0; y < height; ++y) {
    const std::uint8_t* above = normalized.Row(std::max(y - 1, 0));
    const std::uint8_t* row = normalized.Row(y);
    const std::uint8_t* below = normalized.Row(std::min(y + 1, height - 1));
    // Column extremes at 1 .. width, the border columns repeated at 0 and width + 1.
    for (std::int32_t x = 0; x < width; ++x) {
      high[x + 1] = Larger(Larger(above[x], row[x]), below[x]);
      low[x + 1] = Smaller(Smaller(above[x], row[x]), below[x]);
    }
    high[0] = high[1], low[0] = low[1];
    high[width + 1] = high[width], low[width + 1] = low[width];
    std::uint8_t* out = contrast.Row(y);
    for (std::int32_t x = 0; x < width; ++x) {
      const std::uint8_t h = Larger(Larger(high[x], high[x + 1]), high[x + 2]);
      const std::uint8_t l = Smaller(Smaller(low[x], low[x + 1]), low[x + 2]);
      out[x] = table[h << 8 | l];
    }
    for (std::int32_t x = 0; x < width; ++x) ++histogram[out[x]];
  }
}

// The stroke edges of the normalised page: into count 1 at every edge pixel (0 elsewhere),
// into value the normalised gray at edge pixels (0 elsewhere).
void StrokeEdges(const TDIB& normalized, TDIB& count, TDIB& value) {
  THistogram histogram;
  NeighbourhoodContrast(normalized, value, histogram);
  const std::int32_t level = OtsuThreshold(histogram);
  const std::int32_t width = normalized.Width();
  for (std::int32_t y = 0; y < normalized.Height(); ++y) {
    const std::uint8_t* gray = normalized.Row(y);
    std::uint8_t* edge = count.Row(y);
    std::uint8_t* edgeGray = value.Row(y);
    for (std::int32_t x = 0; x < width; ++x) {
      edge[x] = edgeGray[x] > level ? 1 : 0;
      edgeGray[x] = edge[x] != 0 ? gray[x] : 0;
    }
  }
}

// Step 4: every pixel against the edge pixels of its window.
void DecideByEdges(const TDIB& normalized, const TDIB& count, const TDIB& value,
                   const TBackgroundNormalizedParameters& parameters, TDIB& destination) {
  const std::int32_t width = normalized.Width();
  const std::int32_t height = normalized.Height();
  const std::int32_t reachX = WindowReach(parameters.AreaW, width);
  const std::int32_t reachY = WindowReach(parameters.AreaH, height);
  const std::uint64_t fewest =
      static_cast<std::uint64_t>(std::max({parameters.AreaW, parameters.AreaH, std::int32_t{1}}));
  const double factor = parameters.DeviationFactor / 100.0;
  TWindowSums<false> edges(PlaneOf(count));
  TWindowSums<true> grays(PlaneOf(value));
  for (std::int32_t y = 0; y < height; ++y) {
    const TSpan band = WindowSpan(y, reachY, height);
    edges.MoveTo(band);
    grays.MoveTo(band);
    const std::uint8_t* gray = normalized.Row(y);
    std::uint8_t* out = destination.Row(y);
    for (std::int32_t x = 0; x < width; ++x) {
      const TSpan run = WindowSpan(x, reachX, width);
      const std::uint64_t n = edges.Sum(run);
      bool ink = false;
      if (n >= fewest) {
        const double reciprocal = 1.0 / static_cast<double>(n);
        const double mean = static_cast<double>(grays.Sum(run)) * reciprocal;
        const double meanSquare = static_cast<double>(grays.SquareSum(run)) * reciprocal;
        ink = gray[x] <= mean + factor * std::sqrt(std::max(meanSquare - mean * mean, 0.0));
      }
      out[x] = ink ? 0 : 255;
    }
  }
}

}  // namespace

void NormalizeBackground(const TDIB& image, TDIB& destination, std::int32_t backgroundSide) {
  std::unique_ptr<TDIB> copy;
  const TDIB& source = FilterSource(image, destination, copy);
  if (source.Width() == 0 || source.Height() == 0) return;
  Normalize(source, *BlankLike(source), destination, backgroundSide);
}

void BackgroundNormalizedBinarize(const TDIB& source, TDIB& destination,
                                  const TBackgroundNormalizedParameters& parameters) {
  // The source is read only while it is normalised, before any decision is written, so the
  // destination may be the source itself without a copy.
  Require8Bit(source);
  if (&source != &destination) {
    std::unique_ptr<TDIB> unused;
    FilterSource(source, destination, unused);
  }
  if (source.Width() == 0 || source.Height() == 0) return;
  auto normalized = BlankLike(source);
  auto count = BlankLike(source);
  auto value = BlankLike(source);
  Normalize(source, *count, *normalized, parameters.BackgroundSide);
  StrokeEdges(*normalized, *count, *value);
  DecideByEdges(*normalized, *count, *value, parameters, destination);
}

void BackgroundNormalizedThreshold(TDIB& image, const TBackgroundNormalizedParameters& parameters) {
  GrayFrom24Bit(image);
  BackgroundNormalizedBinarize(image, image, parameters);
  // The decisions hold only 0 and 255: 255 stays white, 0 becomes black.
  Threshold(image, 128, true, 0, 255);
}
