// The three coordinate spaces of a view, and the only conversions between them.
//
//  - Source: pixels of the view's source graphic (the image at full resolution).
//  - Display: pixels of the display graphic (the source scaled to the zoom percent).
//  - Client: pixels of the view's client area. Display point (x, y) is painted at
//    (x + ImageLeft, y + ImageTop), where the image origin is the centering offset minus the
//    scroll position.
//
// All values are integer pixels. Display rectangles have Right and Bottom inclusive.
#pragma once

#include <cstdint>

#include "image/dibunit.h"

struct TPoint {
  std::int32_t X, Y;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

// Width and height of an image, a display or a client area.
struct TExtent {
  std::int32_t Width, Height;
  friend bool operator==(const TExtent&, const TExtent&) = default;
};

// ImageLeft (or ImageTop): where display column (row) 0 lies in the client area.
std::int32_t ImageOffset(std::int32_t centeringOffset, std::int32_t scrollPosition);

// Offset that centres a display extent in the outer view extent: half the free space,
// truncated, or 0 when the display does not fit.
std::int32_t CenteringOffset(std::int32_t viewExtent, std::int32_t displayExtent);

// Display and client positions; imageOrigin is (ImageLeft, ImageTop).
TPoint DisplayToClient(TPoint display, TPoint imageOrigin);
TPoint ClientToDisplay(TPoint client, TPoint imageOrigin);
TRect DisplayRectToClient(const TRect& display, TPoint imageOrigin);

// Display coordinate to source coordinate along one axis: Round(x x (source / display)),
// halves to even. A display extent of 0 maps everything to 0.
std::int32_t DisplayToSource(std::int32_t display, std::int32_t sourceExtent,
                             std::int32_t displayExtent);
// A display rectangle in source pixels, every side converted by DisplayToSource.
TRect DisplayRectToSource(const TRect& display, TExtent source, TExtent displayExtent);
