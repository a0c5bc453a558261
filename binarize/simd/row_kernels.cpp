// Chooses the row loops of the active instruction set, and makes the reciprocals their
// divisions use.
#include "binarize/simd/row_kernels.h"

#include <cmath>

const TRowKernels& RowKernels() {
  return ActiveOf(kSse2RowKernels, kAvx2RowKernels, kAvx512RowKernels);
}

float WindowReciprocal(std::int32_t count) {
  const float nearest = 1.0f / static_cast<float>(count);
  // The double product is exact: a float times a count below 2^29.
  if (static_cast<double>(nearest) * count >= 1.0) return nearest;
  return std::nextafter(nearest, 2.0f);
}
