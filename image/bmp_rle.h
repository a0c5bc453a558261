// The run-length coded pixels of a bitmap file (8-bit and 4-bit indices).
#pragma once

#include <cstdint>

#include "image/bmp_layout.h"

// Decodes the runs that start at layout.pixelOffset (from `start`, the file's first byte)
// and end at the end-of-bitmap code or at `available`, into the image's bottom-up rows:
// `rows` is the stored bottom row, `stride` the bytes from one stored row to the next, and
// rows must be zero-filled, since pixels that a delta or an end of line skips keep index 0.
// Pixels coded into a row's padding are dropped. A run or a delta that would leave the
// stored row, a run past the last row and data that ends before the image is complete are
// refused as an invalid bitmap.
void DecodeBitmapRuns(TStream& stream, std::int64_t start, std::int64_t available,
                      const TBitmapLayout& layout, std::uint8_t* rows, std::int64_t stride);
