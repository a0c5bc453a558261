// "Background-normalised thresholding" for pages with uneven paper, stains and bleed-through:
// the page is divided by an estimate of its paper, stroke edges are found where the local
// contrast is high, and each pixel is compared with the edge pixels around it.
//
// After S. Lu, B. Su, C. L. Tan, "Document image binarization using background estimation
// and stroke edges", IJDAR 13(4), 2010, with the stroke edges of B. Su, S. Lu, C. L. Tan,
// "Binarization of historical document images using the local maximum and minimum",
// DAS 2010. Every step is a window filter or a window sum, constant work per pixel:
//   1. Paper B: the maximum over a square of side BackgroundSide, then the mean over the
//      same square (LocalMean of side - 2), which lies at or above every pixel it covers.
//   2. Normalised page N = min(255, (255 G + B div 2) div B), 0 where B is 0: the paper turns
//      evenly white and the ink keeps its contrast to it.
//   3. Contrast C = (255 (max - min) + (max + min) div 2) div (max + min) over the 3 x 3
//      neighbourhood of N (0 where max + min is 0), high on stroke borders whether the
//      paper is bright or dim; edge pixels are those with C above Otsu's level of C.
//   4. Over the window AreaW x AreaH (centred, clipped as for the window rules), with the
//      edge pixels' count c, sum S and square sum Q of N: a pixel is ink when c is at least
//      the window's side (the larger of the two) and N <= m + f * s, m = S * (1 / c),
//      s = sqrt(max(Q * (1 / c) - m * m, 0)), f = Contrast / 100.
// Pixels without enough edges around them are paper: stains and smooth shading stay white.
#pragma once

#include <cstdint>

#include "image/dibunit.h"

struct TBackgroundNormalizedParameters {
  std::int32_t AreaW = 15;  // the edge window
  std::int32_t AreaH = 15;
  std::int32_t DeviationFactor = 50;  // f x 100
  std::int32_t BackgroundSide = 61;   // the paper estimate's square
};

// The normalised page of steps 1 and 2, from an 8-bit image into an 8-bit destination of its
// size.
void NormalizeBackground(const TDIB& image, TDIB& destination, std::int32_t backgroundSide);

// Writes 0 (ink) or 255 (paper) into every pixel of destination, an 8-bit image of the 8-bit
// source's size. Window sides below 1 count as 1.
void BackgroundNormalizedBinarize(const TDIB& source, TDIB& destination,
                                  const TBackgroundNormalizedParameters& parameters);

// The method: a 24-bit image is taken to gray first; it ends as a 1-bit image, ink black.
void BackgroundNormalizedThreshold(TDIB& image, const TBackgroundNormalizedParameters& parameters);
