// Edge thresholding: ink only on the dark side of a strong enough edge, small specks removed.
//
// The image is smoothed by a 5 x 5 box mean; the edge strength is the sum of the absolute
// central differences over each 3 x 3 neighbourhood, scaled to 0..255; a pixel whose strength
// reaches Sensitivity is ink when a Laplacian with neighbours two pixels away is not negative
// there, and background otherwise. Sensitivity below 0 is chosen by the minimum-error rule of
// Kittler and Illingworth ("Minimum error thresholding", Pattern Recognition 19, 1986) on the
// strength histogram. Ink specks whose box spans at most MaxSpotSize in both directions lose
// their box outline; MaxSpotSize 1 or less keeps them all.
#pragma once

#include <cstdint>
#include <memory>

#include "binarize/global_threshold.h"
#include "image/dibunit.h"

// Classes of the class map: no edge, dark side of an edge, bright side of an edge.
inline constexpr std::uint8_t kClassNoEdge = 148;
inline constexpr std::uint8_t kClassInk = 0;
inline constexpr std::uint8_t kClassBright = 255;

// A new 8-bit image of (width + 2b) x (height + 2b): the image at (b, b), its rows 3 .. b + 2
// mirrored above it, rows height - 2 .. height - b below it, columns likewise beside it, and a
// last row and column of 0. Mirror indices outside a small image are clamped into it.
std::unique_ptr<TDIB> Padded(const TDIB& image, std::int32_t b);
// A new 8-bit image of the edge strength of an 8-bit image, scaled so that the strongest edge
// gets about 255; 0 everywhere when the image has no edge at all.
std::unique_ptr<TDIB> EdgeStrength(const TDIB& image);
// Fills classMap (8-bit, the size of smooth and strength) with the classes above.
void ClassifyEdges(const TDIB& smooth, const TDIB& strength, std::int32_t sensitivity,
                   TDIB& classMap);
// The level t minimising the minimum-error criterion over the histogram; 128 when none qualifies.
std::int32_t MinimumErrorThreshold(THistogram histogram);
// Ink becomes 0 and everything else 255, whatever lowValue and highValue say; with convert the
// image then becomes 1-bit.
void EdgeThreshold(TDIB& image, std::int32_t sensitivity, std::int32_t maxSpotSize, bool convert,
                   std::uint8_t lowValue, std::uint8_t highValue);
