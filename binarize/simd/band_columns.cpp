// Kept rows and per-column band sums for the vectorised window methods.
#include "binarize/simd/band_columns.h"

#include <cstring>

std::int32_t Padded(std::int32_t length) {
  return (length + 15) / 16 * 16;
}

TKeptRows::TKeptRows(const TPlane& plane, std::int32_t keep)
    : plane_(plane),
      keep_(keep),
      stride_(Padded(plane.width)),
      ring_(static_cast<std::size_t>(keep) * static_cast<std::size_t>(stride_)) {}

const std::uint8_t* TKeptRows::Row(std::int32_t y) const {
  if (y >= kept_) return plane_.Row(y);
  return ring_.data() + static_cast<std::ptrdiff_t>(y % keep_) * stride_;
}

const std::uint8_t* TKeptRows::Keep(std::int32_t y) {
  std::uint8_t* copy = ring_.data() + static_cast<std::ptrdiff_t>(y % keep_) * stride_;
  std::memcpy(copy, plane_.Row(y), static_cast<std::size_t>(plane_.width));
  kept_ = y + 1;
  return copy;
}

TColumnBand::TColumnBand(const TKeptRows& rows, std::int32_t width, std::int32_t reach,
                         std::int32_t length, bool squares)
    : rows_(rows),
      kernels_(RowKernels()),
      width_(width),
      lead_(reach + 1),
      sums_(static_cast<std::size_t>(lead_) + static_cast<std::size_t>(length + reach)),
      squares_(squares ? sums_.size() : 0),
      zeros_(static_cast<std::size_t>(width)) {}

void TColumnBand::MoveTo(TSpan band) {
  // Sliding by one row, the common step, updates every column once.
  while (last_ < band.last && first_ < band.first) {
    Replace(rows_.Row(last_ + 1), rows_.Row(first_));
    ++last_;
    ++first_;
  }
  for (; last_ < band.last; ++last_) Replace(rows_.Row(last_ + 1), zeros_.data());
  for (; first_ < band.first; ++first_) Replace(zeros_.data(), rows_.Row(first_));
}

void TColumnBand::Replace(const std::uint8_t* entering, const std::uint8_t* leaving) {
  std::uint32_t* squares = squares_.empty() ? nullptr : squares_.data() + lead_;
  kernels_.replaceRow(sums_.data() + lead_, squares, entering, leaving, width_);
}
