// Row kernels: SSE2 for whole groups of 16 pixels, plain code for the rest of a row, and the
// choice of the wide versions (byte_kernels_avx2.cpp, byte_kernels_avx512.cpp) at run time.
#include "image/byte_kernels.h"

#include <emmintrin.h>

#include <array>

#include "image/byte_kernels_wide.h"
#include "platform/cpu_features.h"

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

__m128i Load(const std::uint8_t* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// All ones where v <= level: v - level saturates to 0 exactly then.
__m128i NotAbove(__m128i values, __m128i level) {
  return _mm_cmpeq_epi8(_mm_subs_epu8(values, level), _mm_setzero_si128());
}

// Sixteen mask bits, first pixel lowest, as two bytes with the first pixel highest.
void StoreBits(std::uint8_t* out, int bits) {
  out[0] = kReversed[static_cast<std::size_t>(bits & 0xFF)];
  out[1] = kReversed[static_cast<std::size_t>((bits >> 8) & 0xFF)];
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
  std::int32_t x = 0;
  for (; x + 16 <= width; x += 16) {
    const int zeros = _mm_movemask_epi8(_mm_cmpeq_epi8(Load(in + x), _mm_setzero_si128()));
    StoreBits(out + (x >> 3), ~zeros);
  }
  for (; x < width; ++x) {
    if (in[x] != 0) SetBit(out, x);
  }
}

void Sse2PackAboveLevel(const std::uint8_t* in, std::uint8_t* out, std::int32_t width,
                        std::uint8_t level, std::uint8_t low, std::uint8_t high) {
  const __m128i levels = _mm_set1_epi8(static_cast<char>(level));
  const int lowBits = low != 0 ? ~0 : 0;
  const int highBits = high != 0 ? ~0 : 0;
  std::int32_t x = 0;
  for (; x + 16 <= width; x += 16) {
    const int dark = _mm_movemask_epi8(NotAbove(Load(in + x), levels));
    StoreBits(out + (x >> 3), (dark & lowBits) | (~dark & highBits));
  }
  for (; x < width; ++x) {
    if ((in[x] > level ? high : low) != 0) SetBit(out, x);
  }
}

const TByteKernelSet& Kernels() {
  switch (ActiveSimd()) {
    case TSimdLevel::kAvx512:
      return kAvx512ByteKernels;
    case TSimdLevel::kAvx2:
      return kAvx2ByteKernels;
    default:
      return kSse2ByteKernels;
  }
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
