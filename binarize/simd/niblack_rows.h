// Niblack's rule in one pass down the image on window sums kept in 32-bit lanes: the mean and
// the deviation through a float reciprocal, corrected to exact integers where floats alone
// cannot promise them, the level test made in integers. No page-sized image in between.
#pragma once

#include <cstdint>

#include "binarize/window_filters_plane.h"

// The window of Niblack's rule: rows of the band, odd count of columns of the run.
struct TNiblackWindow {
  std::int32_t rows;
  std::int32_t columns;
};

// Writes white (at or above the level) or black for every pixel of in into out, a plane of the
// same size that may be in itself. Returns false, writing nothing, when a window holds 2^15
// pixels or more, or when trunc(256 k) lies outside the signed 16-bit range.
bool NiblackRowsByBand(const TPlane& in, const TPlane& out, TNiblackWindow window, double k,
                       std::uint8_t white, std::uint8_t black);
