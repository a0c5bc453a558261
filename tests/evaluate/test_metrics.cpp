// The contests' measures on tiny masks whose values were worked out by hand. The 5 x 5 weights
// sum to S = 4 + 4/sqrt2 + 4/2 + 8/sqrt5 + 4/sqrt8 = 13.820350 before normalising.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "evaluate/metrics.h"
#include "platform/errors.h"
#include "tests/evaluate/mask_fixtures.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNotChecked = -1;  // a DRD the case does not pin down

// The left half of an 8 x 8 block is ink.
TInkMask HalfInk8() {
  std::vector<std::pair<std::int32_t, std::int32_t>> ink;
  for (std::int32_t y = 0; y < 8; ++y) {
    for (std::int32_t x = 0; x < 4; ++x) ink.emplace_back(x, y);
  }
  return BlankMask(8, 8, ink);
}

// A 4 x 4 ink square in the top-left 8 x 8 block of a 16 x 16 page.
TInkMask Square16() {
  std::vector<std::pair<std::int32_t, std::int32_t>> ink;
  for (std::int32_t y = 2; y < 6; ++y) {
    for (std::int32_t x = 2; x < 6; ++x) ink.emplace_back(x, y);
  }
  return BlankMask(16, 16, ink);
}

TInkMask WithInk(TInkMask mask, std::int32_t x, std::int32_t y, std::uint8_t ink = 1) {
  mask.Ink[std::size_t(y) * mask.Width + x] = ink;
  return mask;
}

struct TMetricCase {
  const char* Reason;
  TInkMask Result;
  TInkMask Truth;
  double FMeasure, PSNR, DRD;
};

TEST(Metrics, HandComputedValues) {
  const TMetricCase cases[] = {
      {"3x3: a speck on blank truth; clipped block keeps 4 x 1 + 4 / sqrt2, NUBN 0 divides by 1",
       BlankMask(3, 3, {{1, 1}}), BlankMask(3, 3), 0, 10 * std::log10(9.0),
       (4 + 4 / std::sqrt(2.0)) / 13.820350},
      {"8x8: one extra ink pixel beside the ink half: P = 32/33, distortion from 3 columns",
       WithInk(HalfInk8(), 4, 4), HalfInk8(), 100 * 64.0 / 65, 10 * std::log10(64.0),
       8.410175 / 13.820350},
      {"16x16: a speck far from the ink; its whole block differs, one mixed 8x8 block",
       WithInk(Square16(), 12, 12), Square16(), 100 * 32.0 / 33, 10 * std::log10(256.0), 1.0},
      {"16x16: a missed isolated ink pixel costs nothing in DRD (the centre weight is 0)",
       Square16(), WithInk(Square16(), 12, 12), 100 * 32.0 / 33, 10 * std::log10(256.0), 0.0},
      {"10x10: the partial bottom-right block holds ink and paper, so NUBN is 2, not 1",
       BlankMask(10, 10, {{0, 0}, {9, 9}, {8, 8}}), BlankMask(10, 10, {{0, 0}, {9, 9}}), 80, 20,
       (9.970834 - 1 / std::sqrt(2.0)) / 13.820350 / 2},
      {"identical pages: F 100, PSNR infinite, DRD 0", Square16(), Square16(), 100, kInf, 0},
      {"no ink in either page: they agree fully", BlankMask(5, 4), BlankMask(5, 4), 100, kInf, 0},
      {"a blank result of an inked truth finds nothing: F 0", BlankMask(16, 16), Square16(), 0,
       10 * std::log10(256.0 / 16), kNotChecked},
  };
  for (const TMetricCase& c : cases) {
    SCOPED_TRACE(c.Reason);
    const TPageScore score = ScorePage(c.Result, c.Truth);
    EXPECT_NEAR(score.FMeasure, c.FMeasure, 1e-9);
    if (std::isinf(c.PSNR)) {
      EXPECT_EQ(score.PSNR, kInf);
    } else {
      EXPECT_NEAR(score.PSNR, c.PSNR, 1e-9);
    }
    if (c.DRD != kNotChecked) {
      EXPECT_NEAR(score.DRD, c.DRD, 1e-6);
    }
  }
}

TEST(Metrics, ConfusionCountsInkAsPositive) {
  const TConfusion c = CountConfusion(MaskOf({"##..", "#.#."}), MaskOf({"#.#.", "##.."}));
  EXPECT_EQ(c.TruePositive, 2);
  EXPECT_EQ(c.FalsePositive, 2);
  EXPECT_EQ(c.FalseNegative, 2);
  EXPECT_EQ(c.TrueNegative, 2);
}

TEST(Metrics, SizeMismatchNamesBothSizes) {
  struct TCase {
    const char* Reason;
    TInkMask Result, Truth;
  } cases[] = {
      {"wider result", BlankMask(9, 8), BlankMask(8, 8)},
      {"taller truth", BlankMask(8, 8), BlankMask(8, 9)},
      {"transposed page", BlankMask(8, 9), BlankMask(9, 8)},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Reason);
    try {
      ScorePage(c.Result, c.Truth);
      ADD_FAILURE() << "no error";
    } catch (const EError& error) {
      const std::string expected =
          "the result is " + std::to_string(c.Result.Width) + " x " +
          std::to_string(c.Result.Height) + " pixels but its ground truth is " +
          std::to_string(c.Truth.Width) + " x " + std::to_string(c.Truth.Height);
      EXPECT_EQ(error.what(), expected);
    }
    EXPECT_THROW(DRD(c.Result, c.Truth), EError);
  }
}

}  // namespace
