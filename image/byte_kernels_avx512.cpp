// The row kernels in AVX-512 (F, BW), 64 pixels at a time; only this source is built for
// AVX-512, and it shares no inline code with the others. A compare gives one mask bit per
// pixel, first pixel lowest, so each group of eight pixels is reversed before it.
#include <immintrin.h>

#include <cstdint>

#include "image/byte_kernels_wide.h"

namespace {

__m512i Bytes(std::uint8_t value) {
  return _mm512_set1_epi8(static_cast<char>(value));
}

__m512i Load(const std::uint8_t* p) {
  return _mm512_loadu_si512(p);
}

__m512i ReversedEights(__m512i values) {
  const __m512i order = _mm512_set_epi64(
      0x08090A0B0C0D0E0FLL, 0x0001020304050607LL, 0x08090A0B0C0D0E0FLL, 0x0001020304050607LL,
      0x08090A0B0C0D0E0FLL, 0x0001020304050607LL, 0x08090A0B0C0D0E0FLL, 0x0001020304050607LL);
  return _mm512_shuffle_epi8(values, order);
}

void StoreBits(std::uint8_t* out, std::uint64_t bits) {
  __builtin_memcpy(out, &bits, 8);
}

void SetBit(std::uint8_t* out, std::int32_t x) {
  out[x >> 3] |= static_cast<std::uint8_t>(0x80 >> (x & 7));
}

void MapAboveLevel(const std::uint8_t* in, std::uint8_t* out, std::int32_t width,
                   std::uint8_t level, std::uint8_t low, std::uint8_t high) {
  const __m512i levels = Bytes(level), lows = Bytes(low), highs = Bytes(high);
  std::int32_t x = 0;
  for (; x + 64 <= width; x += 64) {
    const __mmask64 above = _mm512_cmpgt_epu8_mask(Load(in + x), levels);
    _mm512_storeu_si512(out + x, _mm512_mask_blend_epi8(above, lows, highs));
  }
  for (; x < width; ++x) out[x] = in[x] > level ? high : low;
}

void PackNonZeroBits(const std::uint8_t* in, std::uint8_t* out, std::int32_t width) {
  std::int32_t x = 0;
  for (; x + 64 <= width; x += 64) {
    const __m512i values = ReversedEights(Load(in + x));
    StoreBits(out + (x >> 3), _mm512_test_epi8_mask(values, values));
  }
  for (; x < width; ++x) {
    if (in[x] != 0) SetBit(out, x);
  }
}

void PackAboveLevel(const std::uint8_t* in, std::uint8_t* out, std::int32_t width,
                    std::uint8_t level, std::uint8_t low, std::uint8_t high) {
  const __m512i levels = Bytes(level);
  const std::uint64_t lowBits = low != 0 ? ~0ull : 0ull;
  const std::uint64_t highBits = high != 0 ? ~0ull : 0ull;
  std::int32_t x = 0;
  for (; x + 64 <= width; x += 64) {
    const std::uint64_t above = _mm512_cmpgt_epu8_mask(ReversedEights(Load(in + x)), levels);
    StoreBits(out + (x >> 3), (above & highBits) | (~above & lowBits));
  }
  for (; x < width; ++x) {
    if ((in[x] > level ? high : low) != 0) SetBit(out, x);
  }
}

}  // namespace

const TByteKernelSet kAvx512ByteKernels = {&MapAboveLevel, &PackNonZeroBits, &PackAboveLevel};
