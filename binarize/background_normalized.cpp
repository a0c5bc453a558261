// Background-normalised thresholding. See background_normalized.h.
#include "binarize/background_normalized.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "binarize/decided_image.h"
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

// The stroke edges of the normalised page: into count 1 at every edge pixel (0 elsewhere),
// into value the normalised gray at edge pixels (0 elsewhere).
void StrokeEdges(const TDIB& normalized, TDIB& count, TDIB& value) {
  WindowMaximum(normalized, value, 3, 3);
  WindowMinimum(normalized, count, 3, 3);
  CombinePixels(value, count, ContrastTable(), value);
  THistogram histogram;
  GetHistogram(value, histogram);
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
  std::unique_ptr<TDIB> copy;
  const TDIB& image = FilterSource(source, destination, copy);
  if (image.Width() == 0 || image.Height() == 0) return;
  auto normalized = BlankLike(image);
  auto count = BlankLike(image);
  auto value = BlankLike(image);
  Normalize(image, *count, *normalized, parameters.BackgroundSide);
  StrokeEdges(*normalized, *count, *value);
  DecideByEdges(*normalized, *count, *value, parameters, destination);
}

void BackgroundNormalizedThreshold(TDIB& image, const TBackgroundNormalizedParameters& parameters) {
  BinarizeByDecisions(image, [&](const TDIB& gray, TDIB& decided) {
    BackgroundNormalizedBinarize(gray, decided, parameters);
  });
}
