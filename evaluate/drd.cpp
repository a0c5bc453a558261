// Distance-reciprocal distortion: how visible the flipped pixels of a result are, weighted by
// the ground truth around each of them and normalised by the ground truth's non-uniform blocks.
#include <array>
#include <cmath>

#include "evaluate/metrics.h"

namespace {

constexpr std::int32_t kRadius = 2;  // the 5 x 5 block
constexpr std::int32_t kSide = 2 * kRadius + 1;
constexpr std::int32_t kBlock = 8;  // the tiles of NUBN

using TWeights = std::array<std::array<double, kSide>, kSide>;

// 1 / distance from the centre, 0 at the centre, divided by the sum of all 25.
TWeights NormalisedWeights() {
  TWeights weights{};
  double sum = 0;
  for (std::int32_t i = 0; i < kSide; ++i) {
    for (std::int32_t j = 0; j < kSide; ++j) {
      const std::int32_t di = i - kRadius, dj = j - kRadius;
      weights[i][j] = di == 0 && dj == 0 ? 0 : 1 / std::sqrt(double(di * di + dj * dj));
      sum += weights[i][j];
    }
  }
  for (auto& row : weights) {
    for (double& weight : row) weight /= sum;
  }
  return weights;
}

// DRD_k of the flipped pixel (x, y): the block is clipped to the page.
double PixelDistortion(const TInkMask& truth, std::int32_t x, std::int32_t y, std::uint8_t value,
                       const TWeights& weights) {
  double distortion = 0;
  for (std::int32_t i = 0; i < kSide; ++i) {
    const std::int32_t v = y + i - kRadius;
    if (v < 0 || v >= truth.Height) continue;
    for (std::int32_t j = 0; j < kSide; ++j) {
      const std::int32_t u = x + j - kRadius;
      if (u >= 0 && u < truth.Width && truth.At(u, v) != value) distortion += weights[i][j];
    }
  }
  return distortion;
}

bool IsMixedBlock(const TInkMask& truth, std::int32_t left, std::int32_t top) {
  std::int32_t ink = 0, pixels = 0;
  for (std::int32_t y = top; y < top + kBlock && y < truth.Height; ++y) {
    for (std::int32_t x = left; x < left + kBlock && x < truth.Width; ++x) {
      ink += truth.At(x, y);
      ++pixels;
    }
  }
  return ink != 0 && ink != pixels;
}

std::int64_t NonUniformBlocks(const TInkMask& truth) {
  std::int64_t blocks = 0;
  for (std::int32_t top = 0; top < truth.Height; top += kBlock) {
    for (std::int32_t left = 0; left < truth.Width; left += kBlock) {
      blocks += IsMixedBlock(truth, left, top);
    }
  }
  return blocks;
}

}  // namespace

double DRD(const TInkMask& result, const TInkMask& truth) {
  CheckSameSize(result, truth);
  static const TWeights kWeights = NormalisedWeights();
  double sum = 0;
  for (std::int32_t y = 0; y < truth.Height; ++y) {
    for (std::int32_t x = 0; x < truth.Width; ++x) {
      const std::uint8_t value = result.At(x, y);
      if (value != truth.At(x, y)) sum += PixelDistortion(truth, x, y, value, kWeights);
    }
  }
  const std::int64_t blocks = NonUniformBlocks(truth);
  return sum / static_cast<double>(blocks > 0 ? blocks : 1);
}
