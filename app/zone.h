// The zone the next update processes: the whole image, or a band's rectangle in source
// pixels with Right and Bottom inclusive. "Whole image" is a state of its own, so that a band
// one pixel wide or high (Right = Left) is processed as that column or row.
#pragma once

#include <string>

#include "image/dibunit.h"

struct TZone {
  bool WholeImage = true;
  TRect Rect{0, 0, 0, 0};

  static TZone Whole() { return {}; }
  static TZone Band(const TRect& rect) { return {false, rect}; }
};

// The status bar's zone panel: "Full Image" or "Area 10,20 - 300,400".
std::string ZonePanelText(const TZone& zone);
// The rectangle to cut: the band's, or (0, 0, width - 1, height - 1) for the whole image.
TRect ZoneRectangle(const TZone& zone, std::int32_t width, std::int32_t height);
