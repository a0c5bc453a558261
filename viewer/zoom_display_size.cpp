// Display sizes of a zoom percent and the display size limit.
#include "viewer/zoom_display_size.h"

#include <bit>
#include <cmath>

namespace {

// Far above any limit, far below the 64-bit range.
constexpr double kSaturation = 1099511627776.0;  // 2^40

}  // namespace

std::int64_t DisplayExtent(std::int32_t sourceExtent, float zoomPercent) {
  double extent = sourceExtent * (static_cast<double>(zoomPercent) / 100.0);
  if (!(extent >= 1.0)) return 1;  // also NaN
  if (extent >= kSaturation) return static_cast<std::int64_t>(kSaturation);
  return static_cast<std::int64_t>(std::trunc(extent));
}

bool DisplayFits(TExtent source, float zoomPercent) {
  std::int64_t width = DisplayExtent(source.Width, zoomPercent);
  std::int64_t height = DisplayExtent(source.Height, zoomPercent);
  return width <= kMaxDisplaySide && height <= kMaxDisplaySide &&
         width * height <= kMaxDisplayPixels;
}

float CappedZoomPercent(TExtent source, float zoomPercent) {
  if (DisplayFits(source, zoomPercent)) return zoomPercent;
  // Positive floats are ordered as their bit patterns, and a display only grows with the
  // percent: search the bit patterns for the last one that fits. Pattern 0 (zero) gives a
  // 1 x 1 display, which always fits.
  std::uint32_t fits = 0;
  std::uint32_t fails =
      std::bit_cast<std::uint32_t>(std::isnan(zoomPercent) ? INFINITY : zoomPercent);
  while (fails - fits > 1) {
    std::uint32_t middle = fits + (fails - fits) / 2;
    if (DisplayFits(source, std::bit_cast<float>(middle))) {
      fits = middle;
    } else {
      fails = middle;
    }
  }
  return std::bit_cast<float>(fits);
}

TExtent DisplaySize(TExtent source, float zoomPercent) {
  auto limited = [](std::int64_t extent) {
    return static_cast<std::int32_t>(extent < kMaxDisplaySide ? extent : kMaxDisplaySide);
  };
  return {limited(DisplayExtent(source.Width, zoomPercent)),
          limited(DisplayExtent(source.Height, zoomPercent))};
}
