// Plain views of 8-bit pixel planes for the window filters, and the checks every filter makes
// on its source and destination before touching a pixel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "image/dibunit.h"

// Rows of width bytes, height of them, each step bytes after the one above (step may be
// negative: images store their rows bottom-up).
struct TPlane {
  std::uint8_t* origin;
  std::ptrdiff_t step;
  std::int32_t width;
  std::int32_t height;
  std::uint8_t* Row(std::int64_t y) const { return origin + static_cast<std::ptrdiff_t>(y) * step; }
};

// The pixel plane of a non-empty 8-bit image.
TPlane PlaneOf(const TDIB& image);

// An inclusive range of rows or columns.
struct TSpan {
  std::int32_t first;
  std::int32_t last;
};

// Half-width of LocalMean's window along an axis of size pixels: max(1, (area + 1) div 2),
// cut to size - 1 when it reaches across the whole axis.
std::int32_t MeanRadius(std::int32_t area, std::int32_t size);

// Fails with the 8-bit message unless the image is 8-bit.
void Require8Bit(const TDIB& image);
// The methods' first step: a 24-bit image becomes 8-bit gray; anything else not 8-bit fails
// with the 8-bit message, before any pixel changes.
void GrayFrom24Bit(TDIB& image);
// The same for methods that accept any depth that converts to 8-bit (1, 4 and 24 bits);
// 15- and 16-bit images have no such conversion and fail.
void GrayFromAnyDepth(TDIB& image);
// A blank 8-bit image with the gray palette, of the image's size and resolution.
std::unique_ptr<TDIB> BlankLike(const TDIB& image);

// Checks that source and destination are 8-bit images of one size. When they are the same
// image, keeps a copy of the source in holder and returns it, so that a filter never reads
// pixels it has already overwritten.
const TDIB& FilterSource(const TDIB& source, const TDIB& destination,
                         std::unique_ptr<TDIB>& holder);
