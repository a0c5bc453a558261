// "Adaptive Thresholding": near edges a pixel is compared with the midpoint of its window's
// darkest and brightest values; elsewhere one global level applies.
//
// Edges are the Sobel gradient magnitude smoothed by a 7 x 7 box mean; a pixel is decided
// locally where that reaches Contrast. The window (WindowMinimum / WindowMaximum) has
// half-widths AreaW div 2 and AreaH div 2, clipped at the borders. Contrast and Brightness
// at -1 (any negative value) are chosen by Otsu's rule; both are capped at 255.
#pragma once

#include <cstdint>

#include "image/dibunit.h"

// |gx| + |gy| of the 3 x 3 Sobel operators, capped at 255, with the border rows and columns
// repeated outside the image; destination must be 8-bit of the image's size.
void SobelMagnitude(const TDIB& image, TDIB& destination);

// Returns the brightness level finally applied.
std::int32_t AdaptiveThreshold(TDIB& image, std::int32_t areaW, std::int32_t areaH,
                               std::int32_t contrast, std::int32_t brightness, bool convert,
                               std::uint8_t lowValue, std::uint8_t highValue);
