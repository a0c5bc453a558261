// The processor's vector instruction sets as reported by cpuid, capped by ZW_SIMD.
#include "platform/cpu_features.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>

namespace {

std::atomic<TSimdLevel>& Active() {
  static std::atomic<TSimdLevel> level{CappedSimd(ProcessorSimd(), std::getenv("ZW_SIMD"))};
  return level;
}

}  // namespace

TSimdLevel ProcessorSimd() {
  __builtin_cpu_init();
  // The checks include the operating system's consent to save the wide registers.
  if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
      __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512dq")) {
    return TSimdLevel::kAvx512;
  }
  if (__builtin_cpu_supports("avx2")) return TSimdLevel::kAvx2;
  return TSimdLevel::kSse2;
}

bool ProcessorHasVbmi2() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx512vbmi2");
}

TSimdLevel ActiveSimd() {
  return Active().load(std::memory_order_relaxed);
}

TSimdLevel UseSimd(TSimdLevel level) {
  return Active().exchange(std::min(level, ProcessorSimd()));
}

const char* SimdName(TSimdLevel level) {
  switch (level) {
    case TSimdLevel::kAvx512:
      return "avx512";
    case TSimdLevel::kAvx2:
      return "avx2";
    default:
      return "sse2";
  }
}

TSimdLevel CappedSimd(TSimdLevel supported, const char* request) {
  if (request == nullptr) return supported;
  for (TSimdLevel level : {TSimdLevel::kSse2, TSimdLevel::kAvx2, TSimdLevel::kAvx512}) {
    if (std::strcmp(request, SimdName(level)) == 0) return std::min(level, supported);
  }
  return supported;
}
