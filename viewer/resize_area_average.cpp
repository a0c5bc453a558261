// Area averaging of the resize transform, for true-colour sources. Output pixel k covers
// [k, k + 1) x extent / count of the source; every source pixel it touches weighs its
// overlap. Weights are running sums rounded to 256ths (rows) or 4096ths (columns) of the
// output pixel, so they always add up to exactly one and a flat colour stays exact. Rows are
// summed first into 16-bit column sums (16 bytes at a time where SSE2 is available: at most
// 255 x 256), then columns in 32 bits (at most 255 x 256 x 4096); the result is rounded half
// up.
#include <algorithm>
#include <vector>

#include "viewer/resize_sampling.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

constexpr std::int64_t kRowWeightOne = 256;
constexpr std::int64_t kColumnWeightOne = 4096;
constexpr std::uint32_t kShift = 20;  // 256 x 4096 = 2^20

// The source pixels each output position averages and their weights along one axis.
struct TAreaTaps {
  std::vector<std::int32_t> first;  // first source pixel of output k
  std::vector<std::size_t> start;   // its weights: weights[start[k] .. start[k + 1])
  std::vector<std::uint16_t> weights;
};

// Weights summing to one for every output position; one is the weight of a whole output
// pixel. Positions are measured in count-ths of a source pixel: output k spans
// [k x extent, (k + 1) x extent), source pixel s spans [s x count, (s + 1) x count).
TAreaTaps AreaTaps(std::int32_t extent, std::int32_t count, std::int64_t one) {
  TAreaTaps taps;
  taps.first.resize(static_cast<std::size_t>(count));
  taps.start.resize(static_cast<std::size_t>(count) + 1);
  const auto scaled = [extent, one](std::int64_t p) { return (p * one + extent / 2) / extent; };
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

// sums[c] = weight x in[c] (first row of a band) or sums[c] += weight x in[c].
void AddWeightedRow(const std::uint8_t* in, std::uint16_t* sums, std::size_t count,
                    std::uint16_t weight, bool first) {
  std::size_t c = 0;
#ifdef __SSE2__
  const __m128i weights = _mm_set1_epi16(static_cast<short>(weight));
  const __m128i zero = _mm_setzero_si128();
  for (; c + 16 <= count; c += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + c));
    __m128i low = _mm_mullo_epi16(_mm_unpacklo_epi8(bytes, zero), weights);
    __m128i high = _mm_mullo_epi16(_mm_unpackhi_epi8(bytes, zero), weights);
    auto* out = reinterpret_cast<__m128i*>(sums + c);
    if (!first) {
      low = _mm_add_epi16(low, _mm_loadu_si128(out));
      high = _mm_add_epi16(high, _mm_loadu_si128(out + 1));
    }
    _mm_storeu_si128(out, low);
    _mm_storeu_si128(out + 1, high);
  }
#endif
  for (; c < count; ++c) {
    const auto product = static_cast<std::uint16_t>(weight * in[c]);
    sums[c] = static_cast<std::uint16_t>(first ? product : sums[c] + product);
  }
}

// The column sums of output row y: its source rows, weighted.
void SumRows(const TDibGraphic& source, const TAreaTaps& rows, std::size_t y,
             std::vector<std::uint16_t>& sums) {
  for (std::size_t t = rows.start[y]; t < rows.start[y + 1]; ++t) {
    const std::int32_t r = rows.first[y] + static_cast<std::int32_t>(t - rows.start[y]);
    AddWeightedRow(source.ScanLine(r), sums.data(), sums.size(), rows.weights[t],
                   t == rows.start[y]);
  }
}

// One output row from the column sums: its source columns, weighted.
void SumColumns(const std::vector<std::uint16_t>& sums, const TAreaTaps& cols, std::size_t width,
                std::uint8_t* out) {
  constexpr std::uint32_t kHalf = 1u << (kShift - 1);
  for (std::size_t x = 0; x < width; ++x, out += 3) {
    std::uint32_t b = kHalf, g = kHalf, r = kHalf;
    const std::uint16_t* sum = sums.data() + 3 * static_cast<std::size_t>(cols.first[x]);
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
  const TAreaTaps cols = AreaTaps(source.Width(), dest.Width(), kColumnWeightOne);
  const TAreaTaps rows = AreaTaps(source.Height(), dest.Height(), kRowWeightOne);
  std::vector<std::uint16_t> sums(3 * static_cast<std::size_t>(source.Width()));
  TColourRow row(dest);
  for (std::int32_t y = 0; y < dest.Height(); ++y) {
    SumRows(source, rows, static_cast<std::size_t>(y), sums);
    SumColumns(sums, cols, static_cast<std::size_t>(dest.Width()), row.For(dest, y));
    row.Store(dest, y);
  }
}
