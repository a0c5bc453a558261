// The window rules' row loops in AVX-512 double lanes (eight per register): built with AVX-512
// F/BW/DQ/VL, run only when the processor has them. This source includes nothing with inline
// functions shared with other sources (only the intrinsics and plain declarations), so no code
// built for its instruction set can stand in for baseline code.
#include <immintrin.h>

#include <cstdint>

#include "binarize/simd/window_rule_rows.h"

namespace {

struct TAvx512Doubles {
  using T = __m512d;
  static constexpr int kLanes = 8;

  static T Set(double value) { return _mm512_set1_pd(value); }
  static T Load(const double* p) { return _mm512_loadu_pd(p); }
  static T FromWords(const std::uint32_t* p) {
    return _mm512_cvtepi32_pd(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)));
  }
  static T FromBytes(const std::uint8_t* p) {
    return _mm512_cvtepi32_pd(
        _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p))));
  }
  static T Add(T a, T b) { return _mm512_add_pd(a, b); }
  static T Sub(T a, T b) { return _mm512_sub_pd(a, b); }
  static T Mul(T a, T b) { return _mm512_mul_pd(a, b); }
  static T Max(T a, T b) { return _mm512_max_pd(a, b); }
  static T Sqrt(T a) { return _mm512_sqrt_pd(a); }
  // Bit i set where lane i of a is above lane i of b.
  static int Above(T a, T b) { return _mm512_cmp_pd_mask(a, b, _CMP_GT_OQ); }
  // Through memory: GCC 12's lane extraction reads deliberately undefined values.
  static double Largest(T a) {
    double lanes[kLanes];
    _mm512_storeu_pd(lanes, a);
    double largest = lanes[0];
    for (double lane : lanes) largest = lane > largest ? lane : largest;
    return largest;
  }
};

}  // namespace

#include "binarize/simd/window_rule_rows_body.h"

const TWindowRuleKernels kAvx512WindowRuleKernels = WindowRuleKernelsOf<TAvx512Doubles>();
