// "Dynamic Thresholding" in both modes and the difference histogram, on small hand-made
// images; the difference histogram also against its per-pixel rule on random images.
#include <gtest/gtest.h>

#include <cstdlib>

#include "binarize/dynamic_threshold.h"
#include "binarize/global_threshold.h"
#include "tests/binarize/local_method_fixtures.h"

using namespace local_fixtures;

namespace {

// The per-pixel rule: four counts for every interior pixel.
THistogram PlainDifferenceHistogram(const TDIB& image) {
  THistogram histogram{};
  for (std::int32_t y = 1; y + 1 < image.Height(); ++y) {
    for (std::int32_t x = 1; x + 1 < image.Width(); ++x) {
      const int v = image.Row(y)[x];
      for (int neighbour :
           {image.Row(y + 1)[x], image.Row(y - 1)[x], image.Row(y)[x + 1], image.Row(y)[x - 1]}) {
        ++histogram[std::abs(v - neighbour)];
      }
    }
  }
  return histogram;
}

using TMode = void (*)(TDIB&, std::int32_t, std::int32_t, std::int32_t, std::int32_t, bool,
                       std::uint8_t, std::uint8_t);

// Runs a mode with Convert false, LowValue 0 and HighValue 255 on a copy of the values.
std::vector<std::uint8_t> RunMode(TMode mode, std::int32_t width,
                                  const std::vector<std::uint8_t>& values, std::int32_t areaW,
                                  std::int32_t areaH, std::int32_t contrast,
                                  std::int32_t brightness) {
  auto image = Gray(width, values);
  mode(*image, areaW, areaH, contrast, brightness, false, 0, 255);
  return Pixels(*image);
}

}  // namespace

TEST(GetDifferenceHistogram, CountsFourNeighboursOfEveryInteriorPixel) {
  // Only the centre of a 3 x 3 image is interior.
  auto image = Gray(3, {0, 10, 0,  //
                        7, 5, 9,   //
                        0, 1, 0});
  THistogram histogram;
  GetDifferenceHistogram(*image, histogram);
  THistogram expected{};
  for (int d : {5, 2, 4, 4}) ++expected[d];  // above, left, right, below
  EXPECT_EQ(histogram, expected);
}

TEST(GetDifferenceHistogram, EqualsThePerPixelRule) {
  std::uint32_t seed = 11;
  for (const TSize& size : OddSizes()) {
    for (bool fewLevels : {false, true}) {
      auto image = RandomGray(size.width, size.height, seed++, fewLevels);
      THistogram histogram;
      GetDifferenceHistogram(*image, histogram);
      EXPECT_EQ(histogram, PlainDifferenceHistogram(*image)) << size.width << "x" << size.height;
    }
  }
}

TEST(DynamicThresholdMinMax, WindowSizeMustFitTheImage) {
  const std::vector<std::uint8_t> values = {10, 200, 30, 40, 250, 60, 70, 80, 90, 100, 110, 120};
  struct TCase {
    std::int32_t areaW, areaH;
    bool refused;
    const char* reason;
  } const cases[] = {
      {0, 2, true, "AreaW 0"},
      {5, 2, true, "AreaW = width + 1"},
      {2, 0, true, "AreaH 0"},
      {2, 4, true, "AreaH = height + 1"},
      {4, 3, false, "the image size itself"},
      {1, 1, false, "the smallest window"},
  };
  for (const TCase& c : cases) {
    auto image = Gray(4, values);
    if (c.refused) {
      ExpectError([&] { DynamicThresholdMinMax(*image, c.areaW, c.areaH, 5, 100, true, 0, 255); },
                  "Bad AreaW or AreaH value", c.reason);
      EXPECT_EQ(Pixels(*image), values) << c.reason << ": image unchanged";
      auto average = Gray(4, values);
      DynamicThresholdAverage(*average, c.areaW, c.areaH, 5, 100, true, 0, 255);
      EXPECT_EQ(average->Format(), df1Bit) << c.reason << ": the Average mode accepts it";
    } else {
      DynamicThresholdMinMax(*image, c.areaW, c.areaH, 5, 100, true, 0, 255);
      EXPECT_EQ(image->Format(), df1Bit) << c.reason;
    }
  }
}

TEST(DynamicThresholdMinMax, DecidesByWindowMidpointOrFallsBackToBrightness) {
  // One row, AreaW 4: windows 2 (4 div 2) + 1 = 5 wide, shifted inward: columns 0..4 (range
  // 20..180) for the first three pixels and 1..5 (range 59..180) for the last three.
  const std::vector<std::uint8_t> row = {20, 100, 60, 59, 180, 140};
  struct TCase {
    std::int32_t contrast, brightness;
    std::vector<std::uint8_t> expected;
    const char* reason;
  } const cases[] = {
      {10,
       0,
       {0, 255, 0, 0, 255, 255},
       "midpoints 100 and 119 everywhere; 100 is not below its midpoint, so bright"},
      {200,
       60,
       {0, 255, 255, 0, 255, 255},
       "every window flat: dark only below Brightness 60, 60 itself bright"},
      {150,
       150,
       {0, 255, 0, 0, 255, 0},
       "range 160 decides by its midpoint 100, range 121 falls back to Brightness 150"},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(RunMode(DynamicThresholdMinMax, 6, row, 4, 1, c.contrast, c.brightness), c.expected)
        << c.reason;
  }
}

TEST(DynamicThresholdMinMax, FlatImage) {
  struct TCase {
    std::int32_t contrast, brightness;
    std::uint8_t expected;
    const char* reason;
  } const cases[] = {
      {-1, 150, 0, "automatic contrast of a flat image is 127: 100 < 150 is dark"},
      {-1, 100, 255, "flat, not below Brightness: bright"},
      {-1, -1, 0, "automatic Brightness of a flat image is 127"},
      {0, 255, 255, "contrast 0: the midpoint 100 decides, and 100 is not below it"},
  };
  for (const TCase& c : cases) {
    const std::vector<std::uint8_t> flat(20, 100);
    EXPECT_EQ(RunMode(DynamicThresholdMinMax, 5, flat, 3, 3, c.contrast, c.brightness),
              std::vector<std::uint8_t>(20, c.expected))
        << c.reason;
  }
}

TEST(DynamicThresholdAverage, DecidesPixelsFarFromTheMeanThenThresholdsAtBrightness) {
  // AreaW 1: half-width 1, so means of up to three pixels: 115, 110, 110, 80, 70, and the
  // pixels lie 15 below, 20 above, 10 below, 20 above and 30 below them.
  const std::vector<std::uint8_t> row = {100, 130, 100, 100, 40};
  struct TCase {
    std::int32_t contrast, brightness;
    std::vector<std::uint8_t> expected;
    const char* reason;
  } const cases[] = {
      {0, 128, {0, 255, 0, 255, 0}, "contrast 0: every pixel off its mean is decided locally"},
      {15, 99, {255, 255, 255, 255, 0}, "15 is not beyond 15: the 100s go to Brightness 99"},
      {15, 100, {0, 255, 0, 255, 0}, "the undecided 100s are not above Brightness 100"},
      {0, 255, {0, 0, 0, 0, 0}, "Brightness 255 sends even the decided pixels dark"},
      {0, 356, {0, 255, 0, 255, 0}, "Brightness is taken by its low 8 bits: 356 is 100"},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(RunMode(DynamicThresholdAverage, 5, row, 1, 1, c.contrast, c.brightness), c.expected)
        << c.reason;
  }
}

TEST(DynamicThresholdAverage, AutomaticBrightnessIsOtsusLevel) {
  auto image = RandomGray(31, 17, 3, false);
  auto expected = Gray(31, Pixels(*image));
  AutoThreshold(*expected, 0, true, 0, 255);
  // Contrast 300 decides nothing locally, leaving the plain threshold at Brightness.
  DynamicThresholdAverage(*image, 7, 7, 300, -1, true, 0, 255);
  EXPECT_EQ(Bits(*image), Bits(*expected));
}

TEST(DynamicThreshold, ColourIsMadeGrayFirst) {
  auto colour = std::make_unique<TDIB>();
  colour->Allocate(9, 7, df24Bit, 0, 0);
  for (std::int32_t y = 0; y < 7; ++y) {
    for (std::int32_t x = 0; x < 27; ++x)
      colour->Row(y)[x] = static_cast<std::uint8_t>(x * 9 + y * 31);
  }
  for (TMode mode : {DynamicThresholdMinMax, DynamicThresholdAverage}) {
    auto gray = colour->Duplicate();
    gray->ConvertTo(df8Bit);
    auto image = colour->Duplicate();
    mode(*image, 3, 3, -1, -1, true, 0, 255);
    mode(*gray, 3, 3, -1, -1, true, 0, 255);
    EXPECT_EQ(Bits(*image), Bits(*gray));
  }
}

TEST(DynamicThreshold, DepthsWithoutGrayConversionAreRefusedUntouched) {
  for (TDIBFormat format : {df1Bit, df4Bit, df15Bit, df16Bit}) {
    for (TMode mode : {DynamicThresholdMinMax, DynamicThresholdAverage}) {
      ExpectRefusedUntouched(format,
                             [&](TDIB& image) { mode(image, 3, 3, 10, 100, true, 0, 255); });
    }
  }
}
