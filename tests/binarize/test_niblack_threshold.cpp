// Niblack's rule and "Advanced Dynamic Thresholding": the growing, sliding and shrinking
// window on small hand-made images, and the running sums against a plain implementation that
// replays the band row by row and sums each window afresh.
#include <gtest/gtest.h>

#include <cmath>
#include <deque>

#include "binarize/niblack_threshold.h"
#include "tests/binarize/local_method_fixtures.h"

using namespace local_fixtures;

namespace {

// The windows along one axis, replayed step by step: elements enter one at a time, an output
// following every odd count; then each entering element pushes out the oldest; finally the
// oldest leave one at a time, an output following every odd count left.
std::vector<std::pair<std::int32_t, std::int32_t>> ReplayedSpans(std::int32_t span,
                                                                 std::int32_t size) {
  std::deque<std::int32_t> band;
  std::vector<std::pair<std::int32_t, std::int32_t>> spans;
  auto output = [&] { spans.emplace_back(band.front(), band.back()); };
  for (std::int32_t i = 0; i < span; ++i) {
    band.push_back(i);
    if (band.size() % 2 == 1) output();
  }
  for (std::int32_t i = span; i < size; ++i) {
    band.push_back(i);
    band.pop_front();
    output();
  }
  while (!band.empty()) {
    band.pop_front();
    if (band.size() % 2 == 1) output();
  }
  return spans;
}

std::vector<std::uint8_t> PlainNiblack(const TDIB& image, std::int32_t areaW, std::int32_t areaH,
                                       double k) {
  const std::int32_t w = image.Width(), h = image.Height();
  std::int32_t rows = areaH > h ? h - 1 : areaH;
  if (rows < 1) rows = 1;  // a one-row image keeps its row
  std::int32_t columns = areaW >= w ? w - 1 : areaW;
  if (columns % 2 == 0) ++columns;
  const auto bands = ReplayedSpans(rows, h);
  const auto runs = ReplayedSpans(columns, w);
  EXPECT_EQ(bands.size(), static_cast<std::size_t>(h));
  EXPECT_EQ(runs.size(), static_cast<std::size_t>(w));
  const double k256 = std::trunc(k * 256);
  std::vector<std::uint8_t> out;
  for (std::int32_t y = 0; y < h; ++y) {
    for (std::int32_t x = 0; x < w; ++x) {
      std::int64_t n = 0, s = 0, q = 0;
      for (std::int32_t v = bands[y].first; v <= bands[y].second; ++v) {
        for (std::int32_t u = runs[x].first; u <= runs[x].second; ++u) {
          const std::int64_t p = image.Row(v)[u];
          ++n, s += p, q += p * p;
        }
      }
      const std::int64_t mean = s / n;
      const std::int64_t var = (q - s * mean) / n;
      std::int64_t sd = static_cast<std::int64_t>(std::sqrt(static_cast<double>(var)));
      while (sd * sd > var) --sd;
      while ((sd + 1) * (sd + 1) <= var) ++sd;
      const double level = image.Row(y)[x] - (sd * k256) / 256 - mean;
      out.push_back(std::trunc(level) >= 0 ? 255 : 0);
    }
  }
  return out;
}

std::vector<std::uint8_t> Niblack(const TDIB& image, std::int32_t areaW, std::int32_t areaH,
                                  double k) {
  auto out = BlankOf(image);
  NiblackBinarize(image, *out, areaW, areaH, k);
  return Pixels(*out);
}

// AdvancedDynamicThreshold with Convert false, LowValue 0 and HighValue 255.
std::vector<std::uint8_t> Advanced(std::int32_t width, const std::vector<std::uint8_t>& values,
                                   std::int32_t areaW, std::int32_t areaH, std::int32_t contrast) {
  auto image = Gray(width, values);
  AdvancedDynamicThreshold(*image, areaW, areaH, contrast, false, 0, 255);
  return Pixels(*image);
}

}  // namespace

TEST(SquareRootTable, HoldsTheIntegerRootUpTo129SquaredLessOne) {
  const TSquareRootTable& roots = SquareRootTable();
  for (std::int32_t r = 1; r <= 129; ++r) {
    if (r * r < kSquareRootTableSize) {
      EXPECT_EQ(roots[r * r], r);
    }
    EXPECT_EQ(roots[r * r - 1], r - 1);
  }
  EXPECT_EQ(roots[0], 0);
  EXPECT_EQ(&SquareRootTable(), &roots) << "built once";
}

TEST(NiblackBinarize, RunningSumsEqualTheReplayedWindows) {
  const double factors[] = {-0.16, 0, 0.5, -1.3, 0.07};
  std::size_t f = 0;
  ForRandomWindows(31, [&](const TDIB& image, std::int32_t areaW, std::int32_t areaH) {
    // The smallest windows the rule has: AreaW 0 and AreaH 1.
    areaW = std::max(0, areaW);
    areaH = std::max(1, areaH);
    const double k = factors[f++ % 5];
    EXPECT_EQ(Niblack(image, areaW, areaH, k), PlainNiblack(image, areaW, areaH, k))
        << image.Width() << "x" << image.Height() << " window " << areaW << "x" << areaH << " k "
        << k;
  });
}

TEST(NiblackBinarize, BandGrowsSlidesAndShrinksSymmetrically) {
  // One column (AreaW 0), k = 0: a pixel is white exactly when it is not below its mean.
  struct TCase {
    std::vector<std::uint8_t> column;
    std::int32_t areaH;
    std::vector<std::uint8_t> expected;
    const char* reason;
  } const cases[] = {
      {{100, 50, 10},
       7,
       {255, 255, 255},
       "height 3: AreaH 7 becomes 2; row 1 uses rows 1..2 (mean 30), row 2 itself"},
      {{10, 50, 100}, 7, {255, 0, 255}, "row 1 against rows 1..2, mean 75"},
      {{10, 50, 100, 0, 0},
       2,
       {255, 0, 255, 255, 255},
       "an even band reaches further down: row 1 uses rows 1..2 (mean 75), not 0..1"},
      {{10, 50, 100, 0, 0},
       3,
       {255, 0, 255, 0, 255},
       "an odd band is centred: row 1 uses rows 0..2 (mean 53), row 3 rows 2..4 (mean 33)"},
      {{80}, 7, {255}, "a one-row image keeps its row"},
  };
  for (const TCase& c : cases) {
    auto image = Gray(1, c.column);
    EXPECT_EQ(Niblack(*image, 0, c.areaH, 0), c.expected) << c.reason;
  }
}

TEST(AdvancedDynamicThreshold, ContrastScalesTheDeviation) {
  // One row, AreaW 3: the middle pixel's window 96, 110, 110 has mean 105 and deviation
  // floor(sqrt(236 div 3)) = 8; the end pixels are alone in their runs.
  const std::vector<std::uint8_t> row = {96, 110, 110};
  struct TCase {
    std::int32_t contrast;
    std::uint8_t middle;
    const char* reason;
  } const cases[] = {
      {0, 255, "k = 0: 110 is not below the mean"},
      {-50, 255, "k = 0.5: 110 - 4 - 105 = 1"},
      {-100, 0, "k = 1: 110 - 8 - 105 = -3, slightly above the mean is dark"},
      {100, 255, "k = -1: the level drops to 97"},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(Advanced(3, row, 3, 1, c.contrast), (std::vector<std::uint8_t>{255, c.middle, 255}))
        << c.reason;
  }
  EXPECT_EQ(Advanced(3, {100, 10, 100}, 0, 1, 16), (std::vector<std::uint8_t>{255, 255, 255}))
      << "AreaW 0: a run of one column, every pixel its own mean";
  EXPECT_EQ(Advanced(3, {100, 10, 100}, 3, 1, 0), (std::vector<std::uint8_t>{255, 0, 255}))
      << "AreaW 3: the middle against the mean 70";
}

TEST(AdvancedDynamicThreshold, LargeWindowsKeepExactSums) {
  // 200 x 200 windows of 255 hold 40 000 squares of 65 025: beyond 32 bits.
  auto white = Flat(200, 200, 255);
  AdvancedDynamicThreshold(*white, 199, 199, 16, false, 0, 255);
  EXPECT_EQ(Pixels(*white), std::vector<std::uint8_t>(40000, 255)) << "a flat window is white";
  auto image = RandomGray(200, 190, 77, true);
  EXPECT_EQ(Niblack(*image, 1000, 185, -0.2), PlainNiblack(*image, 1000, 185, -0.2));
}

TEST(AdvancedDynamicThreshold, RefusesWindowsWithoutRowsOrWithNegativeWidth) {
  struct TCase {
    std::int32_t areaW, areaH;
    const char* reason;
  } const cases[] = {{3, 0, "AreaH 0"}, {3, -4, "AreaH negative"}, {-1, 3, "AreaW negative"}};
  for (const TCase& c : cases) {
    auto image = std::make_unique<TDIB>();
    image->Allocate(5, 4, df24Bit, 0, 0);
    ExpectError([&] { AdvancedDynamicThreshold(*image, c.areaW, c.areaH, 16, true, 0, 255); },
                "Bad AreaW or AreaH value", c.reason);
    EXPECT_EQ(image->Format(), df24Bit) << c.reason << ": refused before the gray conversion";
    auto gray = Flat(5, 4, 9);
    ExpectError([&] { NiblackBinarize(*gray, *BlankOf(*gray), c.areaW, c.areaH, 0); },
                "Bad AreaW or AreaH value", c.reason);
  }
}
