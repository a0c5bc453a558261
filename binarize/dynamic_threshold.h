// "Dynamic Thresholding": each pixel is decided against its window, and where the window is too
// flat to hold ink, against one global level.
//
// MinMax compares the pixel with the midpoint of its window's darkest and brightest values
// (LocalMinimum / LocalMaximum); Average marks pixels that differ from their window's mean
// (LocalMean) by more than Contrast and thresholds the rest at Brightness. Contrast is the
// least local contrast taken for ink, Brightness the fallback level; -1 (any negative value)
// picks each automatically by Otsu's rule, from the difference histogram and the gray
// histogram respectively. Bernsen's local midpoint method is the classic behind MinMax.
#pragma once

#include <cstdint>

#include "binarize/global_threshold.h"
#include "image/dibunit.h"

inline constexpr const char* kBadArea = "Bad AreaW or AreaH value";

// Window size must lie in 1..width by 1..height, else "Bad AreaW or AreaH value".
void DynamicThresholdMinMax(TDIB& image, std::int32_t areaW, std::int32_t areaH,
                            std::int32_t contrast, std::int32_t brightness, bool convert,
                            std::uint8_t lowValue, std::uint8_t highValue);
// Any window size is accepted.
void DynamicThresholdAverage(TDIB& image, std::int32_t areaW, std::int32_t areaH,
                             std::int32_t contrast, std::int32_t brightness, bool convert,
                             std::uint8_t lowValue, std::uint8_t highValue);

// Histogram of absolute differences between every interior pixel and its four neighbours.
void GetDifferenceHistogram(const TDIB& image, THistogram& histogram);
