// The row loops of the window methods, built once per vector instruction set and chosen at
// run time: column sums of a band of rows, window sums along the row as running sums, and
// the per-pixel decisions of the Average mode and of Niblack's rule made on those sums.
//
// Buffers named "padded" hold a whole number of 16-pixel groups (length is a multiple of 16)
// and may be read and written up to that length; rows of an image are read only up to width.
// The decisions of a row are made from pixel start on, out[0] being pixel start, so that the
// whole groups of a row can land straight in the image and the last one in a padded buffer.
#pragma once

#include <cstdint>
#include <cstring>

#include "platform/cpu_features.h"

// One row of the Average mode: window sums and per-column thresholds in, final values out.
struct TMeanRow {
  const std::uint32_t* sums;   // window sum per column (padded)
  const std::int32_t* counts;  // pixels per window, below 2^15 (padded)
  const std::int32_t* limits;  // (2 contrast + 1) counts - 1 (padded)
  const std::uint8_t* values;  // the pixels (padded)
  std::uint8_t* out;           // pixels start .. length - 1
  std::int32_t start;          // multiple of 16
  std::int32_t length;         // multiple of 16
  std::int32_t contrast;       // 0 .. 255
  std::uint8_t level;          // the final threshold's level
  std::uint8_t low, high;      // the final threshold's values
  std::uint8_t darkValue;      // what a pixel decided dark ends as
  std::uint8_t brightValue;    // what a pixel decided bright ends as
};

// How far the float reciprocal of a window's count can be trusted: for the mean only, for the
// mean and the deviation, or for neither (each quotient corrected from its remainder).
enum class TNiblackDivision : std::int32_t { kCorrected, kExactMean, kExactRoot };

// One row of Niblack's rule.
struct TNiblackRow {
  const std::uint32_t* sums;     // window sum per column (padded)
  const std::uint32_t* squares;  // window sum of squares per column (padded)
  const std::int32_t* counts;    // pixels per window, below 2^15 (padded)
  const float* reciprocals;      // WindowReciprocal(counts) (padded)
  const std::uint8_t* values;    // the pixels (padded)
  std::uint8_t* out;             // pixels start .. length - 1
  std::int32_t start;            // multiple of 16
  std::int32_t length;           // multiple of 16
  std::int32_t k256;             // trunc(256 k), |k256| below 2^15
  std::uint8_t white, black;     // values for pixels at or above the level, and below it
  TNiblackDivision division;     // by the largest count of the image's windows
};

// Windows of fewer pixels than this get their mean, floor(sum / count) of 8-bit values, as
// trunc(float(sum) * WindowReciprocal(count)) with no correction.
constexpr std::int32_t kExactMeanWindow = 1 << 14;
// Windows of fewer pixels than this get their deviation, floor(sqrt(floor(spread / count))),
// as trunc(sqrt(float(spread) * WindowReciprocal(count))) with no correction.
constexpr std::int32_t kExactRootWindow = 1 << 8;

// 1 / count rounded up to the next float, so that a product with a multiple of count never
// falls below the quotient.
float WindowReciprocal(std::int32_t count);

// Runs kernel(row) for pixels 0 .. width - 1: whole groups straight into target, the last
// partial group through row.out (padded).
template <class TRow, class TKernel>
void DecideRow(TKernel kernel, TRow row, std::uint8_t* target, std::int32_t width) {
  const std::int32_t whole = width / 16 * 16;
  std::uint8_t* const buffer = row.out;
  if (whole > 0) {
    row.out = target;
    row.start = 0;
    row.length = whole;
    kernel(row);
  }
  if (whole == width) return;
  row.out = buffer;
  row.start = whole;
  row.length = whole + 16;
  kernel(row);
  std::memcpy(target + whole, buffer, static_cast<std::size_t>(width - whole));
}

struct TRowKernels {
  // sums[x] += entering[x] - leaving[x] (and squares[x] likewise with squares, when not null)
  // for x < width; entering and leaving are image rows.
  void (*replaceRow)(std::uint32_t* sums, std::uint32_t* squares, const std::uint8_t* entering,
                     const std::uint8_t* leaving, std::int32_t width);
  // out[x] = columns[x - reach] + ... + columns[x + reach], modulo 2^32, over padded length;
  // columns is read from reach + 1 before its start to reach past length.
  void (*windowSums)(const std::uint32_t* columns, std::int32_t reach, std::uint32_t* out,
                     std::int32_t length);
  void (*meanRow)(const TMeanRow& row);
  void (*niblackRow)(const TNiblackRow& row);
};

extern const TRowKernels kSse2RowKernels;
extern const TRowKernels kAvx2RowKernels;
extern const TRowKernels kAvx512RowKernels;

// The kernels of the active instruction set.
const TRowKernels& RowKernels();
