// Eight 32-bit lanes per register (AVX2), the operations the row loops' body is written in.
// Included only by the AVX2 kernels' source: everything stays inside its unnamed namespace.
#pragma once

namespace {

struct TAvx2Lanes {
  using V = __m256i;
  using F = __m256;
  static constexpr int kLanes = 8;

  static V Zero() { return _mm256_setzero_si256(); }
  static V Set(std::int32_t value) { return _mm256_set1_epi32(value); }
  static V Load(const void* p) { return _mm256_loadu_si256(static_cast<const __m256i*>(p)); }
  static void Store(void* p, V v) { _mm256_storeu_si256(static_cast<__m256i*>(p), v); }
  static F LoadF(const float* p) { return _mm256_loadu_ps(p); }
  // Eight bytes, zero-extended.
  static V Bytes(const std::uint8_t* p) {
    return _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)));
  }
  // Sixteen bytes, zero-extended, in 16 / kLanes registers.
  static void Widen16(const std::uint8_t* p, V* parts) {
    for (int part = 0; part < 16 / kLanes; ++part) parts[part] = Bytes(p + part * kLanes);
  }
  static V Add(V a, V b) { return _mm256_add_epi32(a, b); }
  static V Sub(V a, V b) { return _mm256_sub_epi32(a, b); }
  static V And(V a, V b) { return _mm256_and_si256(a, b); }
  static V Gt(V a, V b) { return _mm256_cmpgt_epi32(a, b); }
  static V Madd(V a, V b) { return _mm256_madd_epi16(a, b); }
  // The low 32 bits of a * b (b below 2^16, as the SSE2 lanes need it).
  static V MulSmall(V a, V b) { return _mm256_mullo_epi32(a, b); }
  static V ShiftLeft8(V a) { return _mm256_slli_epi32(a, 8); }
  static V ShiftRight23(V a) { return _mm256_srli_epi32(a, 23); }
  static F ToFloat(V a) { return _mm256_cvtepi32_ps(a); }
  static V Truncate(F a) { return _mm256_cvttps_epi32(a); }
  static F MulF(F a, F b) { return _mm256_mul_ps(a, b); }
  static F SqrtF(F a) { return _mm256_sqrt_ps(a); }
  // Inclusive prefix sums: within each half, then the low half's total added to the high.
  static V Scan(V x) {
    x = Add(x, _mm256_slli_si256(x, 4));
    x = Add(x, _mm256_slli_si256(x, 8));
    const V lowTotal = _mm256_shuffle_epi32(x, 0xFF);
    return Add(x, _mm256_permute2x128_si256(lowTotal, lowTotal, 0x08));
  }
  static V Last(V x) { return _mm256_permutevar8x32_epi32(x, Set(7)); }
  // Sixteen lanes of 0 or -1, two registers, as sixteen bytes of 0 or 0xFF.
  static __m128i Narrow(const V* parts) {
    const V words = _mm256_permute4x64_epi64(_mm256_packs_epi32(parts[0], parts[1]), 0xD8);
    return _mm_packs_epi16(_mm256_castsi256_si128(words), _mm256_extracti128_si256(words, 1));
  }
};

}  // namespace
