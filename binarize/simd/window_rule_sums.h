// The window walk of window_moments.h row by row for the vector row loops: every column's
// window sum and sum of squares in 32-bit lanes, the reciprocal of its pixel count and the
// row's pixels, laid out as a TRuleRow. Taken only while a window holds fewer than 2^15
// pixels, so that the sums of squares stay below 2^31.
#pragma once

#include <cstdint>
#include <vector>

#include "binarize/simd/band_columns.h"
#include "binarize/simd/window_rule_rows.h"
#include "binarize/window_filters_plane.h"

class TRuleWindows {
 public:
  // Whether the windows of areaW x areaH (as window_moments.h takes them) on plane fit.
  static bool Fit(const TPlane& plane, std::int32_t areaW, std::int32_t areaH);

  TRuleWindows(const TPlane& plane, std::int32_t areaW, std::int32_t areaH);
  // The moments of row y, rows taken from the top down; out points at Decided().
  const TRuleRow& Row(std::int32_t y);
  const std::uint8_t* Decided() const { return decided_.data(); }

 private:
  void UpdateSums();
  void CountWindows();

  TPlane plane_;
  std::int32_t reachX_, reachY_, padded_;
  TKeptRows rows_;
  TColumnBand band_;
  const TRowKernels& kernels_;
  std::vector<std::uint32_t> sums_, squares_;
  std::vector<double> reciprocals_;
  std::vector<std::uint8_t> values_, decided_;
  std::int32_t countedRows_ = 0;
  TRuleRow row_;
};
