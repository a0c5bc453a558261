// The rubber band's outline pixels and strips.
#include "viewer/band_outline.h"

std::vector<TOutlinePixel> BandOutlinePixels(const TRect& rect) {
  std::vector<TOutlinePixel> pixels;
  bool dot = true;
  auto add = [&](std::int32_t x, std::int32_t y) {
    pixels.push_back({{x, y}, dot});
    dot = !dot;
  };
  for (std::int32_t x = rect.Left; x <= rect.Right; ++x) add(x, rect.Top);
  for (std::int32_t y = rect.Top + 1; y <= rect.Bottom; ++y) add(rect.Right, y);
  if (rect.Bottom > rect.Top) {
    for (std::int32_t x = rect.Right - 1; x >= rect.Left; --x) add(x, rect.Bottom);
  }
  if (rect.Right > rect.Left) {
    for (std::int32_t y = rect.Bottom - 1; y > rect.Top; --y) add(rect.Left, y);
  }
  return pixels;
}

std::vector<TRect> BandOutlineStrips(const TRect& rect) {
  return {{rect.Left, rect.Top, rect.Right, rect.Top},
          {rect.Left, rect.Bottom, rect.Right, rect.Bottom},
          {rect.Left, rect.Top, rect.Left, rect.Bottom},
          {rect.Right, rect.Top, rect.Right, rect.Bottom}};
}
