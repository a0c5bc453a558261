// The slider window's place beside a band. Both comparisons are strict: a window that would
// exactly fill the room left goes to the other side.
#include "app/window_placement.h"

TScreenPoint PlaceThresholdingWindow(const TRect& band, const TRect& screen, std::int32_t width,
                                     std::int32_t height) {
  const std::int64_t roomRight = std::int64_t{screen.Right} + 1 - band.Right;
  const std::int64_t roomBelow = std::int64_t{screen.Bottom} + 1 - band.Top;
  const std::int32_t left = roomRight > width ? band.Right : band.Left - width;
  const std::int32_t top = roomBelow > height ? band.Top : band.Bottom - height;
  return {left, top};
}
