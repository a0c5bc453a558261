// The thresholding settings, one small record of nine integers that chooses the binarization
// method and its parameters, and the dispatch that binarizes an image with it.
//
// What each method reads from the record, and what the fields mean for it, is described once
// in the method catalog (binarize/method_catalog.h), from which the batch command's help, the
// settings dialog, the slider captions and the README's table are made.
// Contribute, Min and Max are kept and restored only; no method reads them.
#pragma once

#include <cstdint>

#include "binarize/background_normalized.h"
#include "image/dibunit.h"

enum TThresholdAlgo : std::int32_t {
  taStandard = 0,
  taAuto = 1,
  taDynamic = 2,
  taAdvancedDynamic = 3,
  taEdge = 4,
  taPEI = 5,
  taAdaptive = 6,
  taBackgroundTracking = 7,
  // Methods added after the eight above; stored settings keep the numbers of those.
  taSauvola = 8,
  taWolfJolion = 9,
  taNick = 10,
  taBackgroundNormalized = 11
};

struct TThresholdSettings {
  std::int32_t Algo = taStandard;
  std::int32_t Method = 0;
  std::int32_t Contrast = 128;
  std::int32_t Brightness = 128;
  std::int32_t AreaWidth = 7;
  std::int32_t AreaHeight = 7;
  std::int32_t Contribute = 80;
  std::int32_t Min = 128;
  std::int32_t Max = 200;

  bool operator==(const TThresholdSettings&) const = default;
};

// The arguments background tracking receives: the gray range from Brightness div 2 to
// Brightness x 2 (a 32-bit doubling that wraps like the machine's) and the contribution
// Contrast / 255.
struct TBackgroundTrackingArguments {
  std::int32_t MinLevel;
  std::int32_t MaxLevel;
  double Contribution;
};
TBackgroundTrackingArguments BackgroundTrackingArguments(const TThresholdSettings& settings);

// The parameters background-normalised thresholding receives: the edge window AreaWidth x
// AreaHeight, the deviation factor Contrast / 100 and the paper square's side Brightness.
TBackgroundNormalizedParameters BackgroundNormalizedParameters(const TThresholdSettings& settings);

// Readies image for a method: false for a 1-bit image, which is already binary and is left
// alone; a 4-bit image becomes 8-bit gray; a 15- or 16-bit image becomes its 24-bit twin,
// which every method takes to gray; 8- and 24-bit images are passed on as they are.
bool PrepareForThresholding(TDIB& image);

// Calls the method that settings.Algo chooses on a prepared image, turning it into a 1-bit
// image (dark pixels black). Algo 5, an Algo outside 0..11 and Dynamic with a Method other
// than 0 or 1 call nothing. A method's failure propagates; the image may be partly processed.
void DispatchThresholding(TDIB& image, TThresholdSettings settings);

// PrepareForThresholding, then DispatchThresholding when it answered true. Returns whether
// the image was taken on (false only for a 1-bit image), which is what marks a result as
// modified.
bool ApplyThresholding(TDIB& image, TThresholdSettings settings);
