// Sauvola's, Wolf and Jolion's and the NICK rule on the shared window walk. See window_rules.h.
#include "binarize/window_rules.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "binarize/decided_image.h"
#include "binarize/simd/window_rule_rows.h"
#include "binarize/simd/window_rule_sums.h"
#include "binarize/window_filters_plane.h"
#include "binarize/window_moments.h"

namespace {

double Deviation(const TWindowMoments& moments) {
  return std::sqrt(std::max(moments.Variance(), 0.0));
}

// The reciprocal the rules multiply by; 0 for a range of 0, so that s * (1 / R) is 0 where
// every s is 0.
double ReciprocalOf(double range) {
  return range > 0 ? 1.0 / range : 0.0;
}

// Writes 255 where white(gray, moments) holds and 0 elsewhere, for every pixel of source:
// decideRow(row) makes a whole row's decisions in vector lanes while the windows fit them.
template <class TRowRule, class TWhite>
void Decide(const TDIB& source, TDIB& destination, std::int32_t areaW, std::int32_t areaH,
            TRowRule decideRow, TWhite white) {
  std::unique_ptr<TDIB> copy;
  const TDIB& image = FilterSource(source, destination, copy);
  if (image.Width() == 0 || image.Height() == 0) return;
  const TPlane in = PlaneOf(image);
  if (TRuleWindows::Fit(in, areaW, areaH)) {
    TRuleWindows windows(in, areaW, areaH);
    for (std::int32_t y = 0; y < in.height; ++y) {
      decideRow(windows.Row(y));
      std::memcpy(destination.Row(y), windows.Decided(), static_cast<std::size_t>(in.width));
    }
    return;
  }
  ForEachWindow(in, areaW, areaH, [&](std::int32_t y) {
    return [&white, pixels = in.Row(y), out = destination.Row(y)](std::int32_t x,
                                                                  TWindowMoments moments) {
      out[x] = white(pixels[x], moments) ? 255 : 0;
    };
  });
}

// The largest window variance of an 8-bit image.
double LargestVariance(const TDIB& image, std::int32_t areaW, std::int32_t areaH) {
  const TPlane in = PlaneOf(image);
  double largest = 0;
  if (TRuleWindows::Fit(in, areaW, areaH)) {
    const TWindowRuleKernels& kernels = WindowRuleKernels();
    TRuleWindows windows(in, areaW, areaH);
    for (std::int32_t y = 0; y < in.height; ++y) {
      largest = kernels.largestVariance(windows.Row(y), largest);
    }
    return largest;
  }
  ForEachWindow(in, areaW, areaH, [&largest](std::int32_t) {
    return [&largest](std::int32_t, TWindowMoments moments) {
      largest = std::max(largest, moments.Variance());
    };
  });
  return largest;
}

// The largest window deviation of an 8-bit image: the root of the largest variance, which
// is the same value since the root is monotone and correctly rounded.
double LargestDeviation(const TDIB& image, std::int32_t areaW, std::int32_t areaH) {
  Require8Bit(image);
  if (image.Width() == 0 || image.Height() == 0) return 0;
  return std::sqrt(LargestVariance(image, areaW, areaH));
}

// A plain loop over a plane the compiler can keep in vector registers.
std::uint8_t Darkest(const TDIB& image) {
  const TPlane plane = PlaneOf(image);
  std::uint8_t darkest = 255;
  for (std::int32_t y = 0; y < plane.height; ++y) {
    const std::uint8_t* row = plane.Row(y);
    for (std::int32_t x = 0; x < plane.width; ++x) darkest = row[x] < darkest ? row[x] : darkest;
  }
  return darkest;
}

}  // namespace

void SauvolaBinarize(const TDIB& source, TDIB& destination, std::int32_t areaW, std::int32_t areaH,
                     double k, double range) {
  if (range <= 0) range = LargestDeviation(source, areaW, areaH);
  const double reciprocal = ReciprocalOf(range);
  Decide(
      source, destination, areaW, areaH,
      [k, reciprocal](const TRuleRow& row) { WindowRuleKernels().sauvolaRow(row, k, reciprocal); },
      [k, reciprocal](std::uint8_t gray, TWindowMoments m) {
        return gray > m.mean * (1 + k * (Deviation(m) * reciprocal - 1));
      });
}

void WolfJolionBinarize(const TDIB& source, TDIB& destination, std::int32_t areaW,
                        std::int32_t areaH, double k) {
  const double reciprocal = ReciprocalOf(LargestDeviation(source, areaW, areaH));
  // Rmax 0: no window has any contrast, so the page holds no ink.
  if (reciprocal == 0) {
    std::unique_ptr<TDIB> copy;
    FilterSource(source, destination, copy);
    for (std::int32_t y = 0; y < destination.Height(); ++y) {
      std::memset(destination.Row(y), 255, static_cast<std::size_t>(destination.Width()));
    }
    return;
  }
  const double darkest = Darkest(source);
  Decide(
      source, destination, areaW, areaH,
      [k, reciprocal, darkest](const TRuleRow& row) {
        WindowRuleKernels().wolfJolionRow(row, k, reciprocal, darkest);
      },
      [k, reciprocal, darkest](std::uint8_t gray, TWindowMoments m) {
        return gray > m.mean - k * (1 - Deviation(m) * reciprocal) * (m.mean - darkest);
      });
}

void NickBinarize(const TDIB& source, TDIB& destination, std::int32_t areaW, std::int32_t areaH,
                  double k) {
  Decide(
      source, destination, areaW, areaH,
      [k](const TRuleRow& row) { WindowRuleKernels().nickRow(row, k); },
      [k](std::uint8_t gray, TWindowMoments m) {
        return gray > m.mean + k * std::sqrt(m.meanSquare);
      });
}

void SauvolaThreshold(TDIB& image, std::int32_t areaW, std::int32_t areaH, std::int32_t contrast,
                      std::int32_t brightness) {
  BinarizeByDecisions(image, [&](const TDIB& gray, TDIB& decided) {
    SauvolaBinarize(gray, decided, areaW, areaH, contrast / 100.0, brightness);
  });
}

void WolfJolionThreshold(TDIB& image, std::int32_t areaW, std::int32_t areaH,
                         std::int32_t contrast) {
  BinarizeByDecisions(image, [&](const TDIB& gray, TDIB& decided) {
    WolfJolionBinarize(gray, decided, areaW, areaH, contrast / 100.0);
  });
}

void NickThreshold(TDIB& image, std::int32_t areaW, std::int32_t areaH, std::int32_t contrast) {
  BinarizeByDecisions(image, [&](const TDIB& gray, TDIB& decided) {
    NickBinarize(gray, decided, areaW, areaH, -(contrast / 100.0));
  });
}
