// Running window sums shared by the box mean and Niblack's rule: per-column sums over a band
// of rows that moves down the image, and per-pixel sums over a run of those columns that
// moves along the row. Every row and column enters and leaves once, so the work per pixel is
// constant whatever the window size. Sums are 64-bit: no window of an image can overflow them.
#pragma once

#include <cstdint>
#include <limits>
#include <vector>

#include "binarize/window_filters_plane.h"

// Exact integer division by a divisor fixed for many pixels, by multiplication with its
// rounded-up reciprocal 2^64 / d. The product floor(a * m / 2^64) equals a div d whenever
// a * d < 2^64; the window sums stay below 16 385 * d (squares less the mean times the sum),
// so divisors up to 2^24 qualify. Larger divisors, and 1, divide plainly.
class TDivider {
 public:
  explicit TDivider(std::uint64_t divisor)
      : divisor_(divisor),
        reciprocal_(divisor < kLargest ? std::numeric_limits<std::uint64_t>::max() / divisor + 1
                                       : 0) {}
  std::uint64_t Divisor() const { return divisor_; }
  std::uint64_t Quotient(std::uint64_t dividend) const {
    if (reciprocal_ == 0) return dividend / divisor_;
    return static_cast<std::uint64_t>((static_cast<unsigned __int128>(dividend) * reciprocal_) >>
                                      64);
  }

 private:
  static constexpr std::uint64_t kLargest = std::uint64_t{1} << 24;
  std::uint64_t divisor_;
  std::uint64_t reciprocal_;
};

// Per-column sums of the values, and with kSquares of their squares, over the band of rows
// first .. last. The band only moves down: rows enter at the bottom and leave at the top.
template <bool kSquares>
class TColumnSums {
 public:
  explicit TColumnSums(const TPlane& plane)
      : plane_(plane), sums_(plane.width), squares_(kSquares ? plane.width : 0) {}

  void MoveTo(TSpan band) {
    while (last_ < band.last) Add(plane_.Row(++last_));
    while (first_ < band.first) Remove(plane_.Row(first_++));
  }
  std::int32_t Rows() const { return last_ - first_ + 1; }
  const std::uint64_t* Sums() const { return sums_.data(); }
  const std::uint64_t* Squares() const { return squares_.data(); }

 private:
  void Add(const std::uint8_t* row) {
    for (std::int32_t x = 0; x < plane_.width; ++x) {
      sums_[x] += row[x];
      if constexpr (kSquares) squares_[x] += std::uint32_t{row[x]} * row[x];
    }
  }
  void Remove(const std::uint8_t* row) {
    for (std::int32_t x = 0; x < plane_.width; ++x) {
      sums_[x] -= row[x];
      if constexpr (kSquares) squares_[x] -= std::uint32_t{row[x]} * row[x];
    }
  }

  TPlane plane_;
  std::vector<std::uint64_t> sums_;
  std::vector<std::uint64_t> squares_;
  std::int32_t first_ = 0;
  std::int32_t last_ = -1;
};

// Calls visit(x, sum, squares, pixelCount) for every column x of the band, with the sums over
// the window made of the band and the run of columns runOf(x). Runs only move right.
template <bool kSquares, class TRunOf, class TVisit>
void ForEachWindow(const TColumnSums<kSquares>& columns, std::int32_t width, TRunOf runOf,
                   TVisit visit) {
  const std::uint64_t* sums = columns.Sums();
  const std::uint64_t* squares = columns.Squares();
  std::uint64_t sum = 0;
  std::uint64_t squareSum = 0;
  std::int32_t first = 0;
  std::int32_t last = -1;
  for (std::int32_t x = 0; x < width; ++x) {
    TSpan run = runOf(x);
    while (last < run.last) {
      ++last;
      sum += sums[last];
      if constexpr (kSquares) squareSum += squares[last];
    }
    while (first < run.first) {
      sum -= sums[first];
      if constexpr (kSquares) squareSum -= squares[first];
      ++first;
    }
    std::uint64_t count = std::uint64_t(columns.Rows()) * std::uint64_t(run.last - run.first + 1);
    visit(x, sum, squareSum, count);
  }
}
