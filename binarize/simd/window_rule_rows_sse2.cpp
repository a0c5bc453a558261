// The window rules' row loops in SSE2 double lanes (two per register), the build's baseline.
// This source includes nothing with inline functions shared with other sources (only the
// intrinsics and plain declarations).
#include <immintrin.h>

#include <cstdint>

#include "binarize/simd/window_rule_rows.h"

namespace {

struct TSse2Doubles {
  using T = __m128d;
  static constexpr int kLanes = 2;

  static T Set(double value) { return _mm_set1_pd(value); }
  static T Load(const double* p) { return _mm_loadu_pd(p); }
  static T FromWords(const std::uint32_t* p) {
    return _mm_cvtepi32_pd(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)));
  }
  static T FromBytes(const std::uint8_t* p) {
    std::uint16_t pair;
    __builtin_memcpy(&pair, p, 2);
    const __m128i zero = _mm_setzero_si128();
    const __m128i bytes = _mm_cvtsi32_si128(pair);
    return _mm_cvtepi32_pd(_mm_unpacklo_epi16(_mm_unpacklo_epi8(bytes, zero), zero));
  }
  static T Add(T a, T b) { return _mm_add_pd(a, b); }
  static T Sub(T a, T b) { return _mm_sub_pd(a, b); }
  static T Mul(T a, T b) { return _mm_mul_pd(a, b); }
  static T Max(T a, T b) { return _mm_max_pd(a, b); }
  static T Sqrt(T a) { return _mm_sqrt_pd(a); }
  // Bit i set where lane i of a is above lane i of b.
  static int Above(T a, T b) { return _mm_movemask_pd(_mm_cmpgt_pd(a, b)); }
  static double Largest(T a) { return _mm_cvtsd_f64(_mm_max_sd(a, _mm_unpackhi_pd(a, a))); }
};

}  // namespace

#include "binarize/simd/window_rule_rows_body.h"

const TWindowRuleKernels kSse2WindowRuleKernels = WindowRuleKernelsOf<TSse2Doubles>();
