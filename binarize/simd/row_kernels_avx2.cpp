// The window methods' row loops in AVX2 lanes: built with -mavx2, run only when the processor has
// AVX2. This source includes nothing with inline functions shared with other sources (only the
// intrinsics and plain declarations), so no code built for its instruction set can stand in for
// baseline code.
#include <immintrin.h>

#include <cstdint>

#include "binarize/simd/row_kernels.h"
// clang-format off
#include "binarize/simd/lanes_avx2.h"
#include "binarize/simd/row_kernels_body.h"
// clang-format on

const TRowKernels kAvx2RowKernels = KernelsOf<TAvx2Lanes>();
