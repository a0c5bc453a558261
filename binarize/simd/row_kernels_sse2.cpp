// The window methods' row loops in SSE2 lanes: the baseline every x86-64 processor runs. This
// source includes nothing with inline functions shared with other sources (only the intrinsics and
// plain declarations), so no code built for its instruction set can stand in for baseline code.
#include <immintrin.h>

#include <cstdint>

#include "binarize/simd/row_kernels.h"
// clang-format off
#include "binarize/simd/lanes_sse2.h"
#include "binarize/simd/row_kernels_body.h"
// clang-format on

const TRowKernels kSse2RowKernels = KernelsOf<TSse2Lanes>();
