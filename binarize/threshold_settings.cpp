// The dispatch from the thresholding settings to the binarization methods.
#include "binarize/threshold_settings.h"

#include "binarize/adaptive_threshold.h"
#include "binarize/background_normalized.h"
#include "binarize/background_tracking.h"
#include "binarize/dynamic_threshold.h"
#include "binarize/edge_threshold.h"
#include "binarize/global_threshold.h"
#include "binarize/niblack_threshold.h"
#include "binarize/window_rules.h"
#include "image/five_bit_channels.h"

namespace {

// Every method ends in a 1-bit image with dark pixels black.
constexpr bool kConvert = true;
constexpr std::uint8_t kLow = 0;
constexpr std::uint8_t kHigh = 255;

// The low 8 bits of a field as an unsigned byte: Brightness 300 is level 44, -1 is 255.
std::uint8_t LowByte(std::int32_t value) {
  return static_cast<std::uint8_t>(value & 0xFF);
}

// A 15- or 16-bit image (5-5-5 words) becomes its 24-bit twin, each channel widened to
// 8 bits, so that every method then takes it to gray as it takes a 24-bit image.
void WidenToTrueColour(TDIB& image) {
  const auto words = image.Duplicate();
  image.Allocate(words->Width(), words->Height(), df24Bit, words->XResolution(),
                 words->YResolution());
  for (std::int32_t y = 0; y < image.Height(); ++y) {
    const std::uint8_t* from = words->Row(y);
    std::uint8_t* to = image.Row(y);
    for (std::int32_t x = 0; x < image.Width(); ++x, from += 2, to += 3) {
      const std::uint32_t word = from[0] | from[1] << 8;
      to[0] = WidenFiveBits(word & 0x1F);
      to[1] = WidenFiveBits(word >> 5 & 0x1F);
      to[2] = WidenFiveBits(word >> 10 & 0x1F);
    }
  }
}

}  // namespace

TBackgroundTrackingArguments BackgroundTrackingArguments(const TThresholdSettings& settings) {
  // Unsigned arithmetic gives the 32-bit wrap of the doubling without undefined behaviour.
  const auto doubled =
      static_cast<std::int32_t>(static_cast<std::uint32_t>(settings.Brightness) * 2u);
  return {settings.Brightness / 2, doubled, settings.Contrast / 255.0};
}

TBackgroundNormalizedParameters BackgroundNormalizedParameters(const TThresholdSettings& settings) {
  return {settings.AreaWidth, settings.AreaHeight, settings.Contrast, settings.Brightness};
}

bool PrepareForThresholding(TDIB& image) {
  if (image.Format() == df1Bit) return false;
  if (image.BitCount() < 8) image.ConvertTo(df8Bit);
  if (image.Format() == df15Bit || image.Format() == df16Bit) WidenToTrueColour(image);
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
    case taSauvola:
      SauvolaThreshold(image, s.AreaWidth, s.AreaHeight, s.Contrast, s.Brightness);
      break;
    case taWolfJolion:
      WolfJolionThreshold(image, s.AreaWidth, s.AreaHeight, s.Contrast);
      break;
    case taNick:
      NickThreshold(image, s.AreaWidth, s.AreaHeight, s.Contrast);
      break;
    case taBackgroundNormalized:
      BackgroundNormalizedThreshold(image, BackgroundNormalizedParameters(s));
      break;
    default:  // taPEI and values outside the method list call nothing
      break;
  }
}

bool ApplyThresholding(TDIB& image, TThresholdSettings settings) {
  if (!PrepareForThresholding(image)) return false;
  DispatchThresholding(image, settings);
  return true;
}
