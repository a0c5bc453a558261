// Fixed-level thresholding and the automatic histogram rules that choose a level.
//
// Every method of the system ends in the same convention: dark pixels get LowValue, bright
// ones HighValue, and with Convert the image becomes 1-bit (palette entry 0 black, 1 white).
#pragma once

#include <array>
#include <cstdint>

#include "image/dibunit.h"

// 256 bins of pixel counts, indexed by gray value.
using THistogram = std::array<std::uint64_t, 256>;

// 0 Otsu, 1 Lloyd, 2 Ridler and Calvard, 3 Uniform Error, 4 Standard Deviation; others: 127.
using TAutoThresholdMethod = std::uint8_t;

// Pixels above level get highValue, the others lowValue; 24-bit input is made gray first.
void Threshold(TDIB& image, std::uint8_t level, bool convert, std::uint8_t lowValue,
               std::uint8_t highValue);
// Picks the level by one of the rules, applies Threshold with it and returns it.
std::uint8_t AutoThreshold(TDIB& image, TAutoThresholdMethod method, bool convert,
                           std::uint8_t lowValue, std::uint8_t highValue);
void GetHistogram(const TDIB& image, THistogram& histogram);
// Adds the counts of an 8-bit image's stored values (indices) to histogram at their gray, as
// GetHistogram counts them.
void GrayOfIndices(const TDIB& image, const THistogram& indices, THistogram& histogram);

std::int32_t OtsuThreshold(THistogram histogram);
std::int32_t LloydThreshold(THistogram histogram);
std::int32_t RidlerCalvardThreshold(THistogram histogram);
std::int32_t StandardDeviationThreshold(THistogram histogram, double k);
std::int32_t UniformErrorThreshold(const TDIB& image);
