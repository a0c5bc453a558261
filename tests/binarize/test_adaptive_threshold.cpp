// "Adaptive Thresholding" and the Sobel magnitude, on small hand-made images; the Sobel
// magnitude also against its per-pixel rule on random images.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "binarize/adaptive_threshold.h"
#include "tests/binarize/local_method_fixtures.h"

using namespace local_fixtures;

namespace {

// The per-pixel rule, reading outside the image from the nearest border row or column.
std::vector<std::uint8_t> PlainSobel(const TDIB& image) {
  const std::int32_t w = image.Width(), h = image.Height();
  auto at = [&](std::int32_t x, std::int32_t y) {
    return int{image.Row(std::clamp(y, 0, h - 1))[std::clamp(x, 0, w - 1)]};
  };
  std::vector<std::uint8_t> out;
  for (std::int32_t y = 0; y < h; ++y) {
    for (std::int32_t x = 0; x < w; ++x) {
      int gx = (at(x + 1, y - 1) + 2 * at(x + 1, y) + at(x + 1, y + 1)) -
               (at(x - 1, y - 1) + 2 * at(x - 1, y) + at(x - 1, y + 1));
      int gy = (at(x - 1, y + 1) + 2 * at(x, y + 1) + at(x + 1, y + 1)) -
               (at(x - 1, y - 1) + 2 * at(x, y - 1) + at(x + 1, y - 1));
      out.push_back(static_cast<std::uint8_t>(std::min(std::abs(gx) + std::abs(gy), 255)));
    }
  }
  return out;
}

std::vector<std::uint8_t> Sobel(const TDIB& image) {
  auto out = BlankOf(image);
  SobelMagnitude(image, *out);
  return Pixels(*out);
}

struct TResult {
  std::vector<std::uint8_t> pixels;
  std::int32_t brightness;
};

// Runs the method with Convert false, LowValue 0 and HighValue 255 on a copy of the values.
TResult Adaptive(std::int32_t width, const std::vector<std::uint8_t>& values, std::int32_t areaW,
                 std::int32_t areaH, std::int32_t contrast, std::int32_t brightness) {
  auto image = Gray(width, values);
  std::int32_t used = AdaptiveThreshold(*image, areaW, areaH, contrast, brightness, false, 0, 255);
  return {Pixels(*image), used};
}

}  // namespace

TEST(SobelMagnitude, EqualsThePerPixelRule) {
  std::uint32_t seed = 21;
  for (const TSize& size : OddSizes()) {
    for (bool fewLevels : {false, true}) {
      auto image = RandomGray(size.width, size.height, seed++, fewLevels);
      EXPECT_EQ(Sobel(*image), PlainSobel(*image)) << size.width << "x" << size.height;
    }
  }
}

TEST(SobelMagnitude, RepeatsBorderRowsAndColumnsAndCapsAt255) {
  struct TCase {
    std::vector<std::uint8_t> values, expected;
    const char* reason;
  } const cases[] = {
      {{0, 0, 20, 0, 0, 20, 0, 0, 20},
       {0, 80, 80, 0, 80, 80, 0, 80, 80},
       "a step before the last column: the repeated last column still sees it"},
      {{0, 0, 0, 0, 0, 0, 20, 20, 20},
       {0, 0, 0, 80, 80, 80, 80, 80, 80},
       "a step before the last row, the same downward"},
      {{0, 0, 90, 0, 0, 90, 0, 0, 90},
       {0, 255, 255, 0, 255, 255, 0, 255, 255},
       "360 is capped at 255"},
  };
  for (const TCase& c : cases) EXPECT_EQ(Sobel(*Gray(3, c.values)), c.expected) << c.reason;
}

TEST(AdaptiveThreshold, FlatImageIsThresholdedAtBrightness) {
  const std::vector<std::uint8_t> flat(30, 100);
  struct TCase {
    std::int32_t brightness;
    std::uint8_t expected;
    std::int32_t used;
    const char* reason;
  } const cases[] = {
      {-1, 0, 127, "automatic: Otsu finds no split, 127; 100 is not above it"},
      {99, 255, 99, "100 is above 99"},
      {100, 0, 100, "a pixel equal to the level is dark"},
      {300, 0, 255, "Brightness is capped at 255"},
  };
  for (const TCase& c : cases) {
    TResult result = Adaptive(6, flat, 3, 3, -1, c.brightness);
    EXPECT_EQ(result.pixels, std::vector<std::uint8_t>(30, c.expected)) << c.reason;
    EXPECT_EQ(result.brightness, c.used) << c.reason;
  }
}

TEST(AdaptiveThreshold, EdgePixelsAreDecidedByTheClippedWindowMidpoint) {
  // Contrast 0 decides every pixel locally. AreaW 3: windows of columns x - 1 .. x + 1,
  // clipped: midpoints 105, 105, 145, 65, 65.
  const std::vector<std::uint8_t> row = {10, 200, 90, 100, 30};
  struct TCase {
    std::int32_t areaW, brightness;
    std::vector<std::uint8_t> expected;
    const char* reason;
  } const cases[] = {
      {3, 128, {0, 255, 0, 255, 0}, "each pixel against its window midpoint"},
      {3, 255, {0, 0, 0, 0, 0}, "Brightness 255 sends even the decided pixels dark"},
      {-2,
       128,
       {0, 255, 0, 0, 0},
       "empty windows: minimum 255, maximum 0, midpoint 127, so 100 is dark"},
      {1, 128, {255, 255, 255, 255, 255}, "the pixel alone is its own midpoint: bright"},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(Adaptive(5, row, c.areaW, 1, 0, c.brightness).pixels, c.expected) << c.reason;
  }
}

TEST(AdaptiveThreshold, ContrastAbove255ActsAs255) {
  // Stripes two columns wide of 100 and 200: the gradient is saturated away from the left and
  // right borders, so the smoothed edges reach 255 in the middle.
  std::vector<std::uint8_t> stripes;
  for (std::int32_t y = 0; y < 12; ++y) {
    for (std::int32_t x = 0; x < 12; ++x) stripes.push_back(x % 4 < 2 ? 100 : 200);
  }
  // Decided locally, the 200s go bright; left to Brightness 250 they would be dark.
  const std::vector<std::uint8_t> pixels = Adaptive(12, stripes, 3, 3, 1000, 250).pixels;
  EXPECT_EQ(pixels[6 * 12 + 6], 255) << "a 200 in the middle is decided by its midpoint 150";
  EXPECT_EQ(pixels[6 * 12 + 5], 0);
}

TEST(AdaptiveThreshold, DepthsWithoutGrayConversionAreRefusedUntouched) {
  for (TDIBFormat format : {df15Bit, df16Bit}) {
    ExpectRefusedUntouched(
        format, [](TDIB& image) { AdaptiveThreshold(image, 3, 3, 10, 100, true, 0, 255); });
  }
}
