// The band machinery of the vectorised window methods: the original rows of a plane that is
// overwritten from the top while its band of rows still needs them, and 32-bit per-column sums
// (and sums of squares) over a band of rows that moves down the plane. The buffers are padded
// to whole 16-pixel groups for the row kernels.
#pragma once

#include <cstdint>
#include <vector>

#include "binarize/simd/row_kernels.h"
#include "binarize/window_filters_plane.h"

// length rounded up to a whole number of 16-pixel groups.
std::int32_t Padded(std::int32_t length);

// Rows of a plane that its owner overwrites in order, y = 0, 1, ...: Keep(y) copies row y
// before it is overwritten, and the last `keep` copies stay readable.
class TKeptRows {
 public:
  TKeptRows(const TPlane& plane, std::int32_t keep);
  // Row y as it was: the kept copy once row y was kept, the plane's row before.
  const std::uint8_t* Row(std::int32_t y) const;
  // Copies row y (the row after the last kept one) and returns the copy, padded.
  const std::uint8_t* Keep(std::int32_t y);

 private:
  TPlane plane_;
  std::int32_t keep_;
  std::int32_t stride_;
  std::int32_t kept_ = 0;
  std::vector<std::uint8_t> ring_;
};

// Per-column sums over a band of rows. MoveTo behaves as TWindowSums::MoveTo: the band only
// moves down, each row entering and leaving once.
class TColumnBand {
 public:
  // The sums are zero outside the plane's width and readable from reach + 1 columns before the
  // first to reach columns past length, as the window sums of reach over length read them.
  TColumnBand(const TKeptRows& rows, std::int32_t width, std::int32_t reach, std::int32_t length,
              bool squares);
  void MoveTo(TSpan band);
  std::int32_t Rows() const { return last_ - first_ + 1; }
  const std::uint32_t* Sums() const { return sums_.data() + lead_; }
  // Null when the band keeps no squares.
  const std::uint32_t* Squares() const {
    return squares_.empty() ? nullptr : squares_.data() + lead_;
  }

 private:
  void Replace(const std::uint8_t* entering, const std::uint8_t* leaving);

  const TKeptRows& rows_;
  const TRowKernels& kernels_;
  std::int32_t width_;
  std::int32_t lead_;
  std::vector<std::uint32_t> sums_, squares_;
  std::vector<std::uint8_t> zeros_;
  std::int32_t first_ = 0;
  std::int32_t last_ = -1;
};
