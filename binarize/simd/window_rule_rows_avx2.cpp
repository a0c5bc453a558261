// The window rules' row loops in AVX2 double lanes (four per register): built with -mavx2, run
// only when the processor has AVX2. This source includes nothing with inline functions shared
// with other sources (only the intrinsics and plain declarations), so no code built for its
// instruction set can stand in for baseline code.
#include <immintrin.h>

#include <cstdint>

#include "binarize/simd/window_rule_rows.h"

namespace {

struct TAvx2Doubles {
  using T = __m256d;
  static constexpr int kLanes = 4;

  static T Set(double value) { return _mm256_set1_pd(value); }
  static T Load(const double* p) { return _mm256_loadu_pd(p); }
  static T FromWords(const std::uint32_t* p) {
    return _mm256_cvtepi32_pd(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
  }
  static T FromBytes(const std::uint8_t* p) {
    std::int32_t quad;
    __builtin_memcpy(&quad, p, 4);
    return _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(_mm_cvtsi32_si128(quad)));
  }
  static T Add(T a, T b) { return _mm256_add_pd(a, b); }
  static T Sub(T a, T b) { return _mm256_sub_pd(a, b); }
  static T Mul(T a, T b) { return _mm256_mul_pd(a, b); }
  static T Max(T a, T b) { return _mm256_max_pd(a, b); }
  static T Sqrt(T a) { return _mm256_sqrt_pd(a); }
  // Bit i set where lane i of a is above lane i of b.
  static int Above(T a, T b) { return _mm256_movemask_pd(_mm256_cmp_pd(a, b, _CMP_GT_OQ)); }
  static double Largest(T a) {
    const __m128d half = _mm_max_pd(_mm256_castpd256_pd128(a), _mm256_extractf128_pd(a, 1));
    return _mm_cvtsd_f64(_mm_max_sd(half, _mm_unpackhi_pd(half, half)));
  }
};

}  // namespace

#include "binarize/simd/window_rule_rows_body.h"

const TWindowRuleKernels kAvx2WindowRuleKernels = WindowRuleKernelsOf<TAvx2Doubles>();
