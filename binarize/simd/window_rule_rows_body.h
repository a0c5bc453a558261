// The window rules' row loops, written once over a double-lanes type and compiled once per
// instruction set. Included only by the kernels' sources, after their lanes type: everything
// stays inside their unnamed namespace.
//
// Sums below 2^31 convert to double exactly; vector multiplication, subtraction, maximum and
// root round as the scalar ones do, and nothing is fused (the build contracts no expression),
// so each lane computes what the per-pixel walk computes. A maximum of two zeros may keep the
// other zero's sign; the root of -0 or +0 and every use of it agree either way.
#pragma once

namespace {

// For each of 256 masks, eight bytes: 0xFF where the mask's bit is set.
struct TByteMasks {
  std::uint64_t bytes[256];
  constexpr TByteMasks() : bytes() {
    for (int mask = 0; mask < 256; ++mask) {
      for (int bit = 0; bit < 8; ++bit) {
        if (mask & (1 << bit)) bytes[mask] |= std::uint64_t{0xFF} << (8 * bit);
      }
    }
  }
};
constexpr TByteMasks kByteMasks;

template <class D>
struct TLaneMoments {
  typename D::T mean, meanSquare;
};

template <class D>
TLaneMoments<D> MomentsAt(const TRuleRow& row, std::int32_t x) {
  const auto reciprocal = D::Load(row.reciprocals + x);
  return {D::Mul(D::FromWords(row.sums + x), reciprocal),
          D::Mul(D::FromWords(row.squares + x), reciprocal)};
}

template <class D>
typename D::T VarianceOf(const TLaneMoments<D>& m) {
  return D::Sub(m.meanSquare, D::Mul(m.mean, m.mean));
}

template <class D>
typename D::T DeviationOf(const TLaneMoments<D>& m) {
  return D::Sqrt(D::Max(VarianceOf(m), D::Set(0.0)));
}

template <class D>
double LargestVariance(const TRuleRow& row, double largest) {
  auto lanes = D::Set(largest);
  for (std::int32_t x = 0; x < row.length; x += D::kLanes) {
    lanes = D::Max(lanes, VarianceOf<D>(MomentsAt<D>(row, x)));
  }
  return D::Largest(lanes);
}

// out[x] = 255 where values[x] > level(moments at x), else 0.
template <class D, class TLevel>
void DecideRow(const TRuleRow& row, TLevel level) {
  for (std::int32_t x = 0; x < row.length; x += D::kLanes) {
    const int above = D::Above(D::FromBytes(row.values + x), level(MomentsAt<D>(row, x)));
    __builtin_memcpy(row.out + x, &kByteMasks.bytes[above], D::kLanes);
  }
}

template <class D>
void SauvolaRow(const TRuleRow& row, double k, double reciprocal) {
  const auto kLanes = D::Set(k), rLanes = D::Set(reciprocal), one = D::Set(1.0);
  DecideRow<D>(row, [&](const TLaneMoments<D>& m) {
    const auto scaled = D::Sub(D::Mul(DeviationOf(m), rLanes), one);
    return D::Mul(m.mean, D::Add(one, D::Mul(kLanes, scaled)));
  });
}

template <class D>
void WolfJolionRow(const TRuleRow& row, double k, double reciprocal, double darkest) {
  const auto kLanes = D::Set(k), rLanes = D::Set(reciprocal), one = D::Set(1.0);
  const auto darkLanes = D::Set(darkest);
  DecideRow<D>(row, [&](const TLaneMoments<D>& m) {
    const auto weight = D::Mul(kLanes, D::Sub(one, D::Mul(DeviationOf(m), rLanes)));
    return D::Sub(m.mean, D::Mul(weight, D::Sub(m.mean, darkLanes)));
  });
}

template <class D>
void NickRow(const TRuleRow& row, double k) {
  const auto kLanes = D::Set(k);
  DecideRow<D>(row, [&](const TLaneMoments<D>& m) {
    return D::Add(m.mean, D::Mul(kLanes, D::Sqrt(m.meanSquare)));
  });
}

template <class D>
constexpr TWindowRuleKernels WindowRuleKernelsOf() {
  return {LargestVariance<D>, SauvolaRow<D>, WolfJolionRow<D>, NickRow<D>};
}

}  // namespace
