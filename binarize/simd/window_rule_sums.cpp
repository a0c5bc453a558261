// The window rules' per-row window sums on the row kernels. See window_rule_sums.h.
#include "binarize/simd/window_rule_sums.h"

#include <algorithm>
#include <cstring>

#include "binarize/window_moments.h"

namespace {

constexpr std::int64_t kLargestWindow = (1 << 15) - 1;

}  // namespace

bool TRuleWindows::Fit(const TPlane& plane, std::int32_t areaW, std::int32_t areaH) {
  const std::int64_t columns = 2 * std::int64_t{WindowReach(areaW, plane.width)} + 1;
  const std::int64_t rows = 2 * std::int64_t{WindowReach(areaH, plane.height)} + 1;
  return std::min<std::int64_t>(columns, plane.width) *
             std::min<std::int64_t>(rows, plane.height) <=
         kLargestWindow;
}

// The band's zeros beyond the image clip the windows at the side borders.
TRuleWindows::TRuleWindows(const TPlane& plane, std::int32_t areaW, std::int32_t areaH)
    : plane_(plane),
      reachX_(WindowReach(areaW, plane.width)),
      reachY_(WindowReach(areaH, plane.height)),
      padded_(Padded(plane.width)),
      rows_(plane, 1),
      band_(rows_, plane.width, reachX_, padded_, true),
      kernels_(RowKernels()),
      sums_(static_cast<std::size_t>(padded_)),
      squares_(sums_.size()),
      reciprocals_(static_cast<std::size_t>(padded_)),
      values_(reciprocals_.size()),
      decided_(reciprocals_.size()),
      row_{sums_.data(),   squares_.data(), reciprocals_.data(),
           values_.data(), decided_.data(), padded_} {}

const TRuleRow& TRuleWindows::Row(std::int32_t y) {
  band_.MoveTo(WindowSpan(y, reachY_, plane_.height));
  UpdateSums();
  if (band_.Rows() != countedRows_) {
    countedRows_ = band_.Rows();
    CountWindows();
  }
  std::memcpy(values_.data(), plane_.Row(y), static_cast<std::size_t>(plane_.width));
  return row_;
}

void TRuleWindows::UpdateSums() {
  kernels_.windowSums(band_.Sums(), reachX_, sums_.data(), padded_);
  kernels_.windowSums(band_.Squares(), reachX_, squares_.data(), padded_);
}

// The reciprocal is taken per distinct count, as the per-pixel walk takes it; columns past
// the width get 0.
void TRuleWindows::CountWindows() {
  const std::int64_t rows = countedRows_;
  std::fill(reciprocals_.begin(), reciprocals_.end(), 0.0);
  for (std::int32_t x = 0; x < plane_.width; ++x) {
    const TSpan run = WindowSpan(x, reachX_, plane_.width);
    reciprocals_[x] = 1.0 / static_cast<double>(rows * (run.last - run.first + 1));
  }
}
