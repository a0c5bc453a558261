// The per-channel terms of a colour's gray value, shared by the conversion to 8 bits and by
// every count of a colour image's grays, so that both see the same gray for every colour.
#pragma once

#include <array>
#include <cstdint>

#include "image/rounding.h"

struct TGrayTerms {
  std::array<double, 256> red, green, blue;

  // The three terms added in the order red, green, blue, then rounded half to even (the sum
  // is exact in double, since each term is a single-precision product or a byte).
  double Sum(std::uint8_t r, std::uint8_t g, std::uint8_t b) const {
    return red[r] + green[g] + blue[b];
  }
  std::uint8_t Gray(std::uint8_t r, std::uint8_t g, std::uint8_t b) const {
    return static_cast<std::uint8_t>(RoundHalfEvenSmall(Sum(r, g, b)));
  }
};

// Terms of the selected channels, an unselected one counting 0. Weighted: 0.30 R, 0.59 G,
// 0.11 B, each product rounded to single precision when singlePrecision; else the values.
TGrayTerms ChannelTerms(bool red, bool green, bool blue, bool weighted, bool singlePrecision);

// The weighted gray of all three channels, as the conversion to 8 bits computes it.
const TGrayTerms& StandardGrayTerms();
