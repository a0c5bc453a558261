// The neighbour differences behind the automatic contrast, |a[x] - b[x]| of two rows, built
// once per vector instruction set and chosen at run time.
#pragma once

#include <cstdint>

struct TDifferenceKernels {
  // d[x] = |a[x] - b[x]| for x < count.
  void (*absolute)(const std::uint8_t* a, const std::uint8_t* b, std::int32_t count,
                   std::uint8_t* d);
};

extern const TDifferenceKernels kSse2DifferenceKernels;
extern const TDifferenceKernels kAvx2DifferenceKernels;
extern const TDifferenceKernels kAvx512DifferenceKernels;

// The kernels of the active instruction set.
const TDifferenceKernels& DifferenceKernels();
