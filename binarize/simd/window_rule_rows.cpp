// Chooses the window rules' row loops of the active instruction set.
#include "binarize/simd/window_rule_rows.h"

#include "platform/cpu_features.h"

const TWindowRuleKernels& WindowRuleKernels() {
  return ActiveOf(kSse2WindowRuleKernels, kAvx2WindowRuleKernels, kAvx512WindowRuleKernels);
}
