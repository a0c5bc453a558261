// Area averaging of the resize transform, for true-colour sources. Output pixel k covers
// [k, k + 1) x extent / count of the source; every source pixel it touches weighs its
// overlap. Weights are running sums rounded to 4096ths of the output pixel, so they always
// add up to exactly one and a flat colour stays exact. Rows are summed first into 32-bit
// column sums (two rows and 16 bytes at a time where SSE2 is available), then columns; at
// most 255 x 4096 x 4096 plus the rounding half, under 2^32. The result is rounded half up.
#include <algorithm>
#include <vector>

#include "viewer/resize_sampling.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

constexpr std::int64_t kWeightOne = 4096;
constexpr std::uint32_t kShift = 24;  // 4096 x 4096 = 2^24

// The source pixels each output position averages and their weights along one axis.
struct TAreaTaps {
  std::vector<std::int32_t> first;  // first source pixel of output k
  std::vector<std::size_t> start;   // its weights: weights[start[k] .. start[k + 1])
  std::vector<std::uint16_t> weights;
};

// Weights summing to kWeightOne for every output position. Positions are measured in count-ths of a
// source pixel: output k spans [k x extent, (k + 1) x extent), source pixel s spans [s x count, (s
// + 1) x count).
TAreaTaps AreaTaps(std::int32_t extent, std::int32_t count) {
  TAreaTaps taps;
  taps.first.resize(static_cast<std::size_t>(count));
  taps.start.resize(static_cast<std::size_t>(count) + 1);
  const auto scaled = [extent](std::int64_t p) { return (p * kWeightOne + extent / 2) / extent; };
  for (std::int64_t k = 0; k < count; ++k) {
    const std::int64_t begin = k * extent, end = begin + extent;
    const std::int64_t s0 = begin / count, s1 = (end + count - 1) / count;
    taps.first[static_cast<std::size_t>(k)] = static_cast<std::int32_t>(s0);
    taps.start[static_cast<std::size_t>(k)] = taps.weights.size();
    for (std::int64_t s = s0; s < s1; ++s) {
      const std::int64_t from = std::max(s * count, begin) - begin;
      const std::int64_t to = std::min((s + 1) * count, end) - begin;
      taps.weights.push_back(static_cast<std::uint16_t>(scaled(to) - scaled(from)));
    }
  }
  taps.start[static_cast<std::size_t>(count)] = taps.weights.size();
  return taps;
}

// sums[c] (+)= w0 x in0[c] + w1 x in1[c]: two rows at once, stored (first pair of a band) or
// added.
void AddWeightedRows(const std::uint8_t* in0, const std::uint8_t* in1, std::uint16_t w0,
                     std::uint16_t w1, std::uint32_t* sums, std::size_t count, bool first) {
  std::size_t c = 0;
#ifdef __SSE2__
  const __m128i weights = _mm_set1_epi32(static_cast<int>(w0 | (std::uint32_t{w1} << 16)));
  const __m128i zero = _mm_setzero_si128();
  for (; c + 16 <= count; c += 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in0 + c));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in1 + c));
    const __m128i low = _mm_unpacklo_epi8(a, zero), high = _mm_unpackhi_epi8(a, zero);
    const __m128i lowB = _mm_unpacklo_epi8(b, zero), highB = _mm_unpackhi_epi8(b, zero);
    // Pairs (a, b) of 16-bit values times (w0, w1), added: one 32-bit sum per byte.
    const __m128i products[4] = {_mm_madd_epi16(_mm_unpacklo_epi16(low, lowB), weights),
                                 _mm_madd_epi16(_mm_unpackhi_epi16(low, lowB), weights),
                                 _mm_madd_epi16(_mm_unpacklo_epi16(high, highB), weights),
                                 _mm_madd_epi16(_mm_unpackhi_epi16(high, highB), weights)};
    auto* out = reinterpret_cast<__m128i*>(sums + c);
    for (int k = 0; k < 4; ++k) {
      const __m128i sum =
          first ? products[k] : _mm_add_epi32(products[k], _mm_loadu_si128(out + k));
      _mm_storeu_si128(out + k, sum);
    }
  }
#endif
  for (; c < count; ++c) {
    const std::uint32_t sum = std::uint32_t{w0} * in0[c] + std::uint32_t{w1} * in1[c];
    sums[c] = first ? sum : sums[c] + sum;
  }
}

// The column sums of output row y: its source rows, weighted, two at a time (an odd last
// row with a second row of weight 0).
void SumRows(const TDibGraphic& source, const TAreaTaps& rows, std::size_t y,
             std::vector<std::uint32_t>& sums) {
  const std::size_t begin = rows.start[y], end = rows.start[y + 1];
  for (std::size_t t = begin; t < end; t += 2) {
    const std::int32_t r = rows.first[y] + static_cast<std::int32_t>(t - begin);
    const bool pair = t + 1 < end;
    AddWeightedRows(source.ScanLine(r), source.ScanLine(pair ? r + 1 : r), rows.weights[t],
                    pair ? rows.weights[t + 1] : 0, sums.data(), sums.size(), t == begin);
  }
}

// One output row from the column sums: its source columns, weighted.
void SumColumns(const std::vector<std::uint32_t>& sums, const TAreaTaps& cols, std::size_t width,
                std::uint8_t* out) {
  constexpr std::uint32_t kHalf = 1u << (kShift - 1);
  for (std::size_t x = 0; x < width; ++x, out += 3) {
    std::uint32_t b = kHalf, g = kHalf, r = kHalf;
    const std::uint32_t* sum = sums.data() + 3 * static_cast<std::size_t>(cols.first[x]);
    for (std::size_t t = cols.start[x]; t < cols.start[x + 1]; ++t, sum += 3) {
      const std::uint32_t weight = cols.weights[t];
      b += weight * sum[0], g += weight * sum[1], r += weight * sum[2];
    }
    out[0] = static_cast<std::uint8_t>(b >> kShift);
    out[1] = static_cast<std::uint8_t>(g >> kShift);
    out[2] = static_cast<std::uint8_t>(r >> kShift);
  }
}

}  // namespace

void AreaAverage(const TDibGraphic& source, TDibGraphic& dest) {
  const TAreaTaps cols = AreaTaps(source.Width(), dest.Width());
  const TAreaTaps rows = AreaTaps(source.Height(), dest.Height());
  std::vector<std::uint32_t> sums(3 * static_cast<std::size_t>(source.Width()));
  TColourRow row(dest);
  for (std::int32_t y = 0; y < dest.Height(); ++y) {
    SumRows(source, rows, static_cast<std::size_t>(y), sums);
    SumColumns(sums, cols, static_cast<std::size_t>(dest.Width()), row.For(dest, y));
    row.Store(dest, y);
  }
}
