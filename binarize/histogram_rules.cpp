// The automatic level rules that read only a histogram.
//
// Otsu (1979): the level of maximum between-class variance. Lloyd: the rounded mean gray.
// Ridler and Calvard (1978): the level that is the midpoint of the two class means, found
// by iteration. Standard deviation: mean + K x deviation, truncated. Each rule takes its
// own copy of the histogram; an empty histogram gives Lloyd -1 and the others 127.
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "binarize/global_threshold.h"
#include "image/rounding.h"

namespace {

constexpr std::int32_t kNoLevel = 127;

std::uint64_t Total(const THistogram& histogram) {
  std::uint64_t total = 0;
  for (std::uint64_t count : histogram) total += count;
  return total;
}

// n / d rounded to nearest, an exact half to the even neighbour, in exact integers.
std::int32_t RoundedQuotient(std::uint64_t n, std::uint64_t d) {
  std::uint64_t quotient = n / d;
  const std::uint64_t twiceRest = 2 * (n % d);
  if (twiceRest > d || (twiceRest == d && quotient % 2 == 1)) ++quotient;
  return static_cast<std::int32_t>(quotient);
}

// Mean of the values first..last, or fallback when that class is empty.
double ClassMean(const THistogram& histogram, std::size_t first, std::size_t last,
                 std::int32_t fallback) {
  std::uint64_t count = 0, moment = 0;
  for (std::size_t i = first; i <= last; ++i) {
    count += histogram[i];
    moment += i * histogram[i];
  }
  if (count == 0) return fallback;
  return static_cast<double>(moment) / static_cast<double>(count);
}

// Truncation toward zero that stays defined for any K: clamped to the integer range, and a
// level without value (K infinite or NaN against a deviation of 0) gives the neutral 127.
std::int32_t TruncatedLevel(double level) {
  constexpr double kLowest = std::numeric_limits<std::int32_t>::min();
  constexpr double kHighest = std::numeric_limits<std::int32_t>::max();
  if (std::isnan(level)) return kNoLevel;
  return static_cast<std::int32_t>(std::trunc(std::clamp(level, kLowest, kHighest)));
}

}  // namespace

std::int32_t OtsuThreshold(THistogram histogram) {
  const std::uint64_t total = Total(histogram);
  double totalMoment = 0;
  for (std::size_t t = 0; t < 256; ++t) totalMoment += static_cast<double>(t * histogram[t]);
  const double meanTotal = totalMoment / static_cast<double>(total);
  double best = 0;
  std::int32_t level = kNoLevel;
  std::uint64_t count = 0;
  double moment = 0;
  for (std::size_t t = 0; t < 256; ++t) {
    count += histogram[t];
    moment += static_cast<double>(t * histogram[t]);
    if (count == 0 || count == total) continue;
    const double num = static_cast<double>(count) * meanTotal - moment;
    const auto den = static_cast<double>(count * (total - count));
    const double score = (num / den) * num;
    if (score > best) {
      best = score;
      level = static_cast<std::int32_t>(t);
    }
  }
  return level;
}

std::int32_t LloydThreshold(THistogram histogram) {
  const std::uint64_t total = Total(histogram);
  if (total == 0) return -1;
  double sum = 0;
  for (std::size_t i = 0; i < 256; ++i) sum += static_cast<double>(i * histogram[i]);
  return RoundHalfEven(sum / static_cast<double>(total));
}

// Both class means never decrease as t grows and the rounding keeps that order, so t moves
// one way only and settles within 256 steps.
std::int32_t RidlerCalvardThreshold(THistogram histogram) {
  std::uint64_t total = 0, moment = 0;
  for (std::size_t i = 0; i < 256; ++i) {
    total += histogram[i];
    moment += i * histogram[i];
  }
  if (total == 0) return kNoLevel;
  std::int32_t t = RoundedQuotient(moment, total);
  for (;;) {
    const auto split = static_cast<std::size_t>(t);
    const double low = ClassMean(histogram, 0, split, t);
    const double high = split == 255 ? t : ClassMean(histogram, split + 1, 255, t);
    const std::int32_t next = RoundHalfEven((low + high) / 2);
    if (next == t) return t;
    t = next;
  }
}

std::int32_t StandardDeviationThreshold(THistogram histogram, double k) {
  const std::uint64_t total = Total(histogram);
  if (total == 0) return kNoLevel;
  std::array<double, 256> p;
  for (std::size_t j = 0; j < 256; ++j) {
    p[j] = static_cast<double>(histogram[j]) / static_cast<double>(total);
  }
  double mean = 0;
  for (std::size_t j = 1; j < 256; ++j) mean += static_cast<double>(j) * p[j];
  double variance = 0;
  for (std::size_t j = 0; j < 256; ++j) {
    const double distance = static_cast<double>(j) - mean;
    variance += distance * distance * p[j];
  }
  return TruncatedLevel(mean + k * std::sqrt(variance));
}
