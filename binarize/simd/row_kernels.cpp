// Chooses the row loops of the active instruction set.
#include "binarize/simd/row_kernels.h"

const TRowKernels& RowKernels() {
  switch (ActiveSimd()) {
    case TSimdLevel::kAvx512:
      return kAvx512RowKernels;
    case TSimdLevel::kAvx2:
      return kAvx2RowKernels;
    default:
      return kSse2RowKernels;
  }
}
