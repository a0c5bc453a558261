// Counting byte values into a histogram. Small counts go to eight interleaved tables of 32-bit
// counters, fed from 8-byte words, so that runs of near values (paper, ink) do not queue on
// one counter. Past a megabyte, neighbouring bytes are counted as pairs in one table of 65536
// counters, half the increments; the pairs a page's noisy paper and ink make are a few
// thousand, so the used part of that table stays in the first-level cache. Both fold into
// 64-bit totals before any counter could wrap.
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
      for (; i + 8 <= count; i += 8) CountPairs(Word(bytes + i));
    }
    for (; i + 8 <= count; i += 8) CountBytes(Word(bytes + i));
    for (; i < count; ++i) ++parts_[0][bytes[i]];
  }
  THistogram Total() const {
    THistogram total = totals_;
    for (const auto& part : parts_) {
      for (std::size_t v = 0; v < 256; ++v) total[v] += part[v];
    }
    for (std::size_t pair = 0; pair < pairs_.size(); ++pair) {
      total[pair & 0xFF] += pairs_[pair];
      total[pair >> 8] += pairs_[pair];
    }
    return total;
  }

 private:
  static constexpr std::size_t kParts = 8;
  static constexpr std::int64_t kPairsFrom = std::int64_t{1} << 20;
  // No counter passes the number of bytes counted since the last fold.
  static constexpr std::int64_t kLargestPending = std::int64_t{1} << 31;

  static std::uint64_t Word(const std::uint8_t* bytes) {
    std::uint64_t word;
    std::memcpy(&word, bytes, 8);
    return word;
  }
  void CountBytes(std::uint64_t word) {
    for (std::size_t part = 0; part < kParts; ++part) ++parts_[part][(word >> (8 * part)) & 0xFF];
  }
  void CountPairs(std::uint64_t word) {
    for (std::size_t pair = 0; pair < 4; ++pair) ++pairs_[(word >> (16 * pair)) & 0xFFFF];
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
