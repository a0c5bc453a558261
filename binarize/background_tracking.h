// "Background Tracking Thresholding": each interior pixel is compared with a level that blends
// its window's mean (LocalMean) with the midpoint of a fixed range:
// L = round(w * mean + (1 - w) * round((MinLevel + MaxLevel) / 2)), ink when pixel <= L.
// Contribution w is clamped to 0..1 (NaN counts as 0). The one-pixel border frame, and so any
// image under three pixels wide or high, is thresholded plainly at 128.
#pragma once

#include <cstdint>

#include "image/dibunit.h"

void BackgroundTrackingThreshold(TDIB& image, std::int32_t areaW, std::int32_t areaH,
                                 std::int32_t minLevel, std::int32_t maxLevel, double contribution,
                                 bool convert, std::uint8_t lowValue, std::uint8_t highValue);
