// The row loops of the window methods, written once over a lanes type (TSse2Lanes,
// TAvx2Lanes, TAvx512Lanes) and compiled once per instruction set. Included only by the
// kernels' sources, after their lanes header: everything stays inside their unnamed namespace.
//
// The Average mode's test |round(sum / n) - v| > contrast, with round to nearest and an exact
// half to the even neighbour, is made without dividing: with excess = 2 (sum - v n), limit =
// (2 contrast + 1) n - 1 and e = 1 when v + contrast is even, the mean exceeds v + contrast
// exactly when excess - e > limit, and falls below v - contrast exactly when
// excess + e + limit < 0.
//
// Niblack's rule divides by the window's count through a float reciprocal rounded up. The
// mean needs no correction below kExactMeanWindow pixels, and above is corrected by one either
// way from the exact remainder. The deviation, floor(sqrt(floor(spread / count))), equals
// floor(sqrt(spread / count)): below kExactRootWindow pixels the float root of the spread
// times the reciprocal is exact, and above it is at most one too large and corrected by one
// test. The level test v - mean - sd k256 / 256 > -1 is made in integers:
// 256 (v - mean + 1) > sd k256.
#pragma once

namespace {

template <class L>
void ReplaceRow(std::uint32_t* sums, std::uint32_t* squares, const std::uint8_t* entering,
                const std::uint8_t* leaving, std::int32_t width) {
  constexpr int kParts = 16 / L::kLanes;
  std::int32_t x = 0;
  for (; x + 16 <= width; x += 16) {
    typename L::V in[kParts], out[kParts];
    L::Widen16(entering + x, in);
    L::Widen16(leaving + x, out);
    for (int part = 0; part < kParts; ++part) {
      const std::int32_t i = x + part * L::kLanes;
      const auto difference = L::Sub(in[part], out[part]);
      L::Store(sums + i, L::Add(L::Load(sums + i), difference));
      if (squares == nullptr) continue;
      // in^2 - out^2 = (in - out)(in + out): within 16 bits, the second never negative.
      const auto change = L::Madd(difference, L::Add(in[part], out[part]));
      L::Store(squares + i, L::Add(L::Load(squares + i), change));
    }
  }
  for (; x < width; ++x) {
    const std::int32_t in = entering[x];
    const std::int32_t out = leaving[x];
    sums[x] += static_cast<std::uint32_t>(in - out);
    if (squares != nullptr) squares[x] += static_cast<std::uint32_t>(in * in - out * out);
  }
}

// Each window sum is the one before plus the column entering minus the one leaving: the
// prefix sums of those changes. Each group's sums are found apart; only the running carry
// waits on the groups before, one addition for every two groups.
template <class L>
void WindowSums(const std::uint32_t* columns, std::int32_t reach, std::uint32_t* out,
                std::int32_t length) {
  std::uint32_t before = 0;
  for (std::int32_t j = -reach - 1; j < reach; ++j) before += columns[j];
  auto carry = L::Set(static_cast<std::int32_t>(before));
  const std::uint32_t* entering = columns + reach;
  const std::uint32_t* leaving = columns - reach - 1;
  const auto change = [&](std::int32_t x) {
    return L::Scan(L::Sub(L::Load(entering + x), L::Load(leaving + x)));
  };
  std::int32_t x = 0;
  for (; x + 2 * L::kLanes <= length; x += 2 * L::kLanes) {
    const auto first = change(x);
    const auto second = change(x + L::kLanes);
    const auto firstLast = L::Last(first);
    L::Store(out + x, L::Add(first, carry));
    L::Store(out + x + L::kLanes, L::Add(second, L::Add(carry, firstLast)));
    carry = L::Add(carry, L::Add(firstLast, L::Last(second)));
  }
  if (x < length) L::Store(out + x, L::Add(change(x), carry));
}

// mask ? a : b, bytewise.
inline __m128i Select(__m128i mask, __m128i a, __m128i b) {
  return _mm_or_si128(_mm_and_si128(mask, a), _mm_andnot_si128(mask, b));
}

inline __m128i Bytes16(std::uint8_t value) {
  return _mm_set1_epi8(static_cast<char>(value));
}

template <class L>
void MeanRow(const TMeanRow& rowIn) {
  // A copy the stores of the decisions cannot alias, so its pointers stay in registers.
  const TMeanRow row = rowIn;
  constexpr int kParts = 16 / L::kLanes;
  const auto parity = L::Set(row.contrast + 1);
  const auto one = L::Set(1);
  const auto zero = L::Zero();
  const __m128i level = Bytes16(row.level);
  const __m128i low = Bytes16(row.low);
  const __m128i high = Bytes16(row.high);
  const __m128i dark = Bytes16(row.darkValue);
  const __m128i bright = Bytes16(row.brightValue);
  for (std::int32_t x = row.start; x < row.length; x += 16) {
    typename L::V darker[kParts], brighter[kParts], pixels[kParts];
    L::Widen16(row.values + x, pixels);
    for (int part = 0; part < kParts; ++part) {
      const std::int32_t i = x + part * L::kLanes;
      const auto v = pixels[part];
      const auto product = L::Madd(v, L::Load(row.counts + i));
      const auto difference = L::Sub(L::Load(row.sums + i), product);
      const auto excess = L::Add(difference, difference);
      const auto e = L::And(L::Add(v, parity), one);
      const auto limit = L::Load(row.limits + i);
      darker[part] = L::Gt(L::Sub(excess, e), limit);
      brighter[part] = L::Gt(zero, L::Add(L::Add(excess, e), limit));
    }
    const __m128i values = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row.values + x));
    const __m128i notAbove = _mm_cmpeq_epi8(_mm_subs_epu8(values, level), _mm_setzero_si128());
    const __m128i kept = Select(notAbove, low, high);
    const __m128i result =
        Select(L::Narrow(darker), dark, Select(L::Narrow(brighter), bright, kept));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row.out + (x - row.start)), result);
  }
}

// floor(dividend / counts), from a float estimate corrected by the exact remainder.
template <class L>
typename L::V Quotient(typename L::V dividend, typename L::V counts, typename L::F reciprocals) {
  auto quotient = L::Truncate(L::MulF(L::ToFloat(dividend), reciprocals));
  const auto rest = L::Sub(dividend, L::Madd(quotient, counts));
  // A true mask (-1) taken away adds one; added, takes one away.
  quotient = L::Sub(quotient, L::Gt(rest, L::Sub(counts, L::Set(1))));
  return L::Add(quotient, L::Gt(L::Zero(), rest));
}

// floor(sums / counts) for window sums of 8-bit values when every count is below
// kExactMeanWindow: the rounded-up reciprocal lands every product in the quotient's unit.
template <class L>
typename L::V ExactMean(typename L::V sums, typename L::F reciprocals) {
  return L::Truncate(L::MulF(L::ToFloat(sums), reciprocals));
}

// floor(sqrt(spread / counts)) for windows below kExactRootWindow pixels: the spread is exact
// in float and the rounded-up reciprocal keeps every product at or above the quotient.
template <class L>
typename L::V ExactRoot(typename L::V spread, typename L::F reciprocals) {
  return L::Truncate(L::SqrtF(L::MulF(L::ToFloat(spread), reciprocals)));
}

// floor(sqrt(spread / counts)) for spreads below 2^29 and quotients below 2^14: the spread
// raised by 2^-23 of itself converts to a float at or above it, so with the rounded-up
// reciprocal the estimate is never below the root, and it is at most one above.
template <class L>
typename L::V Root(typename L::V spread, typename L::V counts, typename L::F reciprocals) {
  const auto raised = L::Add(spread, L::ShiftRight23(spread));
  const auto root = L::Truncate(L::SqrtF(L::MulF(L::ToFloat(raised), reciprocals)));
  // root^2 and root^2 counts fit the 16-bit multiplies: root is at most 128.
  return L::Add(root, L::Gt(L::Madd(L::Madd(root, root), counts), spread));
}

template <class L, TNiblackDivision kDivision>
void NiblackRowOf(const TNiblackRow& rowIn) {
  // A copy the stores of the decisions cannot alias, so its pointers stay in registers.
  const TNiblackRow row = rowIn;
  constexpr bool kExactMean = kDivision != TNiblackDivision::kCorrected;
  constexpr int kParts = 16 / L::kLanes;
  const auto k256 = L::Set(row.k256 & 0xFFFF);
  const auto one = L::Set(1);
  const __m128i white = Bytes16(row.white);
  const __m128i black = Bytes16(row.black);
  for (std::int32_t x = row.start; x < row.length; x += 16) {
    typename L::V whites[kParts], pixels[kParts];
    L::Widen16(row.values + x, pixels);
    for (int part = 0; part < kParts; ++part) {
      const std::int32_t i = x + part * L::kLanes;
      const auto sums = L::Load(row.sums + i);
      const auto counts = L::Load(row.counts + i);
      const auto reciprocals = L::LoadF(row.reciprocals + i);
      const auto mean =
          kExactMean ? ExactMean<L>(sums, reciprocals) : Quotient<L>(sums, counts, reciprocals);
      const auto spread = L::Sub(L::Load(row.squares + i), L::MulSmall(sums, mean));
      const auto deviation = kDivision == TNiblackDivision::kExactRoot
                                 ? ExactRoot<L>(spread, reciprocals)
                                 : Root<L>(spread, counts, reciprocals);
      const auto level = L::ShiftLeft8(L::Add(L::Sub(pixels[part], mean), one));
      whites[part] = L::Gt(level, L::Madd(deviation, k256));
    }
    const __m128i result = Select(L::Narrow(whites), white, black);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row.out + (x - row.start)), result);
  }
}

template <class L>
void NiblackRow(const TNiblackRow& row) {
  switch (row.division) {
    case TNiblackDivision::kExactRoot:
      NiblackRowOf<L, TNiblackDivision::kExactRoot>(row);
      break;
    case TNiblackDivision::kExactMean:
      NiblackRowOf<L, TNiblackDivision::kExactMean>(row);
      break;
    default:
      NiblackRowOf<L, TNiblackDivision::kCorrected>(row);
  }
}

template <class L>
constexpr TRowKernels KernelsOf() {
  return TRowKernels{&ReplaceRow<L>, &WindowSums<L>, &MeanRow<L>, &NiblackRow<L>};
}

}  // namespace
