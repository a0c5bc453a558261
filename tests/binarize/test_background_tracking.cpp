// "Background Tracking Thresholding" on small hand-made images, and against the per-pixel
// rule on a random image.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "binarize/background_tracking.h"
#include "binarize/global_threshold.h"
#include "binarize/window_filters.h"
#include "image/rounding.h"
#include "tests/binarize/local_method_fixtures.h"

using namespace local_fixtures;

namespace {

std::vector<std::uint8_t> Track(std::int32_t width, const std::vector<std::uint8_t>& values,
                                std::int32_t areaW, std::int32_t minLevel, std::int32_t maxLevel,
                                double contribution) {
  auto image = Gray(width, values);
  BackgroundTrackingThreshold(*image, areaW, areaW, minLevel, maxLevel, contribution, false, 0,
                              255);
  return Pixels(*image);
}

}  // namespace

TEST(BackgroundTracking, InteriorPixelsAgainstTheBlendedLevel) {
  // 3 x 3 images: the centre is the one interior pixel; the frame of 101s is thresholded at
  // 128 and goes dark. The centre's window is the whole image, mean 101 for a centre of 100
  // or 101.
  struct TCase {
    std::uint8_t centre;
    std::int32_t minLevel, maxLevel;
    double contribution;
    std::uint8_t expected;
    const char* reason;
  } const cases[] = {
      {125, 50, 200, 0, 0, "w = 0: bg = 125, a pixel equal to the level is dark"},
      {126, 50, 200, 0, 255, "w = 0: 126 is above bg = 125"},
      {124, 50, 199, 0, 0, "bg = 124.5 rounds to the even 124"},
      {125, 50, 199, 0, 255, "... so 125 is above it"},
      {126, 50, 201, 0, 0, "bg = 125.5 rounds to the even 126"},
      {101, 100, 100, 1, 0, "w = 1: the pixel equals its rounded mean, dark"},
      {100, 100, 100, 0.5, 0, "L = 100.5 rounds to the even 100: 100 is dark"},
      {101, 100, 100, 0.5, 255, "... and 101 bright"},
      {250, 128, 512, 80.0 / 255, 0, "bg = 320: L = 257 lies above every gray, all dark"},
  };
  for (const TCase& c : cases) {
    std::vector<std::uint8_t> values(9, 101);
    values[4] = c.centre;
    std::vector<std::uint8_t> expected(9, 0);
    expected[4] = c.expected;
    EXPECT_EQ(Track(3, values, 3, c.minLevel, c.maxLevel, c.contribution), expected) << c.reason;
  }
}

TEST(BackgroundTracking, ContributionIsClampedToZeroOne) {
  auto image = RandomGray(23, 19, 41, false);
  struct TCase {
    double contribution, equivalent;
    const char* reason;
  } const cases[] = {
      {-0.5, 0, "negative weighs nothing"},
      {3, 1, "above 1 is 1"},
      {std::numeric_limits<double>::quiet_NaN(), 0, "not a number weighs nothing"},
      {-std::numeric_limits<double>::infinity(), 0, "minus infinity"},
      {std::numeric_limits<double>::infinity(), 1, "infinity"},
  };
  const std::vector<std::uint8_t> values = Pixels(*image);
  for (const TCase& c : cases) {
    EXPECT_EQ(Track(23, values, 5, 60, 220, c.contribution),
              Track(23, values, 5, 60, 220, c.equivalent))
        << c.reason;
  }
}

TEST(BackgroundTracking, FrameAndThinImagesAreThresholdedAt128) {
  for (TSize size : {TSize{1, 7}, TSize{2, 7}, TSize{7, 2}, TSize{9, 8}}) {
    auto image = RandomGray(size.width, size.height, 5, false);
    auto plain = Gray(size.width, Pixels(*image));
    Threshold(*plain, 128, false, 0, 255);
    BackgroundTrackingThreshold(*image, 3, 3, 0, 0, 0.5, false, 0, 255);
    // With bg = 0, interior pixels are compared with half their mean; only the frame must agree.
    for (std::int32_t y = 0; y < size.height; ++y) {
      for (std::int32_t x = 0; x < size.width; ++x) {
        if (x > 0 && y > 0 && x < size.width - 1 && y < size.height - 1) continue;
        EXPECT_EQ(image->Row(y)[x], plain->Row(y)[x]) << x << "," << y;
      }
    }
  }
}

TEST(BackgroundTracking, EqualsThePerPixelRule) {
  auto image = RandomGray(37, 29, 43, false);
  const double w = 0.37;
  auto mean = MeanFiltered(*image, 4, 6);
  std::vector<std::uint8_t> expected = Pixels(*image);
  for (std::int32_t y = 1; y < 28; ++y) {
    for (std::int32_t x = 1; x < 36; ++x) {
      std::int32_t level = RoundHalfEven(w * mean->Row(y)[x] + (1 - w) * 150);
      expected[y * 37 + x] = image->Row(y)[x] <= level ? 0 : 255;
    }
  }
  for (auto& v : expected) v = v > 128 ? 255 : 0;
  BackgroundTrackingThreshold(*image, 4, 6, 100, 200, w, false, 0, 255);
  EXPECT_EQ(Pixels(*image), expected);
}

TEST(BackgroundTracking, DepthsWithoutGrayConversionAreRefusedUntouched) {
  for (TDIBFormat format : {df15Bit, df16Bit}) {
    ExpectRefusedUntouched(format, [](TDIB& image) {
      BackgroundTrackingThreshold(image, 3, 3, 64, 256, 0.3, true, 0, 255);
    });
  }
}
