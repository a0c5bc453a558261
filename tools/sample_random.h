// The random source behind the sample page: splitmix64, a few integer operations per number,
// so that a seed draws the same page on every platform and compiler.
#pragma once

#include <cstdint>

class TSampleRandom {
 public:
  explicit TSampleRandom(std::uint64_t seed) : state_(seed) {}

  std::uint64_t Next() {
    state_ += 0x9E3779B97F4A7C15ull;
    std::uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }

  // A whole number from low to high, both included (low <= high).
  std::int32_t Between(std::int32_t low, std::int32_t high) {
    const auto count = static_cast<std::uint64_t>(std::int64_t{high} - low + 1);
    return static_cast<std::int32_t>(low + static_cast<std::int64_t>(Next() % count));
  }

  // A number in [0, 1) carrying 53 random bits.
  double Unit() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }

 private:
  std::uint64_t state_;
};
