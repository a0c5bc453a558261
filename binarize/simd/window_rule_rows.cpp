// Chooses the window rules' row loops of the active instruction set.
#include "binarize/simd/window_rule_rows.h"

#include "platform/cpu_features.h"

const TWindowRuleKernels& WindowRuleKernels() {
  switch (ActiveSimd()) {
    case TSimdLevel::kAvx512:
      return kAvx512WindowRuleKernels;
    case TSimdLevel::kAvx2:
      return kAvx2WindowRuleKernels;
    default:
      return kSse2WindowRuleKernels;
  }
}
