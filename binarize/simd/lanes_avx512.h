// Sixteen 32-bit lanes per register (AVX-512 F, BW, DQ), the operations the row loops' body
// is written in. Included only by the AVX-512 kernels' source: everything stays inside its
// unnamed namespace.
#pragma once

namespace {

struct TAvx512Lanes {
  using V = __m512i;
  using F = __m512;
  static constexpr int kLanes = 16;

  static V Zero() { return _mm512_setzero_si512(); }
  static V Set(std::int32_t value) { return _mm512_set1_epi32(value); }
  static V Load(const void* p) { return _mm512_loadu_si512(p); }
  static void Store(void* p, V v) { _mm512_storeu_si512(p, v); }
  static F LoadF(const float* p) { return _mm512_loadu_ps(p); }
  // Sixteen bytes, zero-extended.
  static V Bytes(const std::uint8_t* p) {
    return _mm512_cvtepu8_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
  }
  // Sixteen bytes, zero-extended, in 16 / kLanes registers.
  static void Widen16(const std::uint8_t* p, V* parts) {
    for (int part = 0; part < 16 / kLanes; ++part) parts[part] = Bytes(p + part * kLanes);
  }
  static V Add(V a, V b) { return _mm512_add_epi32(a, b); }
  static V Sub(V a, V b) { return _mm512_sub_epi32(a, b); }
  static V And(V a, V b) { return _mm512_and_si512(a, b); }
  static V Gt(V a, V b) { return _mm512_movm_epi32(_mm512_cmpgt_epi32_mask(a, b)); }
  static V Madd(V a, V b) { return _mm512_madd_epi16(a, b); }
  // The low 32 bits of a * b (b below 2^16, as the SSE2 lanes need it).
  static V MulSmall(V a, V b) { return _mm512_mullo_epi32(a, b); }
  static V ShiftLeft8(V a) { return _mm512_slli_epi32(a, 8); }
  static V ShiftRight23(V a) { return _mm512_srli_epi32(a, 23); }
  static F ToFloat(V a) { return _mm512_cvtepi32_ps(a); }
  static V Truncate(F a) { return _mm512_cvttps_epi32(a); }
  static F MulF(F a, F b) { return _mm512_mul_ps(a, b); }
  static F SqrtF(F a) { return _mm512_sqrt_ps(a); }
  // Inclusive prefix sums: within each quarter, then the quarters' running totals added on.
  static V Scan(V x) {
    const V zero = Zero();
    x = Add(x, _mm512_bslli_epi128(x, 4));
    x = Add(x, _mm512_bslli_epi128(x, 8));
    V totals = _mm512_shuffle_epi32(x, _MM_PERM_DDDD);
    totals = Add(totals, _mm512_alignr_epi32(totals, zero, 12));
    totals = Add(totals, _mm512_alignr_epi32(totals, zero, 8));
    return Add(x, _mm512_alignr_epi32(totals, zero, 12));
  }
  static V Last(V x) { return _mm512_permutexvar_epi32(Set(15), x); }
  // Sixteen lanes of 0 or -1 as sixteen bytes of 0 or 0xFF.
  static __m128i Narrow(const V* parts) { return _mm512_cvtepi32_epi8(parts[0]); }
};

}  // namespace
