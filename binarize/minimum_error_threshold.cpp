// MinimumErrorThreshold: the level of Kittler and Illingworth's minimum-error rule ("Minimum
// error thresholding", Pattern Recognition 19, 1986). Each level t splits the histogram into
// two classes modelled as normal distributions; the criterion
//   J(t) = 1 + 2 (q1 ln s1 + q2 ln s2) - 2 (q1 ln q1 + q2 ln q2)
// over the class weights q and deviations s is smallest where the two models fit best.
// Levels with an empty class or a class of one gray value are skipped.
#include <cmath>

#include "binarize/edge_threshold.h"

namespace {

// Sum of (i - mean)^2 p[i] over i = first .. last, divided by the class weight, square root.
double Deviation(const std::array<double, 256>& p, std::int32_t first, std::int32_t last,
                 double mean, double weight) {
  double sum = 0.0;
  for (std::int32_t i = first; i <= last; ++i) {
    const double d = i - mean;
    sum += d * d * p[static_cast<std::size_t>(i)];
  }
  return std::sqrt(sum / weight);
}

}  // namespace

std::int32_t MinimumErrorThreshold(THistogram histogram) {
  std::uint64_t total = 0;
  for (const std::uint64_t count : histogram) total += count;
  if (total == 0) return 128;
  std::array<double, 256> p{}, cumulative{}, moment{};
  for (std::size_t i = 0; i < 256; ++i) {
    p[i] = static_cast<double>(histogram[i]) / static_cast<double>(total);
    cumulative[i] = i == 0 ? p[0] : cumulative[i - 1] + p[i];
    moment[i] = i == 0 ? 0.0 : moment[i - 1] + static_cast<double>(i) * p[i];
  }
  double best = 1.7e308;
  std::int32_t level = 128;
  for (std::int32_t t = 0; t < 256; ++t) {
    const auto ti = static_cast<std::size_t>(t);
    const double q1 = cumulative[ti];
    if (q1 == 1.0) break;
    if (q1 == 0.0) continue;
    const double q2 = 1.0 - q1;
    const double mean1 = moment[ti] / q1;
    const double mean2 = (moment[255] - moment[ti]) / q2;
    const double sigma1 = Deviation(p, 0, t, mean1, q1);
    const double sigma2 = Deviation(p, t + 1, 255, mean2, q2);
    double criterion = 0.0;
    if (sigma1 > 0.0 && sigma2 > 0.0) {
      criterion = 1.0 + 2.0 * (q1 * std::log(sigma1) + q2 * std::log(sigma2)) -
                  2.0 * (q1 * std::log(q1) + q2 * std::log(q2));
    }
    if (criterion < best && criterion != 0.0) {
      best = criterion;
      level = t;
    }
  }
  return level;
}
