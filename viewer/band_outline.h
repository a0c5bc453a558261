// The look of the rubber band's outline: a one-pixel line around the band, drawn as white
// dots on navy gaps, and the one-pixel strips that erasing it repaints from the display.
#pragma once

#include <cstdint>
#include <vector>

#include "image/dibunit.h"
#include "viewer/view_coordinates.h"

// Outline colours as 0xRRGGBB.
inline constexpr std::uint32_t kBandDotColor = 0xFFFFFF;  // white
inline constexpr std::uint32_t kBandGapColor = 0x000080;  // navy

struct TOutlinePixel {
  TPoint Position;
  bool Dot;  // a white dot; otherwise a navy gap
};

// Every pixel of the outline of a normalized rectangle, once each, walking from the top-left
// corner right, down, left and up; dots and gaps alternate along the walk, starting with a
// dot.
std::vector<TOutlinePixel> BandOutlinePixels(const TRect& rect);

// The outline as four one-pixel-wide rectangles, inclusive coordinates: the top and bottom
// rows and the left and right columns, which share the corners.
std::vector<TRect> BandOutlineStrips(const TRect& rect);
