// Four 32-bit lanes per register (SSE2), the operations the row loops' body is written in.
// Included only by the SSE2 kernels' source: everything stays inside its unnamed namespace.
#pragma once

namespace {

struct TSse2Lanes {
  using V = __m128i;
  using F = __m128;
  static constexpr int kLanes = 4;

  static V Zero() { return _mm_setzero_si128(); }
  static V Set(std::int32_t value) { return _mm_set1_epi32(value); }
  static V Load(const void* p) { return _mm_loadu_si128(static_cast<const __m128i*>(p)); }
  static void Store(void* p, V v) { _mm_storeu_si128(static_cast<__m128i*>(p), v); }
  static F LoadF(const float* p) { return _mm_loadu_ps(p); }
  // Sixteen bytes, zero-extended, in four registers: one load for all four.
  static void Widen16(const std::uint8_t* p, V* parts) {
    const V bytes = Load(p);
    const V zero = Zero();
    const V low = _mm_unpacklo_epi8(bytes, zero);
    const V high = _mm_unpackhi_epi8(bytes, zero);
    parts[0] = _mm_unpacklo_epi16(low, zero);
    parts[1] = _mm_unpackhi_epi16(low, zero);
    parts[2] = _mm_unpacklo_epi16(high, zero);
    parts[3] = _mm_unpackhi_epi16(high, zero);
  }
  static V Add(V a, V b) { return _mm_add_epi32(a, b); }
  static V Sub(V a, V b) { return _mm_sub_epi32(a, b); }
  static V And(V a, V b) { return _mm_and_si128(a, b); }
  static V Gt(V a, V b) { return _mm_cmpgt_epi32(a, b); }
  // a * b for lanes whose values fit in signed 16 bits.
  static V Madd(V a, V b) { return _mm_madd_epi16(a, b); }
  // The low 32 bits of a * b for b below 2^16: each 16-bit half of a times b, the high half's
  // product shifted up and only its low 16 bits kept.
  static V MulSmall(V a, V b) {
    const V both = _mm_or_si128(b, _mm_slli_epi32(b, 16));
    const V low = _mm_mullo_epi16(a, both);
    const V high = _mm_mulhi_epu16(a, both);
    return _mm_add_epi32(low, _mm_slli_epi32(high, 16));
  }
  static V ShiftLeft8(V a) { return _mm_slli_epi32(a, 8); }
  static V ShiftRight23(V a) { return _mm_srli_epi32(a, 23); }
  static F ToFloat(V a) { return _mm_cvtepi32_ps(a); }
  static V Truncate(F a) { return _mm_cvttps_epi32(a); }
  static F MulF(F a, F b) { return _mm_mul_ps(a, b); }
  static F SqrtF(F a) { return _mm_sqrt_ps(a); }
  // Inclusive prefix sums across the lanes.
  static V Scan(V x) {
    x = Add(x, _mm_slli_si128(x, 4));
    return Add(x, _mm_slli_si128(x, 8));
  }
  static V Last(V x) { return _mm_shuffle_epi32(x, 0xFF); }
  // Sixteen lanes of 0 or -1, four registers, as sixteen bytes of 0 or 0xFF.
  static __m128i Narrow(const V* parts) {
    return _mm_packs_epi16(_mm_packs_epi32(parts[0], parts[1]),
                           _mm_packs_epi32(parts[2], parts[3]));
  }
};

}  // namespace
