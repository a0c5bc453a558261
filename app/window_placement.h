// Where the slider window stands beside a zone: right of the band and level with its top;
// left of it where the screen is too narrow, aligned with its bottom where it is too short.
#pragma once

#include <cstdint>

#include "image/dibunit.h"

struct TScreenPoint {
  std::int32_t X, Y;
  bool operator==(const TScreenPoint&) const = default;
};

// band: the band in screen coordinates (inclusive); screen: the available geometry of the
// screen that holds the band's top-left corner (Right and Bottom inclusive); width, height:
// the slider window's outer size. Answers the window's new top-left corner.
TScreenPoint PlaceThresholdingWindow(const TRect& band, const TRect& screen, std::int32_t width,
                                     std::int32_t height);
