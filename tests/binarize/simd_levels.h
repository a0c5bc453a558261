// Runs a check once under every vector instruction set the processor offers, so that each
// path of a kernel is held to the same plain rule.
#pragma once

#include <string>

#include "platform/cpu_features.h"

// Runs check(name) once per level the processor offers, with that level active.
template <class TCheck>
void ForEachSimdLevel(TCheck check) {
  for (TSimdLevel level : {TSimdLevel::kSse2, TSimdLevel::kAvx2, TSimdLevel::kAvx512}) {
    if (level > ProcessorSimd()) continue;
    const TSimdLevel before = UseSimd(level);
    check(std::string(SimdName(level)));
    UseSimd(before);
  }
}
