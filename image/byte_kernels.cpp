// Row kernels: SSE2 for whole groups of 16 pixels (64 when packing), plain code for the rest
// of a row, and the choice of the wide versions (byte_kernels_avx2.cpp,
// byte_kernels_avx512.cpp) at run time.
#include "image/byte_kernels.h"

#include <emmintrin.h>

#include <cstring>

#include "image/byte_kernels_wide.h"
#include "platform/cpu_features.h"

namespace {

__m128i Load(const std::uint8_t* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// All ones where v <= level: v - level saturates to 0 exactly then.
__m128i NotAbove(__m128i values, __m128i level) {
  return _mm_cmpeq_epi8(_mm_subs_epu8(values, level), _mm_setzero_si128());
}

// Sixty-four mask bits, first pixel lowest, as eight bytes with each byte's first pixel
// highest: the bits are reversed within every byte.
void StoreBits(std::uint8_t* out, std::uint64_t bits) {
  bits = ((bits >> 1) & 0x5555555555555555u) | ((bits & 0x5555555555555555u) << 1);
  bits = ((bits >> 2) & 0x3333333333333333u) | ((bits & 0x3333333333333333u) << 2);
  bits = ((bits >> 4) & 0x0F0F0F0F0F0F0F0Fu) | ((bits & 0x0F0F0F0F0F0F0F0Fu) << 4);
  std::memcpy(out, &bits, 8);
}

// The sign bits of 64 bytes from four masks, the first mask's first byte lowest.
std::uint64_t MaskBits(__m128i a, __m128i b, __m128i c, __m128i d) {
  const auto bits = [](__m128i mask) {
    return static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm_movemask_epi8(mask)));
  };
  return bits(a) | bits(b) << 16 | bits(c) << 32 | bits(d) << 48;
}

void SetBit(std::uint8_t* out, std::int32_t x) {
  out[x >> 3] |= static_cast<std::uint8_t>(0x80 >> (x & 7));
}

void Sse2MapAboveLevel(const std::uint8_t* in, std::uint8_t* out, std::int32_t width,
                       std::uint8_t level, std::uint8_t low, std::uint8_t high) {
  const __m128i levels = _mm_set1_epi8(static_cast<char>(level));
  const __m128i lows = _mm_set1_epi8(static_cast<char>(low));
  const __m128i highs = _mm_set1_epi8(static_cast<char>(high));
  std::int32_t x = 0;
  for (; x + 16 <= width; x += 16) {
    const __m128i dark = NotAbove(Load(in + x), levels);
    const __m128i result = _mm_or_si128(_mm_and_si128(dark, lows), _mm_andnot_si128(dark, highs));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), result);
  }
  for (; x < width; ++x) out[x] = in[x] > level ? high : low;
}

void Sse2PackNonZeroBits(const std::uint8_t* in, std::uint8_t* out, std::int32_t width) {
  const __m128i zero = _mm_setzero_si128();
  const auto zeros = [&](const std::uint8_t* p) { return _mm_cmpeq_epi8(Load(p), zero); };
  std::int32_t x = 0;
  for (; x + 64 <= width; x += 64) {
    const std::uint64_t bits =
        MaskBits(zeros(in + x), zeros(in + x + 16), zeros(in + x + 32), zeros(in + x + 48));
    StoreBits(out + (x >> 3), ~bits);
  }
  for (; x < width; ++x) {
    if (in[x] != 0) SetBit(out, x);
  }
}

void Sse2PackAboveLevel(const std::uint8_t* in, std::uint8_t* out, std::int32_t width,
                        std::uint8_t level, std::uint8_t low, std::uint8_t high) {
  const __m128i levels = _mm_set1_epi8(static_cast<char>(level));
  const std::uint64_t lowBits = low != 0 ? ~std::uint64_t{0} : 0;
  const std::uint64_t highBits = high != 0 ? ~std::uint64_t{0} : 0;
  const auto dark = [&](const std::uint8_t* p) { return NotAbove(Load(p), levels); };
  std::int32_t x = 0;
  for (; x + 64 <= width; x += 64) {
    const std::uint64_t bits =
        MaskBits(dark(in + x), dark(in + x + 16), dark(in + x + 32), dark(in + x + 48));
    StoreBits(out + (x >> 3), (bits & lowBits) | (~bits & highBits));
  }
  for (; x < width; ++x) {
    if ((in[x] > level ? high : low) != 0) SetBit(out, x);
  }
}

const TByteKernelSet& Kernels() {
  return ActiveOf(kSse2ByteKernels, kAvx2ByteKernels, kAvx512ByteKernels);
}

}  // namespace

const TByteKernelSet kSse2ByteKernels = {&Sse2MapAboveLevel, &Sse2PackNonZeroBits,
                                         &Sse2PackAboveLevel};

void MapAboveLevel(const std::uint8_t* in, std::uint8_t* out, std::int32_t width,
                   std::uint8_t level, std::uint8_t low, std::uint8_t high) {
  Kernels().mapAboveLevel(in, out, width, level, low, high);
}

void PackNonZeroBits(const std::uint8_t* in, std::uint8_t* out, std::int32_t width) {
  Kernels().packNonZeroBits(in, out, width);
}

void PackAboveLevel(const std::uint8_t* in, std::uint8_t* out, std::int32_t width,
                    std::uint8_t level, std::uint8_t low, std::uint8_t high) {
  Kernels().packAboveLevel(in, out, width, level, low, high);
}
