// The difference rows in AVX-512, 64 pixels at a time; only this source is built with AVX-512
// flags, and it shares no inline code with the others.
#include <immintrin.h>

#include "binarize/simd/difference_rows.h"

namespace {

void Absolute(const std::uint8_t* a, const std::uint8_t* b, std::int32_t count, std::uint8_t* d) {
  std::int32_t x = 0;
  for (; x + 64 <= count; x += 64) {
    const __m512i u = _mm512_loadu_si512(reinterpret_cast<const __m512i*>(a + x));
    const __m512i v = _mm512_loadu_si512(reinterpret_cast<const __m512i*>(b + x));
    // One of the two saturating differences is zero, the other the absolute difference.
    _mm512_storeu_si512(reinterpret_cast<__m512i*>(d + x),
                        _mm512_or_si512(_mm512_subs_epu8(u, v), _mm512_subs_epu8(v, u)));
  }
  for (; x < count; ++x) d[x] = static_cast<std::uint8_t>(a[x] > b[x] ? a[x] - b[x] : b[x] - a[x]);
}

}  // namespace

const TDifferenceKernels kAvx512DifferenceKernels = {&Absolute};
