// Bi-level pictures drawn as text for test tables: rows of '#' (black) and '.' (anything else).
#pragma once

#include <string>
#include <vector>

#include "image/dibunit.h"

// Black is the black palette index of a 1-bit image and the value 0 of an 8-bit one.
inline std::vector<std::string> InkDrawing(const TDIB& image) {
  const std::int32_t black = image.Format() == df1Bit ? image.BlackIndex() : 0;
  std::vector<std::string> rows;
  for (std::int32_t y = 0; y < image.Height(); ++y) {
    std::string row;
    for (std::int32_t x = 0; x < image.Width(); ++x) {
      row += image.GetPixel(x, y) == black ? '#' : '.';
    }
    rows.push_back(row);
  }
  return rows;
}
