// Rounding as the system's numeric rules demand: to the nearest integer, an exact half going
// to the even neighbour, with results clamped into the 32-bit range (NaN gives 0).
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

inline std::int32_t RoundHalfEven(double value) {
  if (std::isnan(value)) return 0;
  // nearbyint follows the default rounding mode, round-to-nearest-even.
  double rounded = std::nearbyint(value);
  if (rounded <= std::numeric_limits<std::int32_t>::min()) {
    return std::numeric_limits<std::int32_t>::min();
  }
  if (rounded >= std::numeric_limits<std::int32_t>::max()) {
    return std::numeric_limits<std::int32_t>::max();
  }
  return static_cast<std::int32_t>(rounded);
}

// The same for values known to lie in 0 .. 2^51, without a library call: adding and removing
// 1.5 * 2^52 leaves the double rounded to an integer in round-to-nearest-even.
inline std::int32_t RoundHalfEvenSmall(double value) {
  constexpr double kShift = 6755399441055744.0;
  return static_cast<std::int32_t>((value + kShift) - kShift);
}
