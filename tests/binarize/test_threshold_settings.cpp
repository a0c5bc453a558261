// The thresholding dispatch: every Algo value reaches its method with the arguments the
// settings give, the cases that call nothing leave the pixels alone, 1-bit images are not
// touched, 4-bit images become 8-bit gray first, 15- and 16-bit images binarize as their
// 24-bit twins, and the background-tracking arithmetic.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "binarize/adaptive_threshold.h"
#include "binarize/background_normalized.h"
#include "binarize/background_tracking.h"
#include "binarize/dynamic_threshold.h"
#include "binarize/edge_threshold.h"
#include "binarize/global_threshold.h"
#include "binarize/niblack_threshold.h"
#include "binarize/threshold_settings.h"
#include "binarize/window_rules.h"
#include "platform/errors.h"

namespace {

constexpr std::int32_t kWidth = 48;
constexpr std::int32_t kHeight = 36;

// Every gray level, a slope, a checker texture, dark strokes and a dark blot: varied enough
// that each method, and each argument of it, leaves its own mark.
std::unique_ptr<TDIB> VariedPage() {
  auto image = std::make_unique<TDIB>();
  image->Allocate(kWidth, kHeight, df8Bit, 300, 200);
  for (std::int32_t y = 0; y < kHeight; ++y) {
    for (std::int32_t x = 0; x < kWidth; ++x) {
      std::int32_t value = 120 + 2 * x - y + ((x * 7 + y * 13) % 23);
      if (x % 11 == 3 || y % 9 == 4) value -= 90;            // strokes
      if (x > 30 && x < 36 && y > 20 && y < 27) value = 15;  // blot
      if (y == 0) value = x * 255 / (kWidth - 1);            // every level within reach
      if (y == 1) value = 255 - x * 5;
      image->SetPixel(x, y, std::clamp(value, 0, 255));
    }
  }
  return image;
}

std::vector<std::int32_t> Pixels(const TDIB& image) {
  std::vector<std::int32_t> pixels{image.Format(), image.Width(), image.Height()};
  for (std::int32_t y = 0; y < image.Height(); ++y) {
    for (std::int32_t x = 0; x < image.Width(); ++x) pixels.push_back(image.GetPixel(x, y));
  }
  for (std::int32_t i = 0; i < image.PaletteCount(); ++i) {
    pixels.push_back(static_cast<std::int32_t>(image.GetPaletteEntry(i)));
  }
  return pixels;
}

using TCall = std::function<void(TDIB&)>;

std::vector<std::int32_t> Result(const TCall& call) {
  auto image = VariedPage();
  call(*image);
  return Pixels(*image);
}

TThresholdSettings Settings(std::int32_t algo, std::int32_t method, std::int32_t contrast,
                            std::int32_t brightness, std::int32_t areaWidth = 5,
                            std::int32_t areaHeight = 9) {
  TThresholdSettings settings;
  settings.Algo = algo;
  settings.Method = method;
  settings.Contrast = contrast;
  settings.Brightness = brightness;
  settings.AreaWidth = areaWidth;
  settings.AreaHeight = areaHeight;
  // Stored-only fields that no method may read.
  settings.Contribute = -5;
  settings.Min = 999;
  settings.Max = -999;
  return settings;
}

// A dispatch case: the settings, the direct call they must amount to, and a near miss (one
// argument changed) that must give another image, so that the comparison can tell.
struct TDispatchCase {
  TThresholdSettings settings;
  TCall expected;
  TCall nearMiss;
  const char* why;
};

TEST(ThresholdDispatch, EveryMethodGetsItsArguments) {
  const TDispatchCase cases[] = {
      {Settings(taStandard, 0, 0, 128), [](TDIB& i) { Threshold(i, 128, true, 0, 255); },
       [](TDIB& i) { Threshold(i, 127, true, 0, 255); }, "level = Brightness"},
      {Settings(taStandard, 3, 77, 300), [](TDIB& i) { Threshold(i, 44, true, 0, 255); },
       [](TDIB& i) { Threshold(i, 45, true, 0, 255); }, "level = low byte: 300 -> 44"},
      {Settings(taStandard, 0, 0, -1), [](TDIB& i) { Threshold(i, 255, true, 0, 255); },
       [](TDIB& i) { Threshold(i, 254, true, 0, 255); }, "level = low byte: -1 -> 255"},
      {Settings(taAuto, 0, 9, 9), [](TDIB& i) { AutoThreshold(i, 0, true, 0, 255); },
       [](TDIB& i) { Threshold(i, 128, true, 0, 255); }, "Otsu"},
      {Settings(taAuto, 3, 9, 9), [](TDIB& i) { AutoThreshold(i, 3, true, 0, 255); },
       [](TDIB& i) { AutoThreshold(i, 4, true, 0, 255); }, "Uniform Error"},
      {Settings(taAuto, 4, 9, 9), [](TDIB& i) { AutoThreshold(i, 4, true, 0, 255); },
       [](TDIB& i) { AutoThreshold(i, 0, true, 0, 255); }, "Standard Deviation"},
      {Settings(taAuto, 256 + 4, 9, 9), [](TDIB& i) { AutoThreshold(i, 4, true, 0, 255); },
       [](TDIB& i) { AutoThreshold(i, 0, true, 0, 255); }, "rule = low byte of Method"},
      {Settings(taDynamic, 0, 20, 100),
       [](TDIB& i) { DynamicThresholdMinMax(i, 5, 9, 20, 100, true, 0, 255); },
       [](TDIB& i) { DynamicThresholdMinMax(i, 9, 5, 20, 100, true, 0, 255); },
       "MinMax, window width then height"},
      {Settings(taDynamic, 0, 30, 200),
       [](TDIB& i) { DynamicThresholdMinMax(i, 5, 9, 30, 200, true, 0, 255); },
       [](TDIB& i) { DynamicThresholdMinMax(i, 5, 9, 200, 30, true, 0, 255); },
       "MinMax, contrast then brightness"},
      {Settings(taDynamic, 1, 20, 100),
       [](TDIB& i) { DynamicThresholdAverage(i, 5, 9, 20, 100, true, 0, 255); },
       [](TDIB& i) { DynamicThresholdAverage(i, 5, 9, 100, 20, true, 0, 255); },
       "Average, contrast then brightness"},
      {Settings(taDynamic, 1, 20, 100),
       [](TDIB& i) { DynamicThresholdAverage(i, 5, 9, 20, 100, true, 0, 255); },
       [](TDIB& i) { DynamicThresholdMinMax(i, 5, 9, 20, 100, true, 0, 255); },
       "Average is not MinMax"},
      {Settings(taAdvancedDynamic, 7, 20, 100),
       [](TDIB& i) { AdvancedDynamicThreshold(i, 5, 9, 20, true, 0, 255); },
       [](TDIB& i) { AdvancedDynamicThreshold(i, 9, 5, 20, true, 0, 255); },
       "Niblack, window width then height"},
      {Settings(taAdvancedDynamic, 7, 20, 100),
       [](TDIB& i) { AdvancedDynamicThreshold(i, 5, 9, 20, true, 0, 255); },
       [](TDIB& i) { AdvancedDynamicThreshold(i, 5, 9, 100, true, 0, 255); },
       "Niblack, contrast not brightness"},
      {Settings(taEdge, 7, 30, 4), [](TDIB& i) { EdgeThreshold(i, 30, 4, true, 0, 255); },
       [](TDIB& i) { EdgeThreshold(i, 4, 30, true, 0, 255); },
       "edge: sensitivity = Contrast, speck size = Brightness"},
      {Settings(taAdaptive, 7, 30, 100),
       [](TDIB& i) { AdaptiveThreshold(i, 5, 9, 30, 100, true, 0, 255); },
       [](TDIB& i) { AdaptiveThreshold(i, 5, 9, 100, 30, true, 0, 255); },
       "adaptive, contrast then brightness"},
      {Settings(taAdaptive, 7, 30, 100),
       [](TDIB& i) { AdaptiveThreshold(i, 5, 9, 30, 100, true, 0, 255); },
       [](TDIB& i) { AdaptiveThreshold(i, 9, 5, 30, 100, true, 0, 255); },
       "adaptive, window width then height"},
      {Settings(taBackgroundTracking, 7, 80, 128),
       [](TDIB& i) { BackgroundTrackingThreshold(i, 5, 9, 64, 256, 80 / 255.0, true, 0, 255); },
       [](TDIB& i) { BackgroundTrackingThreshold(i, 9, 5, 64, 256, 80 / 255.0, true, 0, 255); },
       "background tracking: window, range 64..256, contribution 80/255"},
      {Settings(taBackgroundTracking, 7, 80, 128),
       [](TDIB& i) { BackgroundTrackingThreshold(i, 5, 9, 64, 256, 80 / 255.0, true, 0, 255); },
       [](TDIB& i) { BackgroundTrackingThreshold(i, 5, 9, 64, 256, 0.0, true, 0, 255); },
       "background tracking: the contribution counts"},
      {Settings(taBackgroundTracking, 7, 200, -1),
       [](TDIB& i) { BackgroundTrackingThreshold(i, 5, 9, 0, -2, 200 / 255.0, true, 0, 255); },
       [](TDIB& i) { BackgroundTrackingThreshold(i, 5, 9, 64, 256, 200 / 255.0, true, 0, 255); },
       "background tracking: Brightness -1 gives the range 0..-2"},
      {Settings(taSauvola, 7, 30, 100), [](TDIB& i) { SauvolaThreshold(i, 5, 9, 30, 100); },
       [](TDIB& i) { SauvolaThreshold(i, 5, 9, 100, 30); }, "Sauvola, contrast then brightness"},
      {Settings(taSauvola, 7, 30, -1), [](TDIB& i) { SauvolaThreshold(i, 5, 9, 30, -1); },
       [](TDIB& i) { SauvolaThreshold(i, 9, 5, 30, -1); }, "Sauvola, window width then height"},
      {Settings(taWolfJolion, 7, 50, 100), [](TDIB& i) { WolfJolionThreshold(i, 5, 9, 50); },
       [](TDIB& i) { WolfJolionThreshold(i, 5, 9, 100); }, "Wolf-Jolion, contrast"},
      {Settings(taNick, 7, 15, 100), [](TDIB& i) { NickThreshold(i, 5, 9, 15); },
       [](TDIB& i) { NickThreshold(i, 9, 5, 15); }, "NICK, window width then height"},
      {Settings(taBackgroundNormalized, 7, 65, 11),
       [](TDIB& i) {
         BackgroundNormalizedThreshold(i, {5, 9, 65, 11});
       },
       [](TDIB& i) {
         BackgroundNormalizedThreshold(i, {9, 5, 65, 11});
       },
       "background-normalised: edge window width then height"},
      {Settings(taBackgroundNormalized, 7, 65, 11),
       [](TDIB& i) {
         BackgroundNormalizedThreshold(i, {5, 9, 65, 11});
       },
       [](TDIB& i) {
         BackgroundNormalizedThreshold(i, {5, 9, 11, 65});
       },
       "background-normalised: factor = Contrast, paper square = Brightness"},
  };
  for (const auto& c : cases) {
    auto image = VariedPage();
    EXPECT_TRUE(ApplyThresholding(*image, c.settings)) << c.why;
    EXPECT_EQ(image->Format(), df1Bit) << c.why;
    const auto dispatched = Pixels(*image);
    EXPECT_EQ(dispatched, Result(c.expected)) << c.why;
    EXPECT_NE(dispatched, Result(c.nearMiss)) << c.why << ": the near miss cannot be told apart";
  }
}

TEST(ThresholdDispatch, CasesWithoutAMethodLeaveThePixels) {
  const struct {
    std::int32_t algo;
    std::int32_t method;
    const char* why;
  } cases[] = {
      {taPEI, 0, "PEI has no method"},
      {12, 0, "beyond the method list"},
      {-1, 0, "below the method list"},
      {INT_MIN, 0, "far below"},
      {taDynamic, 2, "Dynamic with neither MinMax nor Average"},
      {taDynamic, -1, "Dynamic with a negative mode"},
      {taDynamic, 256, "the mode is compared whole, not by its low byte"},
  };
  const auto original = Pixels(*VariedPage());
  for (const auto& c : cases) {
    auto image = VariedPage();
    EXPECT_TRUE(ApplyThresholding(*image, Settings(c.algo, c.method, 30, 100))) << c.why;
    EXPECT_EQ(Pixels(*image), original) << c.why;
  }
}

TEST(ThresholdDispatch, OneBitImagesAreLeftAlone) {
  auto image = VariedPage();
  Threshold(*image, 128, true, 0, 255);
  const auto before = Pixels(*image);
  for (std::int32_t algo = -1; algo <= 12; ++algo) {
    EXPECT_FALSE(ApplyThresholding(*image, Settings(algo, 0, 30, 100))) << algo;
    EXPECT_EQ(Pixels(*image), before) << algo;
  }
}

// A 4-bit image whose palette is not gray: the method must see the gray levels of its colours.
std::unique_ptr<TDIB> FourBitPage() {
  auto image = std::make_unique<TDIB>();
  image->Allocate(kWidth, kHeight, df4Bit, 300, 300);
  for (std::int32_t i = 0; i < 16; ++i) {
    image->SetPaletteEntry(i, static_cast<std::uint32_t>(i * 0x0F0301 + (15 - i) * 0x000A00));
  }
  for (std::int32_t y = 0; y < kHeight; ++y) {
    for (std::int32_t x = 0; x < kWidth; ++x) image->SetPixel(x, y, (x + 3 * y) % 16);
  }
  return image;
}

TEST(ThresholdDispatch, FourBitImagesBecomeGrayFirst) {
  auto image = FourBitPage();
  ASSERT_TRUE(ApplyThresholding(*image, Settings(taStandard, 0, 0, 60)));
  auto expected = FourBitPage();
  expected->ConvertTo(df8Bit);
  Threshold(*expected, 60, true, 0, 255);
  EXPECT_EQ(Pixels(*image), Pixels(*expected));

  auto untouched = FourBitPage();
  ASSERT_TRUE(ApplyThresholding(*untouched, Settings(taPEI, 0, 0, 60)));
  auto converted = FourBitPage();
  converted->ConvertTo(df8Bit);
  EXPECT_EQ(Pixels(*untouched), Pixels(*converted)) << "converted even when no method runs";
}

// 5-bit channels of the varied page, with red, green and blue apart: (red, green, blue).
std::array<std::int32_t, 3> FiveBitChannels(std::int32_t x, std::int32_t y, std::int32_t gray) {
  return {gray >> 3, std::min(31, (gray >> 3) + x % 3), (255 - gray + y) % 256 >> 3};
}

// The varied page as 15- or 16-bit words (5-5-5, blue in the low bits).
std::unique_ptr<TDIB> WordPage(TDIBFormat format) {
  const auto gray = VariedPage();
  auto image = std::make_unique<TDIB>();
  image->Allocate(kWidth, kHeight, format, 300, 200);
  for (std::int32_t y = 0; y < kHeight; ++y) {
    for (std::int32_t x = 0; x < kWidth; ++x) {
      const auto [r, g, b] = FiveBitChannels(x, y, gray->GetPixel(x, y));
      image->SetPixel(x, y, r << 10 | g << 5 | b);
    }
  }
  return image;
}

// The same page stored as 24 bits, each channel c widened to round(c x 255 / 31), or, for the
// near miss, shifted left by 3.
std::unique_ptr<TDIB> TrueColourTwin(bool rounded) {
  const auto gray = VariedPage();
  auto image = std::make_unique<TDIB>();
  image->Allocate(kWidth, kHeight, df24Bit, 300, 200);
  const auto widen = [rounded](std::int32_t c) {
    return rounded ? static_cast<std::int32_t>(std::lround(c * 255.0 / 31)) : c << 3;
  };
  for (std::int32_t y = 0; y < kHeight; ++y) {
    for (std::int32_t x = 0; x < kWidth; ++x) {
      const auto [r, g, b] = FiveBitChannels(x, y, gray->GetPixel(x, y));
      image->SetPixel(x, y, widen(b) << 16 | widen(g) << 8 | widen(r));  // 0xBBGGRR
    }
  }
  return image;
}

TEST(ThresholdDispatch, WordImagesBinarizeAsTheirTrueColourTwins) {
  const struct {
    TThresholdSettings settings;
    const char* why;
  } cases[] = {
      {Settings(taStandard, 0, 0, 128), "fixed level"},
      {Settings(taAuto, 0, 0, 0), "Otsu over the histogram of the widened colours"},
      {Settings(taAuto, 3, 0, 0), "Uniform Error, which wants 8 bits"},
      {Settings(taDynamic, 0, 20, 100), "MinMax window"},
      {Settings(taDynamic, 1, 20, 100), "Average window"},
      {Settings(taAdvancedDynamic, 0, 20, 0), "Niblack"},
      {Settings(taEdge, 0, 30, 4), "edge thresholding"},
      {Settings(taPEI, 0, 0, 0), "no method: the twin is what is left"},
      {Settings(taAdaptive, 0, 30, 100), "adaptive"},
      {Settings(taBackgroundTracking, 0, 80, 128), "background tracking"},
  };
  for (const auto& c : cases) {
    auto twin = TrueColourTwin(true);
    ASSERT_TRUE(ApplyThresholding(*twin, c.settings)) << c.why;
    for (TDIBFormat format : {df15Bit, df16Bit}) {
      auto words = WordPage(format);
      EXPECT_TRUE(ApplyThresholding(*words, c.settings)) << c.why;
      EXPECT_EQ(Pixels(*words), Pixels(*twin)) << c.why << ", format " << int(format);
    }
  }
  auto words = WordPage(df16Bit);
  auto truncated = TrueColourTwin(false);
  ApplyThresholding(*words, Settings(taStandard, 0, 0, 128));
  ApplyThresholding(*truncated, Settings(taStandard, 0, 0, 128));
  EXPECT_NE(Pixels(*words), Pixels(*truncated)) << "the comparison must see how channels widen";
}

TEST(ThresholdDispatch, BackgroundTrackingArithmetic) {
  const struct {
    std::int32_t brightness;
    std::int32_t minLevel;
    std::int32_t maxLevel;
    const char* why;
  } cases[] = {
      {128, 64, 256, "the usual centre"},
      {5, 2, 10, "div truncates"},
      {-1, 0, -2, "div truncates toward zero"},
      {-3, -1, -6, "toward zero, not down"},
      {0, 0, 0, "zero"},
      {INT_MAX, INT_MAX / 2, -2, "the doubling wraps in 32 bits"},
      {INT_MIN, INT_MIN / 2, 0, "and at the other end"},
  };
  for (const auto& c : cases) {
    const auto args =
        BackgroundTrackingArguments(Settings(taBackgroundTracking, 0, 80, c.brightness));
    EXPECT_EQ(args.MinLevel, c.minLevel) << c.why;
    EXPECT_EQ(args.MaxLevel, c.maxLevel) << c.why;
    EXPECT_EQ(args.Contribution, 80 / 255.0);
  }
  EXPECT_NEAR(BackgroundTrackingArguments(Settings(7, 0, 80, 0)).Contribution, 0.3137, 1e-4);
  EXPECT_EQ(BackgroundTrackingArguments(Settings(7, 0, -255, 0)).Contribution, -1.0);
}

TEST(ThresholdDispatch, DefaultsAreTheStartingSettings) {
  const TThresholdSettings s;
  EXPECT_EQ(s, (TThresholdSettings{taStandard, 0, 128, 128, 7, 7, 80, 128, 200}));
}

}  // namespace
