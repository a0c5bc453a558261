// The difference rows in AVX-512, 64 pixels at a time; only this source is built with AVX-512
// flags, and it shares no inline code with the others. With VBMI2 each small difference is
// counted by a compare into a byte counter per lane, flushed before it could wrap, and the
// others are packed together by one byte compress (only that kernel uses VBMI2); without it
// every difference is handed on.
#include <immintrin.h>

#include "binarize/simd/difference_rows.h"

namespace {

// Byte counters wrap after 255 increments.
constexpr std::int32_t kVectorsPerFlush = 255;

__m512i Absolute(__m512i u, __m512i v) {
  // One of the two saturating differences is zero, the other the absolute difference.
  return _mm512_or_si512(_mm512_subs_epu8(u, v), _mm512_subs_epu8(v, u));
}

std::int32_t HandOnAll(const std::uint8_t* a, const std::uint8_t* b, std::int32_t count,
                       std::uint8_t* d, std::uint64_t*) {
  std::int32_t x = 0;
  for (; x + 64 <= count; x += 64) {
    _mm512_storeu_si512(d + x, Absolute(_mm512_loadu_si512(a + x), _mm512_loadu_si512(b + x)));
  }
  for (; x < count; ++x) d[x] = static_cast<std::uint8_t>(a[x] > b[x] ? a[x] - b[x] : b[x] - a[x]);
  return count;
}

// The lanes of x .. count - 1, at most 64.
__mmask64 Lanes(std::int32_t x, std::int32_t count) {
  return count - x >= 64 ? ~__mmask64{0} : (__mmask64{1} << (count - x)) - 1;
}

__attribute__((target("avx512vbmi2"))) std::int32_t CountSmall(const std::uint8_t* a,
                                                               const std::uint8_t* b,
                                                               std::int32_t count,
                                                               std::uint8_t* rest,
                                                               std::uint64_t* small) {
  __m512i counters[kSmallDifferences];
  const __m512i largestSmall = _mm512_set1_epi8(char(kSmallDifferences - 1));
  std::int32_t x = 0, handedOn = 0;
  while (x < count) {
    for (auto& counter : counters) counter = _mm512_setzero_si512();
    for (std::int32_t k = 0; k < kVectorsPerFlush && x < count; ++k, x += 64) {
      const __mmask64 lanes = Lanes(x, count);
      const __m512i d =
          Absolute(_mm512_maskz_loadu_epi8(lanes, a + x), _mm512_maskz_loadu_epi8(lanes, b + x));
      for (std::int32_t v = 0; v < kSmallDifferences; ++v) {
        const __mmask64 hit = _mm512_mask_cmpeq_epi8_mask(lanes, d, _mm512_set1_epi8(char(v)));
        counters[v] = _mm512_mask_sub_epi8(counters[v], hit, counters[v], _mm512_set1_epi8(-1));
      }
      const __mmask64 large = _mm512_mask_cmpgt_epu8_mask(lanes, d, largestSmall);
      _mm512_storeu_si512(rest + handedOn, _mm512_maskz_compress_epi8(large, d));
      handedOn += __builtin_popcountll(large);
    }
    for (std::int32_t v = 0; v < kSmallDifferences; ++v) {
      const __m512i sums = _mm512_sad_epu8(counters[v], _mm512_setzero_si512());
      small[v] += static_cast<std::uint64_t>(_mm512_reduce_add_epi64(sums));
    }
  }
  return handedOn;
}

}  // namespace

const TDifferenceKernels kAvx512DifferenceKernels = {&HandOnAll};
const TDifferenceKernels kAvx512Vbmi2DifferenceKernels = {&CountSmall};
