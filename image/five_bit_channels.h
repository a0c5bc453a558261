// 15- and 16-bit pixels hold 5-bit channels (5-5-5, blue in the low bits); writers that
// need bytes widen each channel c to Round(c x 255 / 31).
#pragma once

#include <cstdint>

inline std::uint8_t WidenFiveBits(std::uint32_t channel) {
  return static_cast<std::uint8_t>((channel * 255 + 15) / 31);
}
