// The difference rows in SSE2, 16 pixels at a time, and the run-time choice of the wide versions
// (difference_rows_avx2.cpp, difference_rows_avx512.cpp).
#include "binarize/simd/difference_rows.h"

#include <emmintrin.h>

#include "platform/cpu_features.h"

namespace {

std::int32_t HandOnAll(const std::uint8_t* a, const std::uint8_t* b, std::int32_t count,
                       std::uint8_t* d, std::uint64_t*) {
  std::int32_t x = 0;
  for (; x + 16 <= count; x += 16) {
    const __m128i u = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + x));
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + x));
    // One of the two saturating differences is zero, the other the absolute difference.
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + x),
                     _mm_or_si128(_mm_subs_epu8(u, v), _mm_subs_epu8(v, u)));
  }
  for (; x < count; ++x) d[x] = static_cast<std::uint8_t>(a[x] > b[x] ? a[x] - b[x] : b[x] - a[x]);
  return count;
}

}  // namespace

const TDifferenceKernels kSse2DifferenceKernels = {&HandOnAll};

const TDifferenceKernels& DifferenceKernels() {
  static const bool vbmi2 = ProcessorHasVbmi2();
  return ActiveOf(kSse2DifferenceKernels, kAvx2DifferenceKernels,
                  vbmi2 ? kAvx512Vbmi2DifferenceKernels : kAvx512DifferenceKernels);
}
