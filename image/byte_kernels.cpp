// Row kernels: SSE2 for whole groups of 16 pixels, plain code for the rest of a row.
#include "image/byte_kernels.h"

#include <array>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

// Bit order reversed within a byte: SSE2's mask puts the first pixel in bit 0.
constexpr std::array<std::uint8_t, 256> kReversed = [] {
  std::array<std::uint8_t, 256> table{};
  for (int value = 0; value < 256; ++value) {
    int reversed = 0;
    for (int bit = 0; bit < 8; ++bit) reversed |= ((value >> bit) & 1) << (7 - bit);
    table[static_cast<std::size_t>(value)] = static_cast<std::uint8_t>(reversed);
  }
  return table;
}();

}  // namespace

void MapAboveLevel(const std::uint8_t* in, std::uint8_t* out, std::int32_t width,
                   std::uint8_t level, std::uint8_t low, std::uint8_t high) {
  std::int32_t x = 0;
#ifdef __SSE2__
  const __m128i levels = _mm_set1_epi8(static_cast<char>(level));
  const __m128i lows = _mm_set1_epi8(static_cast<char>(low));
  const __m128i highs = _mm_set1_epi8(static_cast<char>(high));
  const __m128i zero = _mm_setzero_si128();
  for (; x + 16 <= width; x += 16) {
    const __m128i values = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x));
    // v - level saturates to 0 exactly when v <= level.
    const __m128i dark = _mm_cmpeq_epi8(_mm_subs_epu8(values, levels), zero);
    const __m128i result = _mm_or_si128(_mm_and_si128(dark, lows), _mm_andnot_si128(dark, highs));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), result);
  }
#endif
  for (; x < width; ++x) out[x] = in[x] > level ? high : low;
}

void PackNonZeroBits(const std::uint8_t* in, std::uint8_t* out, std::int32_t width) {
  std::int32_t x = 0;
#ifdef __SSE2__
  const __m128i zero = _mm_setzero_si128();
  for (; x + 16 <= width; x += 16) {
    const __m128i values = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x));
    const int zeros = _mm_movemask_epi8(_mm_cmpeq_epi8(values, zero));
    const int set = ~zeros & 0xFFFF;
    out[x >> 3] = kReversed[static_cast<std::size_t>(set & 0xFF)];
    out[(x >> 3) + 1] = kReversed[static_cast<std::size_t>(set >> 8)];
  }
#endif
  for (; x < width; ++x) {
    if (in[x] != 0) out[x >> 3] |= static_cast<std::uint8_t>(0x80 >> (x & 7));
  }
}
