// A realistic degraded scan drawn by the program itself: an A4 page at 300 dpi (2480 x 3508)
// with a heading, paragraphs of text, a ruled table, uneven illumination, a stain, noise and
// mild blur. Used by the benchmarks and as the bundled sample page.
#pragma once

#include <cstdint>
#include <memory>

#include "image/dibunit.h"

inline constexpr std::int32_t kSamplePageWidth = 2480;
inline constexpr std::int32_t kSamplePageHeight = 3508;

// colour false: 8-bit gray with the identity ramp; true: 24-bit colour. The same seed gives
// the same page, byte for byte.
std::unique_ptr<TDIB> MakeSamplePage(bool colour, std::uint32_t seed = 1);
