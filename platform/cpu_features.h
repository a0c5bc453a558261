// The vector instruction sets the fast pixel loops choose among, and the one in use.
//
// The widest set the processor offers is read once, at first use; the environment variable
// ZW_SIMD (sse2, avx2 or avx512) narrows it, so the narrower loops can be run and timed on a
// wide machine. A request wider than the processor offers is capped, an unknown one ignored.
#pragma once

#include <cstdint>

enum class TSimdLevel : std::int32_t { kSse2 = 0, kAvx2 = 1, kAvx512 = 2 };

// SSE2 always (the baseline of the build); AVX2 when offered; AVX-512 when the foundation and
// the byte, word, double-word and vector-length extensions are all there.
TSimdLevel ProcessorSimd();
// Whether the processor offers AVX-512 VBMI2 (byte compress), besides the level above.
bool ProcessorHasVbmi2();
// The level every dispatched loop uses.
TSimdLevel ActiveSimd();
// Makes level (capped by the processor's) the active one and returns the previous one; for
// tests that run every path in one process.
TSimdLevel UseSimd(TSimdLevel level);

// Whichever of the three matches the active level: the one dispatch of every loop set.
template <class T>
const T& ActiveOf(const T& sse2, const T& avx2, const T& avx512) {
  switch (ActiveSimd()) {
    case TSimdLevel::kAvx512:
      return avx512;
    case TSimdLevel::kAvx2:
      return avx2;
    default:
      return sse2;
  }
}

// "sse2", "avx2" or "avx512".
const char* SimdName(TSimdLevel level);
// The level a ZW_SIMD value asks for, capped by supported; null or unknown gives supported.
TSimdLevel CappedSimd(TSimdLevel supported, const char* request);
