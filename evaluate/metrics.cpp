// F-measure and PSNR from the pixel counts of a comparison, and the whole page score.
#include "evaluate/metrics.h"

#include <cmath>
#include <limits>
#include <string>

#include "platform/errors.h"

namespace {

std::string SizeText(const TInkMask& mask) {
  return std::to_string(mask.Width) + " x " + std::to_string(mask.Height);
}

}  // namespace

void CheckSameSize(const TInkMask& result, const TInkMask& truth) {
  if (result.Width != truth.Width || result.Height != truth.Height) {
    throw EError("the result is " + SizeText(result) + " pixels but its ground truth is " +
                 SizeText(truth));
  }
}

TConfusion CountConfusion(const TInkMask& result, const TInkMask& truth) {
  CheckSameSize(result, truth);
  std::int64_t both = 0, resultInk = 0, truthInk = 0;
  for (std::size_t i = 0; i < result.Ink.size(); ++i) {
    both += result.Ink[i] & truth.Ink[i];
    resultInk += result.Ink[i];
    truthInk += truth.Ink[i];
  }
  const auto pixels = static_cast<std::int64_t>(result.Ink.size());
  return {both, resultInk - both, truthInk - both, pixels - resultInk - truthInk + both};
}

double FMeasure(const TConfusion& c) {
  const std::int64_t resultInk = c.TruePositive + c.FalsePositive;
  const std::int64_t truthInk = c.TruePositive + c.FalseNegative;
  if (resultInk == 0 && truthInk == 0) return 100;
  if (c.TruePositive == 0) return 0;
  const double recall = static_cast<double>(c.TruePositive) / truthInk;
  const double precision = static_cast<double>(c.TruePositive) / resultInk;
  return 100 * 2 * recall * precision / (recall + precision);
}

double PSNR(const TConfusion& c) {
  const std::int64_t differing = c.FalsePositive + c.FalseNegative;
  if (differing == 0) return std::numeric_limits<double>::infinity();
  const std::int64_t pixels = differing + c.TruePositive + c.TrueNegative;
  const double mse = static_cast<double>(differing) / pixels;
  return 10 * std::log10(1 / mse);
}

TPageScore ScorePage(const TInkMask& result, const TInkMask& truth) {
  const TConfusion counts = CountConfusion(result, truth);
  return {FMeasure(counts), PSNR(counts), DRD(result, truth)};
}
