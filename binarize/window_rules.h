// Local thresholds from a window's mean m and standard deviation s, three published rules on
// the one window walk of window_moments.h (centred window, clipped at the borders; m, the
// mean square and v = meanSquare - m * m as defined there; s = sqrt(max(v, 0))). A pixel is
// white when its gray value is above the level T, black otherwise:
//
//   Sauvola      T = m * (1 + k * (s * (1 / R) - 1))
//                J. Sauvola, M. Pietikainen, "Adaptive document image binarization",
//                Pattern Recognition 33(2), 2000. k typically 0.2 .. 0.5; R the dynamic range
//                of the deviation, 128 in the paper. R of 0 or less is automatic: the largest
//                s of the page (a flat page has none: the term s / R is then 0).
//   Wolf-Jolion  T = m - k * (1 - s * (1 / Rmax)) * (m - M)
//                C. Wolf, J.-M. Jolion, "Extraction and recognition of artificial text in
//                multimedia documents", Pattern Analysis and Applications 6(4), 2004.
//                M is the page's darkest gray, Rmax the largest s of the page. A page with
//                Rmax 0 has no contrast anywhere, so no ink: it is all white. k typically 0.5.
//   NICK         T = m + k * sqrt(meanSquare)   (the root of m * m + v)
//                K. Khurshid, I. Siddiqi, C. Faure, N. Vincent, "Comparison of Niblack
//                inspired binarization methods for ancient documents", DRR XVI, 2009.
//                k negative, typically -0.1 .. -0.2.
//
// While a window holds fewer than 2^15 pixels the rules are evaluated a row at a time in vector
// lanes (simd/window_rule_rows.h), with the same operations and so the same decisions.
//
// Each reciprocal is taken once per page (R, Rmax) or per window size (n), never per pixel;
// the rules are defined with those products. In the settings: Contrast = k x 100 (NICK:
// -k x 100), Sauvola's Brightness = R (-1 automatic), AreaWidth x AreaHeight the window.
#pragma once

#include <cstdint>

#include "image/dibunit.h"

// Each writes 255 (above the level) or 0 into every pixel of destination, an 8-bit image of
// the 8-bit source's size (source itself is allowed). Any window size is accepted.
void SauvolaBinarize(const TDIB& source, TDIB& destination, std::int32_t areaW, std::int32_t areaH,
                     double k, double range);
void WolfJolionBinarize(const TDIB& source, TDIB& destination, std::int32_t areaW,
                        std::int32_t areaH, double k);
void NickBinarize(const TDIB& source, TDIB& destination, std::int32_t areaW, std::int32_t areaH,
                  double k);

// The methods: a 24-bit image is taken to gray first, other depths but 8 bits are refused
// with the 8-bit message; the image ends as a 1-bit image with dark pixels black.
void SauvolaThreshold(TDIB& image, std::int32_t areaW, std::int32_t areaH, std::int32_t contrast,
                      std::int32_t brightness);
void WolfJolionThreshold(TDIB& image, std::int32_t areaW, std::int32_t areaH,
                         std::int32_t contrast);
void NickThreshold(TDIB& image, std::int32_t areaW, std::int32_t areaH, std::int32_t contrast);
