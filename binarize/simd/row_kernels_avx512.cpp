// The window methods' row loops in AVX-512 lanes: built with AVX-512 F/BW/DQ/VL, run only when the
// processor has them. This source includes nothing with inline functions shared with other sources
// (only the intrinsics and plain declarations), so no code built for its instruction set can stand
// in for baseline code.
#include <immintrin.h>

#include <cstdint>

#include "binarize/simd/row_kernels.h"
// clang-format off
#include "binarize/simd/lanes_avx512.h"
#include "binarize/simd/row_kernels_body.h"
// clang-format on

const TRowKernels kAvx512RowKernels = KernelsOf<TAvx512Lanes>();
