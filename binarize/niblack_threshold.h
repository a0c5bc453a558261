// "Advanced Dynamic Thresholding", Niblack's rule (W. Niblack, An Introduction to Digital
// Image Processing, 1986): a pixel is ink when it is darker than its window's mean plus k times
// the window's standard deviation, with k = -Contrast / 100 (Contrast 16 gives k = -0.16).
//
// Mean and variance use truncating integer division and an integer square root; the window
// grows from the top and left borders, slides, and shrinks toward the bottom and right ones,
// staying centred on the pixel.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

#include "binarize/window_filters_plane.h"
#include "image/dibunit.h"

// floor(sqrt(v)) for v = 0 .. 129^2 - 1, which covers every variance of 8-bit values.
inline constexpr std::int32_t kSquareRootTableSize = 16641;
using TSquareRootTable = std::array<std::uint8_t, kSquareRootTableSize>;
// Built on first use, once, safely from any thread.
const TSquareRootTable& SquareRootTable();

// The rows of the band for output row y. Rows enter one by one from the top, an output row
// following every odd count; the band then slides with exactly `rows` rows and finally gives
// up rows one by one at the bottom, an output row following every odd count left. An even
// band thus reaches one row further down than up while it slides.
TSpan NiblackBand(std::int32_t y, std::int32_t rows, std::int32_t height);
// The run of columns for column x: always odd, so always centred.
inline TSpan NiblackRun(std::int32_t x, std::int32_t columns, std::int32_t width) {
  const std::int32_t reach = std::min({x, width - 1 - x, columns / 2});
  return TSpan{x - reach, x + reach};
}

// Writes 255 (not darker than the rule's level) or 0 into every pixel of destination, an
// 8-bit image of source's size. AreaH must be at least 1 and AreaW at least 0, else
// "Bad AreaW or AreaH value".
void NiblackBinarize(const TDIB& source, TDIB& destination, std::int32_t areaW, std::int32_t areaH,
                     double k);

void AdvancedDynamicThreshold(TDIB& image, std::int32_t areaW, std::int32_t areaH,
                              std::int32_t contrast, bool convert, std::uint8_t lowValue,
                              std::uint8_t highValue);
