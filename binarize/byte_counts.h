// Counting byte values into a histogram. Eight interleaved tables of 32-bit counters, fed from
// 8-byte words, keep runs of near values (paper, ink) from waiting on the same counter; the
// tables are folded into 64-bit totals before any counter could wrap.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>

#include "binarize/global_threshold.h"

class TByteCounts {
 public:
  void Count(const std::uint8_t* bytes, std::int32_t count) {
    if (pending_ + count > kLargestPending) Fold();
    pending_ += count;
    std::int32_t i = 0;
    for (; i + 8 <= count; i += 8) {
      std::uint64_t word;
      std::memcpy(&word, bytes + i, 8);
      for (std::size_t part = 0; part < kParts; ++part) ++parts_[part][(word >> (8 * part)) & 0xFF];
    }
    for (; i < count; ++i) ++parts_[0][bytes[i]];
  }
  THistogram Total() const {
    THistogram total = totals_;
    for (const auto& part : parts_) {
      for (std::size_t v = 0; v < 256; ++v) total[v] += part[v];
    }
    return total;
  }

 private:
  static constexpr std::size_t kParts = 8;
  // No counter passes the number of bytes counted since the last fold.
  static constexpr std::int64_t kLargestPending = std::int64_t{1} << 31;

  void Fold() {
    totals_ = Total();
    parts_ = {};
    pending_ = 0;
  }

  std::array<std::array<std::uint32_t, 256>, kParts> parts_{};
  THistogram totals_{};
  std::int64_t pending_ = 0;
};
