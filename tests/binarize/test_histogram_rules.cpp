// The automatic level rules: hand-made histograms for each rule's corners, and the
// uniform-error search checked against a plain count of pixels, pairs and blocks per probe.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <utility>
#include <vector>

#include "binarize/global_threshold.h"
#include "platform/errors.h"

namespace {

THistogram Bins(std::initializer_list<std::pair<std::size_t, std::uint64_t>> counts) {
  THistogram histogram{};
  for (const auto& [value, count] : counts) histogram[value] = count;
  return histogram;
}

struct TRuleCase {
  THistogram histogram;
  std::int32_t otsu, lloyd, ridler, deviation;
  const char* reason;
};

const TRuleCase kRuleCases[] = {
    {Bins({}), 127, -1, 127, 127, "no pixels"},
    {Bins({{90, 5}}), 127, 90, 90, 90, "one gray: Otsu finds no split"},
    {Bins({{40, 3}, {200, 3}}), 40, 120, 120, 120, "two grays: every split ties, lowest wins"},
    {Bins({{1, 1}, {2, 1}}), 1, 2, 2, 1, "mean 1.5: rounded to even 2, truncated 1"},
    {Bins({{2, 1}, {3, 1}}), 2, 2, 2, 2, "mean 2.5: the half goes to the even 2"},
    {Bins({{0, 1}, {255, 1}}), 0, 128, 128, 127, "extremes: mean 127.5"},
    {Bins({{10, 8}, {20, 1}, {200, 1}}), 20, 30, 106, 30,
     "an outlier: Ridler settles between the class means 11.1 and 200"},
    {Bins({{0, 1}, {100, 100}, {101, 100}, {255, 1}}), 101, 101, 178, 100,
     "one pixel above the bulk keeps the upper class mean at 255"},
};

// The plain uniform-error rule: for every probe, count pixels, pairs and blocks above t
// directly, without sorting or suffix sums.
std::int32_t PlainUniformError(const TDIB& image) {
  std::vector<std::array<std::uint8_t, 4>> blocks;
  for (std::int32_t y = 0; y + 1 < image.Height(); y += 2) {
    for (std::int32_t x = 0; x + 1 < image.Width(); x += 2) {
      blocks.push_back(
          {image.Row(y)[x], image.Row(y)[x + 1], image.Row(y + 1)[x], image.Row(y + 1)[x + 1]});
    }
  }
  if (blocks.empty()) return 127;
  std::int32_t low = 0, high = 255, t = 0;
  while (low != high - 1) {
    t = (low + high) / 2;
    std::uint64_t pixels = 0, pairs = 0, whole = 0;
    for (const auto& b : blocks) {
      for (int i = 0; i < 4; ++i) {
        pixels += b[i] > t;
        for (int j = i + 1; j < 4; ++j) pairs += b[i] > t && b[j] > t;
      }
      whole += std::all_of(b.begin(), b.end(), [t](std::uint8_t v) { return v > t; });
    }
    const double n = static_cast<double>(blocks.size());
    const double alpha = pixels / (4 * n), beta = pairs / (6 * n), gamma = whole / n;
    const double d = alpha * alpha - beta;
    const double x = d == 0 ? 0 : std::sqrt((beta * beta - gamma) / d);
    if (x >= 1) {
      low = t;
    } else {
      high = t;
    }
  }
  return t;
}

std::unique_ptr<TDIB> Gray(std::vector<std::vector<std::uint8_t>> rows) {
  auto image = std::make_unique<TDIB>();
  const auto height = static_cast<std::int32_t>(rows.size());
  image->Allocate(height == 0 ? 0 : static_cast<std::int32_t>(rows[0].size()), height, df8Bit, 0,
                  0);
  for (std::int32_t y = 0; y < height; ++y) {
    std::copy(rows[y].begin(), rows[y].end(), image->Row(y));
  }
  return image;
}

}  // namespace

TEST(HistogramRules, LevelsOfHandMadeHistograms) {
  for (const TRuleCase& c : kRuleCases) {
    EXPECT_EQ(OtsuThreshold(c.histogram), c.otsu) << "Otsu: " << c.reason;
    EXPECT_EQ(LloydThreshold(c.histogram), c.lloyd) << "Lloyd: " << c.reason;
    EXPECT_EQ(RidlerCalvardThreshold(c.histogram), c.ridler) << "Ridler: " << c.reason;
    EXPECT_EQ(StandardDeviationThreshold(c.histogram, 0), c.deviation) << "SD: " << c.reason;
  }
}

TEST(HistogramRules, StandardDeviationFactor) {
  struct TCase {
    double k;
    std::int32_t level;
    const char* reason;
  };
  const THistogram spread = Bins({{0, 1}, {10, 1}});  // mean 5, deviation 5
  const TCase cases[] = {
      {1, 10, "mean + deviation"},
      {-0.5, 2, "2.5 truncated toward zero"},
      {-1.5, -2, "-2.5 truncated toward zero, not down"},
      {1e300, std::numeric_limits<std::int32_t>::max(), "clamped to the integer range"},
      {-1e300, std::numeric_limits<std::int32_t>::min(), "clamped below"},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(StandardDeviationThreshold(spread, c.k), c.level) << c.reason;
  }
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(StandardDeviationThreshold(Bins({{90, 5}}), inf), 127)
      << "infinite K times a deviation of 0 has no value";
}

TEST(HistogramRules, UniformErrorCorners) {
  struct TCase {
    std::vector<std::vector<std::uint8_t>> rows;
    std::int32_t level;
    const char* reason;
  };
  const TCase cases[] = {
      {{{7, 7, 7}, {7, 7, 7}, {7, 7, 7}}, 1, "one gray: d is 0, every probe moves down"},
      {{{0, 255}, {255, 255}}, 254, "every probe moves up"},
      {{{3, 9}, {200, 240}}, 8, "one block"},
      {{{30, 30, 30, 30, 30, 255}, {30, 100, 100, 220, 220, 255}},
       100,
       "probe 127 has a negative quotient: counted as x < 1"},
      {{{10, 200, 30}}, 127, "one row: no 2 x 2 block, the middle level"},
      {{{10}, {200}}, 127, "one column"},
      {{}, 127, "no pixels"},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(UniformErrorThreshold(*Gray(c.rows)), c.level) << c.reason;
  }
}

TEST(HistogramRules, UniformErrorAgreesWithPlainCounts) {
  std::mt19937 random(29);
  for (int round = 0; round < 300; ++round) {
    const std::int32_t width = 1 + random() % 9, height = 1 + random() % 9;
    TDIB image;
    image.Allocate(width, height, df8Bit, 0, 0);
    // Few distinct values, so that ties, empty classes and dithered blocks all turn up.
    const std::uint8_t palette[] = {0, 30, 100, 127, 128, 180, 220, 255};
    for (std::int32_t y = 0; y < height; ++y) {
      for (std::int32_t x = 0; x < width; ++x) image.Row(y)[x] = palette[random() % 8];
    }
    ASSERT_EQ(UniformErrorThreshold(image), PlainUniformError(image))
        << width << "x" << height << " round " << round;
  }
}

TEST(HistogramRules, UniformErrorNeedsEightBits) {
  TDIB image;
  image.Allocate(8, 8, df1Bit, 0, 0);
  EXPECT_THROW(UniformErrorThreshold(image), EError) << "rows would be read past their end";
}
