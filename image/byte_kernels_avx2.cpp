// The row kernels in AVX2, 32 pixels at a time; only this source is built with -mavx2, and it
// shares no inline code with the others. The bits come out of movemask with the first pixel
// lowest, so each group of eight pixels is reversed before it.
#include <immintrin.h>

#include <cstdint>

#include "image/byte_kernels_wide.h"

namespace {

__m256i Bytes(std::uint8_t value) {
  return _mm256_set1_epi8(static_cast<char>(value));
}

__m256i Load(const std::uint8_t* p) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

// All ones where v <= level.
__m256i NotAbove(__m256i values, __m256i level) {
  return _mm256_cmpeq_epi8(_mm256_subs_epu8(values, level), _mm256_setzero_si256());
}

__m256i ReversedEights(__m256i values) {
  const __m256i order = _mm256_setr_epi8(7, 6, 5, 4, 3, 2, 1, 0, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6,
                                         5, 4, 3, 2, 1, 0, 15, 14, 13, 12, 11, 10, 9, 8);
  return _mm256_shuffle_epi8(values, order);
}

void StoreBits(std::uint8_t* out, std::uint32_t bits) {
  __builtin_memcpy(out, &bits, 4);
}

void SetBit(std::uint8_t* out, std::int32_t x) {
  out[x >> 3] |= static_cast<std::uint8_t>(0x80 >> (x & 7));
}

void MapAboveLevel(const std::uint8_t* in, std::uint8_t* out, std::int32_t width,
                   std::uint8_t level, std::uint8_t low, std::uint8_t high) {
  const __m256i levels = Bytes(level), lows = Bytes(low), highs = Bytes(high);
  std::int32_t x = 0;
  for (; x + 32 <= width; x += 32) {
    const __m256i dark = NotAbove(Load(in + x), levels);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x), _mm256_blendv_epi8(highs, lows, dark));
  }
  for (; x < width; ++x) out[x] = in[x] > level ? high : low;
}

void PackNonZeroBits(const std::uint8_t* in, std::uint8_t* out, std::int32_t width) {
  std::int32_t x = 0;
  for (; x + 32 <= width; x += 32) {
    const __m256i zeros = _mm256_cmpeq_epi8(ReversedEights(Load(in + x)), _mm256_setzero_si256());
    StoreBits(out + (x >> 3), ~static_cast<std::uint32_t>(_mm256_movemask_epi8(zeros)));
  }
  for (; x < width; ++x) {
    if (in[x] != 0) SetBit(out, x);
  }
}

void PackAboveLevel(const std::uint8_t* in, std::uint8_t* out, std::int32_t width,
                    std::uint8_t level, std::uint8_t low, std::uint8_t high) {
  const __m256i levels = Bytes(level);
  const std::uint32_t lowBits = low != 0 ? ~0u : 0u;
  const std::uint32_t highBits = high != 0 ? ~0u : 0u;
  std::int32_t x = 0;
  for (; x + 32 <= width; x += 32) {
    const auto dark = static_cast<std::uint32_t>(
        _mm256_movemask_epi8(NotAbove(ReversedEights(Load(in + x)), levels)));
    StoreBits(out + (x >> 3), (dark & lowBits) | (~dark & highBits));
  }
  for (; x < width; ++x) {
    if ((in[x] > level ? high : low) != 0) SetBit(out, x);
  }
}

}  // namespace

const TByteKernelSet kAvx2ByteKernels = {&MapAboveLevel, &PackNonZeroBits, &PackAboveLevel};
