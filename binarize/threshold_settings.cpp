// The dispatch from the thresholding settings to the binarization methods.
#include "binarize/threshold_settings.h"

#include "binarize/adaptive_threshold.h"
#include "binarize/background_tracking.h"
#include "binarize/dynamic_threshold.h"
#include "binarize/edge_threshold.h"
#include "binarize/global_threshold.h"
#include "binarize/niblack_threshold.h"

namespace {

// Every method ends in a 1-bit image with dark pixels black.
constexpr bool kConvert = true;
constexpr std::uint8_t kLow = 0;
constexpr std::uint8_t kHigh = 255;

// The low 8 bits of a field as an unsigned byte: Brightness 300 is level 44, -1 is 255.
std::uint8_t LowByte(std::int32_t value) {
  return static_cast<std::uint8_t>(value & 0xFF);
}

}  // namespace

TBackgroundTrackingArguments BackgroundTrackingArguments(const TThresholdSettings& settings) {
  // Unsigned arithmetic gives the 32-bit wrap of the doubling without undefined behaviour.
  const auto doubled =
      static_cast<std::int32_t>(static_cast<std::uint32_t>(settings.Brightness) * 2u);
  return {settings.Brightness / 2, doubled, settings.Contrast / 255.0};
}

bool PrepareForThresholding(TDIB& image) {
  if (image.Format() == df1Bit) return false;
  if (image.BitCount() < 8) image.ConvertTo(df8Bit);
  return true;
}

void DispatchThresholding(TDIB& image, TThresholdSettings settings) {
  const auto& s = settings;
  switch (s.Algo) {
    case taStandard:
      Threshold(image, LowByte(s.Brightness), kConvert, kLow, kHigh);
      break;
    case taAuto:
      AutoThreshold(image, LowByte(s.Method), kConvert, kLow, kHigh);
      break;
    case taDynamic:
      if (s.Method == 0) {
        DynamicThresholdMinMax(image, s.AreaWidth, s.AreaHeight, s.Contrast, s.Brightness, kConvert,
                               kLow, kHigh);
      } else if (s.Method == 1) {
        DynamicThresholdAverage(image, s.AreaWidth, s.AreaHeight, s.Contrast, s.Brightness,
                                kConvert, kLow, kHigh);
      }
      break;
    case taAdvancedDynamic:
      AdvancedDynamicThreshold(image, s.AreaWidth, s.AreaHeight, s.Contrast, kConvert, kLow, kHigh);
      break;
    case taEdge:
      EdgeThreshold(image, s.Contrast, s.Brightness, kConvert, kLow, kHigh);
      break;
    case taAdaptive:
      AdaptiveThreshold(image, s.AreaWidth, s.AreaHeight, s.Contrast, s.Brightness, kConvert, kLow,
                        kHigh);
      break;
    case taBackgroundTracking: {
      const auto args = BackgroundTrackingArguments(s);
      BackgroundTrackingThreshold(image, s.AreaWidth, s.AreaHeight, args.MinLevel, args.MaxLevel,
                                  args.Contribution, kConvert, kLow, kHigh);
      break;
    }
    default:  // taPEI and values outside the method list call nothing
      break;
  }
}

bool ApplyThresholding(TDIB& image, TThresholdSettings settings) {
  if (!PrepareForThresholding(image)) return false;
  DispatchThresholding(image, settings);
  return true;
}
