// The neighbour differences behind the automatic contrast, |a[x] - b[x]| of two rows, split for
// counting. A page's differences are mostly small (paper noise); where the processor can pack
// bytes together (AVX-512 with VBMI2), the kernel counts the small ones itself with one compare
// per value and hands only the others on to be counted in memory. Elsewhere it hands on every
// difference. Built once per vector instruction set and chosen at run time.
#pragma once

#include <cstdint>

// The differences below this that the kernel may count itself.
constexpr std::int32_t kSmallDifferences = 10;

struct TDifferenceKernels {
  // For x < count: adds one to small[|a[x] - b[x]|], or writes that difference to rest;
  // returns how many it wrote. rest has room for count + 64 bytes.
  std::int32_t (*split)(const std::uint8_t* a, const std::uint8_t* b, std::int32_t count,
                        std::uint8_t* rest, std::uint64_t* small);
};

extern const TDifferenceKernels kSse2DifferenceKernels;
extern const TDifferenceKernels kAvx2DifferenceKernels;
extern const TDifferenceKernels kAvx512DifferenceKernels;
// Needs VBMI2 besides the AVX-512 level's extensions.
extern const TDifferenceKernels kAvx512Vbmi2DifferenceKernels;

// The kernels of the active instruction set, with VBMI2 when the processor has it.
const TDifferenceKernels& DifferenceKernels();
