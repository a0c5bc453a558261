// Background-normalised thresholding: the window sums against a plain implementation that
// evaluates every step pixel by pixel over directly scanned windows; a page with a shaded,
// stained paper where one global level fails; blank pages; the method's gray step and 1-bit
// result.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "binarize/background_normalized.h"
#include "binarize/global_threshold.h"
#include "binarize/window_filters.h"
#include "tests/binarize/local_method_fixtures.h"

using namespace local_fixtures;

namespace {

using TValues = std::vector<std::int32_t>;

struct TGrid {
  std::int32_t width, height;
  TValues values;
  std::int32_t At(std::int32_t x, std::int32_t y) const { return values[y * width + x]; }
};

TGrid GridOf(const TDIB& image) {
  TGrid grid{image.Width(), image.Height(), {}};
  for (std::uint8_t v : Pixels(image)) grid.values.push_back(v);
  return grid;
}

// Calls visit(u, v) for every pixel of the clipped window of half-widths reachX x reachY.
template <class TVisit>
void ForWindow(const TGrid& grid, std::int32_t x, std::int32_t y, std::int64_t reachX,
               std::int64_t reachY, TVisit visit) {
  for (std::int64_t v = std::max<std::int64_t>(y - reachY, 0);
       v <= std::min<std::int64_t>(y + reachY, grid.height - 1); ++v) {
    for (std::int64_t u = std::max<std::int64_t>(x - reachX, 0);
         u <= std::min<std::int64_t>(x + reachX, grid.width - 1); ++u) {
      visit(static_cast<std::int32_t>(u), static_cast<std::int32_t>(v));
    }
  }
}

// The normalised page: the paper estimate comes from the shared window filters, the division
// is spelled out.
TGrid PlainNormalized(const TDIB& image, std::int32_t side) {
  side = std::max(side, 1);
  auto paper = BlankOf(image);
  WindowMaximum(image, *paper, side, side);
  LocalMean(*paper, *paper, side - 2, side - 2);
  const TGrid gray = GridOf(image), estimate = GridOf(*paper);
  TGrid out = gray;
  for (std::size_t i = 0; i < out.values.size(); ++i) {
    const std::int32_t b = estimate.values[i];
    out.values[i] = b == 0 ? 0 : std::min(255, (255 * gray.values[i] + b / 2) / b);
  }
  return out;
}

std::vector<std::uint8_t> PlainDecisions(const TDIB& image,
                                         const TBackgroundNormalizedParameters& p) {
  const TGrid n = PlainNormalized(image, p.BackgroundSide);
  TGrid contrast = n;
  THistogram histogram{};
  for (std::int32_t y = 0; y < n.height; ++y) {
    for (std::int32_t x = 0; x < n.width; ++x) {
      std::int32_t high = 0, low = 255;
      ForWindow(n, x, y, 1, 1, [&](std::int32_t u, std::int32_t v) {
        high = std::max(high, n.At(u, v));
        low = std::min(low, n.At(u, v));
      });
      const std::int32_t sum = high + low;
      const std::int32_t c = sum == 0 ? 0 : (255 * (high - low) + sum / 2) / sum;
      contrast.values[y * n.width + x] = c;
      ++histogram[c];
    }
  }
  const std::int32_t level = OtsuThreshold(histogram);
  const std::int64_t reachX = std::min(std::max(p.AreaW, 1) / 2, n.width);
  const std::int64_t reachY = std::min(std::max(p.AreaH, 1) / 2, n.height);
  const std::int64_t fewest = std::max({p.AreaW, p.AreaH, 1});
  std::vector<std::uint8_t> out;
  for (std::int32_t y = 0; y < n.height; ++y) {
    for (std::int32_t x = 0; x < n.width; ++x) {
      std::int64_t count = 0, sum = 0, squares = 0;
      ForWindow(n, x, y, reachX, reachY, [&](std::int32_t u, std::int32_t v) {
        if (contrast.At(u, v) <= level) return;
        ++count, sum += n.At(u, v), squares += n.At(u, v) * n.At(u, v);
      });
      bool ink = false;
      if (count >= fewest) {
        const double r = 1.0 / static_cast<double>(count);
        const double mean = static_cast<double>(sum) * r;
        const double meanSquare = static_cast<double>(squares) * r;
        const double deviation = std::sqrt(std::max(meanSquare - mean * mean, 0.0));
        ink = n.At(x, y) <= mean + p.DeviationFactor / 100.0 * deviation;
      }
      out.push_back(ink ? 0 : 255);
    }
  }
  return out;
}

std::vector<std::uint8_t> Fast(const TDIB& image, const TBackgroundNormalizedParameters& p) {
  auto out = BlankOf(image);
  BackgroundNormalizedBinarize(image, *out, p);
  return Pixels(*out);
}

// A page whose paper darkens from 235 on the left to 95 on the right, with a round stain that
// darkens it by up to 70 more; strokes are 45 % darker than the paper under them. ink marks
// the strokes.
struct TShadedPage {
  std::unique_ptr<TDIB> image;
  std::vector<bool> ink;
};
TShadedPage ShadedPage() {
  const std::int32_t width = 240, height = 120;
  std::vector<std::uint8_t> values;
  std::vector<bool> ink;
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) {
      double paper = 235 - 140.0 * x / (width - 1);
      const double dx = x - 60, dy = y - 60;
      paper -= 70 * std::exp(-(dx * dx + dy * dy) / 800.0);  // the stain
      const bool stroke = (x % 16 < 3 && y % 40 > 8) || (y % 40 < 3 && x % 64 > 10);
      ink.push_back(stroke);
      values.push_back(static_cast<std::uint8_t>(std::lround(stroke ? paper * 0.55 : paper)));
    }
  }
  return {Gray(width, values), ink};
}

}  // namespace

TEST(BackgroundNormalized, WindowSumsEqualThePlainSteps) {
  struct TCase {
    TBackgroundNormalizedParameters parameters;
    const char* reason;
  } const cases[] = {
      {{7, 7, 50, 15}, "a small edge window"},
      {{25, 25, 65, 31}, "the defaults"},
      {{4, 9, -30, 8}, "even and uneven sides, a negative factor"},
      {{0, -5, 100, 0}, "sides below 1 count as 1"},
      {{1000, 3, 65, 1000}, "windows beyond the page"},
      {{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MAX}, "the fields' extremes"},
  };
  std::uint32_t seed = 7;
  for (const TCase& c : cases) {
    for (const TSize& size : OddSizes()) {
      for (bool fewLevels : {false, true}) {
        auto image = RandomGray(size.width, size.height, seed++, fewLevels);
        EXPECT_EQ(Fast(*image, c.parameters), PlainDecisions(*image, c.parameters))
            << c.reason << ", " << size.width << "x" << size.height;
      }
    }
  }
  const TShadedPage page = ShadedPage();
  EXPECT_EQ(Fast(*page.image, {}), PlainDecisions(*page.image, {})) << "the shaded page";
}

TEST(BackgroundNormalized, FindsStrokesOnShadedAndStainedPaper) {
  const TShadedPage page = ShadedPage();
  const auto decided = Fast(*page.image, {});
  auto global = page.image->Duplicate();
  AutoThreshold(*global, 0, false, 0, 255);
  const auto otsu = Pixels(*global);
  struct TCount {
    std::int32_t missed = 0, falseInk = 0;
  } method, oneLevel;
  std::int32_t strokes = 0;
  for (std::size_t i = 0; i < decided.size(); ++i) {
    strokes += page.ink[i];
    method.missed += page.ink[i] && decided[i] != 0;
    method.falseInk += !page.ink[i] && decided[i] == 0;
    oneLevel.missed += page.ink[i] && otsu[i] != 0;
    oneLevel.falseInk += !page.ink[i] && otsu[i] == 0;
  }
  EXPECT_LT(method.missed, strokes / 50) << "strokes on bright and dim paper alike";
  EXPECT_LT(method.falseInk, strokes / 50) << "neither the shade nor the stain is ink";
  EXPECT_GT(oneLevel.missed + oneLevel.falseInk, strokes / 4)
      << "one global level cannot separate this page, so it shows the method's point";
}

TEST(BackgroundNormalized, BlankPagesStayWhite) {
  struct TCase {
    std::unique_ptr<TDIB> image;
    const char* reason;
  } const cases[] = {
      {Flat(30, 20, 200), "flat paper"},
      {Flat(30, 20, 0), "flat black: no paper to divide by, and no edges"},
      {RandomGray(1, 1, 3, false), "a single pixel"},
  };
  for (const TCase& c : cases) {
    const auto decided = Fast(*c.image, {});
    EXPECT_EQ(decided, std::vector<std::uint8_t>(decided.size(), 255)) << c.reason;
  }
}

TEST(BackgroundNormalized, NormalizingWhitensShadedPaper) {
  const TShadedPage page = ShadedPage();
  auto normalized = BlankOf(*page.image);
  NormalizeBackground(*page.image, *normalized, 31);
  const auto values = Pixels(*normalized);
  const auto original = Pixels(*page.image);
  std::uint8_t darkest = 255, darkestBefore = 255, lightest = 0;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (page.ink[i]) continue;
    EXPECT_GE(values[i], original[i]) << "paper only brightens, at " << i;
    darkest = std::min(darkest, values[i]);
    lightest = std::max(lightest, values[i]);
    darkestBefore = std::min(darkestBefore, original[i]);
  }
  EXPECT_EQ(lightest, 255);
  EXPECT_LT(255 - darkest, (255 - darkestBefore) / 2)
      << "the paper's spread under the shade and the stain shrinks to less than half";
}

TEST(BackgroundNormalizedThreshold, TakesColourToGrayAndEndsInOneBit) {
  const TShadedPage page = ShadedPage();
  auto colour = page.image->Duplicate();
  colour->ConvertTo(df24Bit);
  BackgroundNormalizedThreshold(*colour, {});
  ASSERT_EQ(colour->Format(), df1Bit);
  std::vector<std::uint8_t> expected;
  for (std::uint8_t d : Fast(*page.image, {})) expected.push_back(d == 255 ? 1 : 0);
  EXPECT_EQ(Bits(*colour), expected);
  EXPECT_EQ(colour->GetPaletteEntry(0) & 0xFFFFFF, 0u) << "black first";
  ExpectRefusedUntouched(df4Bit, [](TDIB& i) { BackgroundNormalizedThreshold(i, {}); });
}

TEST(BackgroundNormalized, WorksInPlace) {
  const TShadedPage page = ShadedPage();
  auto image = page.image->Duplicate();
  BackgroundNormalizedBinarize(*image, *image, {});
  EXPECT_EQ(Pixels(*image), Fast(*page.image, {}));
  auto small = Flat(5, 4, 0);
  ExpectError([&] { BackgroundNormalizedBinarize(*page.image, *small, {}); },
              "The destination must be an 8 bit image of the source's size", "another size");
}
