// Minimum and maximum filters in constant work per pixel (van Herk / Gil-Werman). Cut a line
// into blocks of n: a window of n consecutive elements covers the tail of one block and the
// head of the next, so its extreme is the extreme of a block suffix and a block prefix.
//
// Both passes run the same row-parallel code: the column pass slides down whole rows; the row
// pass transposes strips of rows, slides down those, and transposes back.
//
// LocalMinimum / LocalMaximum: an n x m window (sizes clamped to the image, made odd) shifted
// inward at the borders. WindowMinimum / WindowMaximum: half-widths AreaW div 2, AreaH div 2,
// clipped at the borders; a negative half-width leaves every window empty.
#include <algorithm>
#include <cstring>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "binarize/window_filters.h"
#include "binarize/window_filters_plane.h"

namespace {

struct TMinimum {
  static constexpr std::uint8_t kNeutral = 255;
  static std::uint8_t Of(std::uint8_t a, std::uint8_t b) { return std::min(a, b); }
#ifdef __SSE2__
  static __m128i Of(__m128i a, __m128i b) {
    return _mm_min_epu8(a, b);
  }
#endif
};

struct TMaximum {
  static constexpr std::uint8_t kNeutral = 0;
  static std::uint8_t Of(std::uint8_t a, std::uint8_t b) { return std::max(a, b); }
#ifdef __SSE2__
  static __m128i Of(__m128i a, __m128i b) {
    return _mm_max_epu8(a, b);
  }
#endif
};

// target[x] = extreme of a[x] and b[x]; target may be a or b.
template <class TOp>
void Combine(std::uint8_t* target, const std::uint8_t* a, const std::uint8_t* b,
             std::int32_t count) {
  std::int32_t x = 0;
#ifdef __SSE2__
  for (; x + 16 <= count; x += 16) {
    __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + x));
    __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + x));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(target + x), TOp::Of(va, vb));
  }
#endif
  for (; x < count; ++x) target[x] = TOp::Of(a[x], b[x]);
}

// One-dimensional window rule. Window s (0 <= s < count) covers the virtual elements
// s .. s + n - 1, where virtual element v is element v - pad of the line and elements outside
// 0 .. size - 1 are neutral. Its result goes to position s + shift; the positions before the
// first result and after the last one repeat those results.
struct TSlide {
  std::int32_t n, pad, count, shift, size;
};

// LocalMinimum's rule: area 1 or less becomes 2, then at least size becomes size - 1; the
// window of n = 2 (area div 2) + 1 elements never leaves the line, so it is shifted inward.
TSlide ShiftedSlide(std::int32_t area, std::int32_t size) {
  if (area <= 1) area = 2;
  if (area >= size) area = size - 1;
  std::int32_t n = 2 * (area / 2) + 1;
  return TSlide{n, 0, size - n + 1, n / 2, size};
}

// WindowMinimum's rule: radius r >= 0 either side, clipped; a radius past the line acts like
// size - 1.
TSlide ClippedSlide(std::int32_t radius, std::int32_t size) {
  radius = std::min(radius, size - 1);
  return TSlide{2 * radius + 1, radius, size, 0, size};
}

// Block suffixes and the running prefix of the sliding pass, kept between calls.
struct TSlideBuffers {
  std::vector<std::uint8_t> suffixes;
  std::vector<std::uint8_t> prefix;
};

// Slides the rule down the rows of in, writing row results into out (same width).
template <class TOp>
void SlideDown(const TPlane& in, const TPlane& out, const TSlide& rule, TSlideBuffers& buffers) {
  const std::int32_t w = in.width;
  const std::int64_t n = rule.n;
  const std::int64_t realEnd = std::int64_t{rule.pad} + in.height;  // past the last real element
  auto element = [&](std::int64_t v) -> const std::uint8_t* {
    return v >= rule.pad && v < realEnd ? in.Row(v - rule.pad) : nullptr;
  };
  buffers.suffixes.resize(static_cast<std::size_t>(std::min<std::int64_t>(n, rule.count)) * w);
  buffers.prefix.resize(static_cast<std::size_t>(w));
  std::uint8_t* prefix = buffers.prefix.data();
  auto suffix = [&](std::int64_t i) { return buffers.suffixes.data() + i * w; };

  for (std::int64_t first = 0; first < rule.count; first += n) {
    const std::int64_t last = std::min<std::int64_t>(first + n, rule.count) - 1;
    // Suffix extremes of the block, for the windows that start in it.
    std::uint8_t* tail = suffix(last - first);
    std::memset(tail, TOp::kNeutral, static_cast<std::size_t>(w));
    for (std::int64_t v = last; v < std::min(first + n, realEnd); ++v) {
      if (const std::uint8_t* e = element(v)) Combine<TOp>(tail, tail, e, w);
    }
    for (std::int64_t v = last - 1; v >= first; --v) {
      if (const std::uint8_t* e = element(v)) {
        Combine<TOp>(suffix(v - first), suffix(v - first + 1), e, w);
      } else {
        std::memcpy(suffix(v - first), suffix(v - first + 1), static_cast<std::size_t>(w));
      }
    }
    // The window starting at the block covers it whole; later ones add the next block's head.
    std::memcpy(out.Row(first + rule.shift), suffix(0), static_cast<std::size_t>(w));
    std::memset(prefix, TOp::kNeutral, static_cast<std::size_t>(w));
    for (std::int64_t s = first + 1; s <= last; ++s) {
      if (const std::uint8_t* e = element(s + n - 1)) Combine<TOp>(prefix, prefix, e, w);
      Combine<TOp>(out.Row(s + rule.shift), suffix(s - first), prefix, w);
    }
  }
  const std::int32_t lastResult = rule.count - 1 + rule.shift;
  for (std::int32_t p = 0; p < rule.shift; ++p) {
    std::memcpy(out.Row(p), out.Row(rule.shift), static_cast<std::size_t>(w));
  }
  for (std::int32_t p = lastResult + 1; p < rule.size; ++p) {
    std::memcpy(out.Row(p), out.Row(lastResult), static_cast<std::size_t>(w));
  }
}

#ifdef __SSE2__
// The 16 x 16 tile at (r, c) of source, transposed into target.
void TransposeTile(const TPlane& source, std::int32_t r, std::int32_t c, const TPlane& target) {
  __m128i x[16];
  for (int i = 0; i < 16; ++i) {
    x[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source.Row(r + i) + c));
  }
  // Interleaving row i with row i + 8 rotates the eight bits of (row, column) by one place;
  // four rounds swap row and column.
  for (int round = 0; round < 4; ++round) {
    __m128i y[16];
    for (int i = 0; i < 8; ++i) {
      y[2 * i] = _mm_unpacklo_epi8(x[i], x[i + 8]);
      y[2 * i + 1] = _mm_unpackhi_epi8(x[i], x[i + 8]);
    }
    std::copy(y, y + 16, x);
  }
  for (int i = 0; i < 16; ++i) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(target.Row(c + i) + r), x[i]);
  }
}
#endif

// target.Row(c)[r] = source.Row(r)[c] for every row r and column c of source.
void Transpose(const TPlane& source, const TPlane& target) {
  std::int32_t r = 0;
#ifdef __SSE2__
  for (; r + 16 <= source.height; r += 16) {
    std::int32_t c = 0;
    for (; c + 16 <= source.width; c += 16) TransposeTile(source, r, c, target);
    for (; c < source.width; ++c) {
      for (std::int32_t i = r; i < r + 16; ++i) target.Row(c)[i] = source.Row(i)[c];
    }
  }
#endif
  for (; r < source.height; ++r) {
    const std::uint8_t* row = source.Row(r);
    for (std::int32_t c = 0; c < source.width; ++c) target.Row(c)[r] = row[c];
  }
}

// Applies the rule along every row of the plane, in place, through transposed strips.
template <class TOp>
void SlideAcross(const TPlane& plane, const TSlide& rule) {
  constexpr std::int32_t kStrip = 64;
  std::vector<std::uint8_t> across(static_cast<std::size_t>(plane.width) * kStrip);
  std::vector<std::uint8_t> slid(across.size());
  TSlideBuffers buffers;
  for (std::int32_t top = 0; top < plane.height; top += kStrip) {
    const std::int32_t rows = std::min(kStrip, plane.height - top);
    const TPlane strip{plane.Row(top), plane.step, plane.width, rows};
    const TPlane in{across.data(), kStrip, rows, plane.width};
    const TPlane out{slid.data(), kStrip, rows, plane.width};
    Transpose(strip, in);
    SlideDown<TOp>(in, out, rule, buffers);
    Transpose(out, strip);
  }
}

template <class TOp>
void ExtremeFilter(const TDIB& image, TDIB& destination, const TSlide& across, const TSlide& down) {
  TSlideBuffers buffers;
  SlideDown<TOp>(PlaneOf(image), PlaneOf(destination), down, buffers);
  SlideAcross<TOp>(PlaneOf(destination), across);
}

template <class TOp>
void LocalExtreme(const TDIB& image, TDIB& destination, std::int32_t areaW, std::int32_t areaH) {
  std::unique_ptr<TDIB> copy;
  const TDIB& source = FilterSource(image, destination, copy);
  if (source.Width() == 0 || source.Height() == 0) return;
  ExtremeFilter<TOp>(source, destination, ShiftedSlide(areaW, source.Width()),
                     ShiftedSlide(areaH, source.Height()));
}

template <class TOp>
void WindowExtreme(const TDIB& image, TDIB& destination, std::int32_t areaW, std::int32_t areaH) {
  std::unique_ptr<TDIB> copy;
  const TDIB& source = FilterSource(image, destination, copy);
  if (source.Width() == 0 || source.Height() == 0) return;
  const std::int32_t rx = areaW / 2;
  const std::int32_t ry = areaH / 2;
  if (rx < 0 || ry < 0) {
    destination.Fill(TOp::kNeutral);
    return;
  }
  ExtremeFilter<TOp>(source, destination, ClippedSlide(rx, source.Width()),
                     ClippedSlide(ry, source.Height()));
}

}  // namespace

void LocalMinimum(const TDIB& image, TDIB& destination, std::int32_t areaW, std::int32_t areaH) {
  LocalExtreme<TMinimum>(image, destination, areaW, areaH);
}

void LocalMaximum(const TDIB& image, TDIB& destination, std::int32_t areaW, std::int32_t areaH) {
  LocalExtreme<TMaximum>(image, destination, areaW, areaH);
}

void WindowMinimum(const TDIB& image, TDIB& destination, std::int32_t areaW, std::int32_t areaH) {
  WindowExtreme<TMinimum>(image, destination, areaW, areaH);
}

void WindowMaximum(const TDIB& image, TDIB& destination, std::int32_t areaW, std::int32_t areaH) {
  WindowExtreme<TMaximum>(image, destination, areaW, areaH);
}
