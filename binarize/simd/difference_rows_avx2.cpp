// The difference rows in AVX2, 32 pixels at a time; only this source is built with -mavx2, and
// it shares no inline code with the others.
#include <immintrin.h>

#include "binarize/simd/difference_rows.h"

namespace {

std::int32_t HandOnAll(const std::uint8_t* a, const std::uint8_t* b, std::int32_t count,
                       std::uint8_t* d, std::uint64_t*) {
  std::int32_t x = 0;
  for (; x + 32 <= count; x += 32) {
    const __m256i u = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + x));
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + x));
    // One of the two saturating differences is zero, the other the absolute difference.
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + x),
                        _mm256_or_si256(_mm256_subs_epu8(u, v), _mm256_subs_epu8(v, u)));
  }
  for (; x < count; ++x) d[x] = static_cast<std::uint8_t>(a[x] > b[x] ? a[x] - b[x] : b[x] - a[x]);
  return count;
}

}  // namespace

const TDifferenceKernels kAvx2DifferenceKernels = {&HandOnAll};
