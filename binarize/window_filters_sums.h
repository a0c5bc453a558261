// Window sums shared by the box mean and Niblack's rule: per-column sums over a band of rows
// that moves down the image, and prefix sums of those along the row, so that a window's sum
// is one subtraction. Every row enters and leaves the band once, so the work per pixel is
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

// Sums of the values, and with kSquares of their squares, over windows made of a band of rows
// and a run of columns. The band only moves down: rows enter at the bottom and leave at the
// top, updating per-column sums; after each move, prefix sums along the row make the sum over
// any run of columns one subtraction.
template <bool kSquares>
class TWindowSums {
 public:
  explicit TWindowSums(const TPlane& plane)
      : plane_(plane),
        sums_(Columns(1)),
        squares_(Columns(kSquares)),
        sumPrefix_(Columns(1) + 1),
        squarePrefix_(Columns(kSquares) + 1) {}

  void MoveTo(TSpan band) {
    // Sliding by one row, the common step, updates every column once.
    while (last_ < band.last && first_ < band.first) {
      Replace(plane_.Row(++last_), plane_.Row(first_++));
    }
    while (last_ < band.last) Replace(plane_.Row(++last_), zeros_.data());
    while (first_ < band.first) Replace(zeros_.data(), plane_.Row(first_++));
    for (std::int32_t x = 0; x < plane_.width; ++x) sumPrefix_[x + 1] = sumPrefix_[x] + sums_[x];
    if constexpr (kSquares) {
      for (std::int32_t x = 0; x < plane_.width; ++x) {
        squarePrefix_[x + 1] = squarePrefix_[x] + squares_[x];
      }
    }
  }
  std::int32_t Rows() const { return last_ - first_ + 1; }
  std::uint64_t Sum(TSpan run) const { return sumPrefix_[run.last + 1] - sumPrefix_[run.first]; }
  std::uint64_t SquareSum(TSpan run) const {
    return squarePrefix_[run.last + 1] - squarePrefix_[run.first];
  }

 private:
  std::size_t Columns(bool used) const { return used ? static_cast<std::size_t>(plane_.width) : 0; }
  // Adds the entering row and takes away the leaving one, column by column.
  void Replace(const std::uint8_t* entering, const std::uint8_t* leaving) {
    for (std::int32_t x = 0; x < plane_.width; ++x) {
      sums_[x] += static_cast<std::uint64_t>(std::int32_t{entering[x]} - leaving[x]);
      if constexpr (kSquares) {
        squares_[x] += static_cast<std::uint64_t>(std::int32_t{entering[x]} * entering[x] -
                                                  std::int32_t{leaving[x]} * leaving[x]);
      }
    }
  }

  TPlane plane_;
  std::vector<std::uint64_t> sums_, squares_, sumPrefix_, squarePrefix_;
  std::vector<std::uint8_t> zeros_ =
      std::vector<std::uint8_t>(static_cast<std::size_t>(plane_.width));
  std::int32_t first_ = 0;
  std::int32_t last_ = -1;
};
