// The size of a view's display graphic for a zoom percent, and the limit it is kept within.
//
// A display extent is Trunc(source extent x (percent / 100)), at least 1, computed in 64 bits
// so that no zoom overflows. A display may be at most kMaxDisplaySide pixels on either side
// and kMaxDisplayPixels pixels in all: a zoom that would pass that (a file claiming 1 dpi
// shown at its physical size, a fit mode on a thin strip) is lowered to the largest zoom that
// fits, so one view never asks for gigabytes.
#pragma once

#include <cstdint>

#include "viewer/view_coordinates.h"

inline constexpr std::int64_t kMaxDisplaySide = 32767;
inline constexpr std::int64_t kMaxDisplayPixels = std::int64_t{1} << 28;

// One display extent; saturates far above the limit instead of overflowing (also for an
// infinite zoom). A NaN or negative zoom gives 1.
std::int64_t DisplayExtent(std::int32_t sourceExtent, float zoomPercent);

// Whether the display of source at zoomPercent stays within the limit.
bool DisplayFits(TExtent source, float zoomPercent);

// zoomPercent when its display fits, otherwise the largest float percent whose display fits.
float CappedZoomPercent(TExtent source, float zoomPercent);

// The display size at a percent that fits (see CappedZoomPercent).
TExtent DisplaySize(TExtent source, float zoomPercent);
