// Counting byte values into a histogram. Four interleaved tables keep runs of one value
// (paper, ink) from waiting on the same counter.
#pragma once

#include <array>
#include <cstdint>

#include "binarize/global_threshold.h"

class TByteCounts {
 public:
  void Count(const std::uint8_t* bytes, std::int32_t count) {
    std::int32_t i = 0;
    for (; i + 4 <= count; i += 4) {
      ++parts_[0][bytes[i]];
      ++parts_[1][bytes[i + 1]];
      ++parts_[2][bytes[i + 2]];
      ++parts_[3][bytes[i + 3]];
    }
    for (; i < count; ++i) ++parts_[0][bytes[i]];
  }
  THistogram Total() const {
    THistogram total{};
    for (const THistogram& part : parts_) {
      for (std::size_t v = 0; v < 256; ++v) total[v] += part[v];
    }
    return total;
  }

 private:
  std::array<THistogram, 4> parts_{};
};
