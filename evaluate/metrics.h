// The quality of a binarized page against its ground truth, with the three measures of the
// document image binarization contests. Ink (black) is the positive class.
//
//   F-measure  2 x Recall x Precision / (Recall + Precision), in percent, with
//              Recall = TP / (TP + FN) and Precision = TP / (TP + FP). When neither image has
//              ink the pages agree fully: 100. When only one of them has ink: 0.
//   PSNR       10 log10(C^2 / MSE) in dB, C = 1 (ink and background differ by one) and MSE the
//              fraction of differing pixels. Identical pages give +infinity, shown as "inf".
//   DRD        Distance-reciprocal distortion (Lu, Kot and Shi, 2004): the sum over the flipped
//              pixels k of DRD_k, divided by NUBN. DRD_k sums |G(i,j) - B(k)| x W(i,j) over
//              the 5 x 5 block of the ground truth G centred at k, where B(k) is the result's
//              value at k and W the inverse-distance weights 1 / sqrt(di^2 + dj^2) (0 at the
//              centre) divided by their sum. Block cells outside the page count nothing: the
//              block is clipped, its weights are not renormalised. NUBN is the number of 8 x 8
//              blocks of G, tiled from the top-left, that hold both ink and background; a
//              partial block at the right or bottom edge counts by the pixels it holds. A
//              ground truth without any such block (all ink or all background) divides by 1.
#pragma once

#include <cstdint>

#include "evaluate/ink_mask.h"

// The pixel counts of a comparison.
struct TConfusion {
  std::int64_t TruePositive = 0;   // ink in both
  std::int64_t FalsePositive = 0;  // ink in the result only
  std::int64_t FalseNegative = 0;  // ink in the ground truth only
  std::int64_t TrueNegative = 0;   // background in both
};

struct TPageScore {
  double FMeasure = 0;  // percent
  double PSNR = 0;      // dB; +infinity for identical pages
  double DRD = 0;
};

// Throws EError, naming both sizes, when the masks differ in size.
void CheckSameSize(const TInkMask& result, const TInkMask& truth);

// Throws EError when the masks differ in size.
TConfusion CountConfusion(const TInkMask& result, const TInkMask& truth);

double FMeasure(const TConfusion& counts);
double PSNR(const TConfusion& counts);
// Throws EError when the masks differ in size.
double DRD(const TInkMask& result, const TInkMask& truth);

// All three measures. Throws EError when the masks differ in size.
TPageScore ScorePage(const TInkMask& result, const TInkMask& truth);
