// The row loops of the window rules (Sauvola, Wolf-Jolion, NICK), built once per vector
// instruction set and chosen at run time. Each evaluates its rule for a whole row in double
// lanes from the row's window sums, with the very IEEE operations, in the very order, of the
// rule's definition in window_rules.h, so every pixel's decision equals the per-pixel walk's.
//
// Buffers hold a whole number of 16-pixel groups (length is a multiple of 16) and may be read
// and written up to that length.
#pragma once

#include <cstdint>

// One row of window moments: mean = double(sums[x]) * reciprocals[x], meanSquare likewise with
// squares. Columns past the image's width have a reciprocal of 0, so a zero window.
struct TRuleRow {
  const std::uint32_t* sums;     // window sum per column, below 2^31
  const std::uint32_t* squares;  // window sum of squares per column, below 2^31
  const double* reciprocals;     // 1.0 / pixels in the column's window
  const std::uint8_t* values;    // the pixels
  std::uint8_t* out;             // 255 where the pixel is above its level, else 0
  std::int32_t length;           // multiple of 16
};

struct TWindowRuleKernels {
  // max(largest, every variance meanSquare - mean * mean of the row).
  double (*largestVariance)(const TRuleRow& row, double largest);
  // Level m * (1 + k * (s * reciprocal - 1)).
  void (*sauvolaRow)(const TRuleRow& row, double k, double reciprocal);
  // Level m - k * (1 - s * reciprocal) * (m - darkest).
  void (*wolfJolionRow)(const TRuleRow& row, double k, double reciprocal, double darkest);
  // Level m + k * sqrt(meanSquare).
  void (*nickRow)(const TRuleRow& row, double k);
};

extern const TWindowRuleKernels kSse2WindowRuleKernels;
extern const TWindowRuleKernels kAvx2WindowRuleKernels;
extern const TWindowRuleKernels kAvx512WindowRuleKernels;

// The kernels of the active instruction set.
const TWindowRuleKernels& WindowRuleKernels();
