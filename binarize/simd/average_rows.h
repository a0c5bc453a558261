// The Average mode of Dynamic Thresholding in one pass down the image: window sums in 32-bit
// lanes, the contrast test made on the sums without dividing, and the final threshold at the
// brightness level, with no page-sized mean image in between.
#pragma once

#include <cstdint>

#include "image/dibunit.h"

// What the pass needs besides the window: contrast (at least 0), the final threshold's level
// and its two values.
struct TAverageRule {
  std::int32_t contrast;
  std::uint8_t level;
  std::uint8_t low;
  std::uint8_t high;
};

// Decides every pixel of the 8-bit image in place as the mean test and the threshold at
// rule.level would, LocalMean's window for areaW x areaH. Returns false, the image untouched,
// when a window holds 2^15 pixels or more (the lanes' products would not fit).
bool AverageRowsByBand(TDIB& image, std::int32_t areaW, std::int32_t areaH,
                       const TAverageRule& rule);
