// Counting byte values into a histogram. Small counts go to eight interleaved tables of 32-bit
// counters, fed from 8-byte words, so that runs of near values (paper, ink) do not queue on
// one counter. Past 128 KiB, neighbouring bytes are counted as pairs in one table of 65536
// counters, half the increments; the pairs a page's noisy paper and ink make are a few
// thousand to some tens of thousands, so the used part of that table stays in the first- or
// second-level cache. Both fold into 64-bit totals before any counter could wrap.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "binarize/global_threshold.h"

class TByteCounts {
 public:
  void Count(const std::uint8_t* bytes, std::int32_t count) {
    if (pending_ + count > kLargestPending) Fold();
    pending_ += count;
    counted_ += count;
    std::int32_t i = 0;
    if (counted_ > kPairsFrom) {
      if (pairs_.empty()) pairs_.resize(65536);
      for (; i + 8 <= count; i += 8) {
        for (std::int32_t pair = 0; pair < 8; pair += 2) ++pairs_[Pair(bytes + i + pair)];
      }
    }
    for (; i + 8 <= count; i += 8) CountBytes(Word(bytes + i));
    for (; i < count; ++i) ++parts_[0][bytes[i]];
  }
  THistogram Total() const {
    THistogram total = totals_;
    for (const auto& part : parts_) {
      for (std::size_t v = 0; v < 256; ++v) total[v] += part[v];
    }
    if (pairs_.empty()) return total;
    // Pair (first, second) sits at first + 256 second: each row of 256 holds one second byte.
    std::array<std::uint64_t, 256> firsts{};
    for (std::size_t second = 0; second < 256; ++second) {
      const std::uint32_t* row = pairs_.data() + 256 * second;
      std::uint64_t seconds = 0;
      for (std::size_t first = 0; first < 256; ++first) {
        seconds += row[first];
        firsts[first] += row[first];
      }
      total[second] += seconds;
    }
    for (std::size_t v = 0; v < 256; ++v) total[v] += firsts[v];
    return total;
  }

 private:
  static constexpr std::size_t kParts = 8;
  static constexpr std::int64_t kPairsFrom = std::int64_t{1} << 17;
  // No counter passes the number of bytes counted since the last fold.
  static constexpr std::int64_t kLargestPending = std::int64_t{1} << 31;

  static std::uint64_t Word(const std::uint8_t* bytes) {
    std::uint64_t word;
    std::memcpy(&word, bytes, 8);
    return word;
  }
  // Two neighbouring bytes as one index, the first in the low byte.
  static std::uint16_t Pair(const std::uint8_t* bytes) {
    return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
  }
  void CountBytes(std::uint64_t word) {
    for (std::size_t part = 0; part < kParts; ++part) ++parts_[part][(word >> (8 * part)) & 0xFF];
  }
  void Fold() {
    totals_ = Total();
    parts_ = {};
    std::fill(pairs_.begin(), pairs_.end(), 0);
    pending_ = 0;
  }

  std::array<std::array<std::uint32_t, 256>, kParts> parts_{};
  std::vector<std::uint32_t> pairs_;
  THistogram totals_{};
  std::int64_t pending_ = 0;
  std::int64_t counted_ = 0;
};
