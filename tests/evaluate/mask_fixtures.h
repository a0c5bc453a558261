// Ink masks drawn as text for the evaluator's tests: '#' is ink, '.' background, one string
// per row.
#pragma once

#include <string>
#include <vector>

#include "evaluate/ink_mask.h"

inline TInkMask MaskOf(const std::vector<std::string>& rows) {
  TInkMask mask{rows.empty() ? 0 : static_cast<std::int32_t>(rows[0].size()),
                static_cast<std::int32_t>(rows.size()),
                {}};
  for (const std::string& row : rows) {
    for (const char c : row) mask.Ink.push_back(c == '#' ? 1 : 0);
  }
  return mask;
}

// A blank mask of a size, with the listed pixels set to ink.
inline TInkMask BlankMask(std::int32_t width, std::int32_t height,
                          const std::vector<std::pair<std::int32_t, std::int32_t>>& ink = {}) {
  TInkMask mask{width, height, std::vector<std::uint8_t>(std::size_t(width) * height, 0)};
  for (const auto& [x, y] : ink) mask.Ink[std::size_t(y) * width + x] = 1;
  return mask;
}
