// The ink of a bi-level page as one byte per pixel (1 = ink, 0 = background), the form every
// quality metric reads. Results and ground truths of any depth the image library reads become
// masks the same way: a pixel is ink when its gray value is below 128.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image/dibunit.h"

struct TInkMask {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::vector<std::uint8_t> Ink;  // row by row from the top, Width x Height entries

  std::uint8_t At(std::int32_t x, std::int32_t y) const {
    return Ink[static_cast<std::size_t>(y) * Width + x];
  }
};

// The gray value from which a pixel counts as background.
inline constexpr std::int32_t kInkBelow = 128;

// The mask of an image: the colour-table entry of palette images, the weighted gray of
// true-colour and 15/16-bit pixels, compared with kInkBelow. The image is left as it is.
TInkMask InkMaskOf(const TDIB& image);

// Reads the first page of an image file and makes its mask (the image readers' errors
// propagate).
TInkMask ReadInkMask(const std::string& fileName);
