// Sauvola's, Wolf and Jolion's and the NICK rule: the running window sums against a plain
// implementation that sums every clipped window afresh and evaluates the same double
// expressions, on random images of awkward sizes and windows; the methods' gray step and
// 1-bit result; small pictures that show what each rule's parameters do.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "binarize/global_threshold.h"
#include "binarize/window_rules.h"
#include "tests/binarize/local_method_fixtures.h"

using namespace local_fixtures;

namespace {

struct TPlainMoments {
  double mean, meanSquare, deviation;
};

// Every pixel's clipped window summed directly: m = S * (1 / n), meanSquare = Q * (1 / n).
std::vector<TPlainMoments> PlainMoments(const TDIB& image, std::int32_t areaW, std::int32_t areaH) {
  const std::int64_t halfW = std::max(areaW, 1) / 2, halfH = std::max(areaH, 1) / 2;
  const std::int64_t w = image.Width(), h = image.Height();
  std::vector<TPlainMoments> moments;
  for (std::int64_t y = 0; y < h; ++y) {
    for (std::int64_t x = 0; x < w; ++x) {
      std::int64_t n = 0, s = 0, q = 0;
      for (std::int64_t v = std::max<std::int64_t>(y - halfH, 0); v <= std::min(y + halfH, h - 1);
           ++v) {
        for (std::int64_t u = std::max<std::int64_t>(x - halfW, 0); u <= std::min(x + halfW, w - 1);
             ++u) {
          const std::int64_t p = image.Row(static_cast<std::int32_t>(v))[u];
          ++n, s += p, q += p * p;
        }
      }
      const double r = 1.0 / static_cast<double>(n);
      const double mean = static_cast<double>(s) * r, meanSquare = static_cast<double>(q) * r;
      moments.push_back({mean, meanSquare, std::sqrt(std::max(meanSquare - mean * mean, 0.0))});
    }
  }
  return moments;
}

using TLevel = std::function<double(const TPlainMoments&)>;

std::vector<std::uint8_t> PlainDecisions(const TDIB& image, const std::vector<TPlainMoments>& m,
                                         const TLevel& level) {
  const std::vector<std::uint8_t> gray = Pixels(image);
  std::vector<std::uint8_t> out;
  for (std::size_t i = 0; i < gray.size(); ++i) out.push_back(gray[i] > level(m[i]) ? 255 : 0);
  return out;
}

double LargestDeviation(const std::vector<TPlainMoments>& moments) {
  double largest = 0;
  for (const auto& m : moments) largest = std::max(largest, m.deviation);
  return largest;
}

std::vector<std::uint8_t> PlainSauvola(const TDIB& image, const std::vector<TPlainMoments>& moments,
                                       double k, double range) {
  if (range <= 0) range = LargestDeviation(moments);
  const double reciprocal = range > 0 ? 1.0 / range : 0.0;
  return PlainDecisions(image, moments, [&](const TPlainMoments& m) {
    return m.mean * (1 + k * (m.deviation * reciprocal - 1));
  });
}

std::vector<std::uint8_t> PlainWolfJolion(const TDIB& image,
                                          const std::vector<TPlainMoments>& moments, double k) {
  const double largest = LargestDeviation(moments);
  const std::vector<std::uint8_t> gray = Pixels(image);
  const double darkest = *std::min_element(gray.begin(), gray.end());
  return PlainDecisions(image, moments, [&](const TPlainMoments& m) {
    if (largest == 0) return -1.0;
    return m.mean - k * (1 - m.deviation * (1.0 / largest)) * (m.mean - darkest);
  });
}

std::vector<std::uint8_t> PlainNick(const TDIB& image, const std::vector<TPlainMoments>& moments,
                                    double k) {
  return PlainDecisions(
      image, moments, [&](const TPlainMoments& m) { return m.mean + k * std::sqrt(m.meanSquare); });
}

using TFast = std::function<void(const TDIB&, TDIB&, std::int32_t, std::int32_t)>;
using TPlain =
    std::function<std::vector<std::uint8_t>(const TDIB&, const std::vector<TPlainMoments>&)>;

struct TRuleCase {
  TFast fast;
  TPlain plain;
  const char* reason;
};

std::vector<TRuleCase> RuleCases() {
  using namespace std::placeholders;
  return {
      {std::bind(SauvolaBinarize, _1, _2, _3, _4, 0.34, 128.0),
       std::bind(PlainSauvola, _1, _2, 0.34, 128.0), "Sauvola, R 128"},
      {std::bind(SauvolaBinarize, _1, _2, _3, _4, 0.2, 37.0),
       std::bind(PlainSauvola, _1, _2, 0.2, 37.0), "Sauvola, R below the deviations"},
      {std::bind(SauvolaBinarize, _1, _2, _3, _4, 0.5, -1.0),
       std::bind(PlainSauvola, _1, _2, 0.5, -1.0), "Sauvola, automatic R"},
      {std::bind(WolfJolionBinarize, _1, _2, _3, _4, 0.5), std::bind(PlainWolfJolion, _1, _2, 0.5),
       "Wolf-Jolion"},
      {std::bind(WolfJolionBinarize, _1, _2, _3, _4, -0.3),
       std::bind(PlainWolfJolion, _1, _2, -0.3), "Wolf-Jolion, negative k"},
      {std::bind(NickBinarize, _1, _2, _3, _4, -0.1), std::bind(PlainNick, _1, _2, -0.1), "NICK"},
      {std::bind(NickBinarize, _1, _2, _3, _4, -0.2), std::bind(PlainNick, _1, _2, -0.2),
       "NICK, larger k"},
  };
}

std::vector<std::uint8_t> Fast(const TFast& rule, const TDIB& image, std::int32_t areaW,
                               std::int32_t areaH) {
  auto out = BlankOf(image);
  rule(image, *out, areaW, areaH);
  return Pixels(*out);
}

// The gray picture the 24-bit tests start from: a slope with dark strokes and noise.
std::unique_ptr<TDIB> Colour(std::int32_t width, std::int32_t height) {
  auto image = std::make_unique<TDIB>();
  image->Allocate(width, height, df24Bit, 0, 0);
  for (std::int32_t y = 0; y < height; ++y) {
    std::uint8_t* row = image->Row(y);
    for (std::int32_t x = 0; x < width; ++x) {
      const std::int32_t base = (x % 7 == 2 ? 40 : 150 + x) + (x * 31 + y * 17) % 29;
      row[3 * x] = static_cast<std::uint8_t>(std::min(base + 30, 255));
      row[3 * x + 1] = static_cast<std::uint8_t>(std::min(base, 255));
      row[3 * x + 2] = static_cast<std::uint8_t>((base + y * 3) % 256);
    }
  }
  return image;
}

}  // namespace

TEST(WindowRules, RunningSumsEqualThePlainRules) {
  const auto rules = RuleCases();
  ForRandomWindows(51, [&](const TDIB& image, std::int32_t areaW, std::int32_t areaH) {
    const auto moments = PlainMoments(image, areaW, areaH);
    for (const TRuleCase& rule : rules) {
      EXPECT_EQ(Fast(rule.fast, image, areaW, areaH), rule.plain(image, moments))
          << rule.reason << ", " << image.Width() << "x" << image.Height() << " window " << areaW
          << "x" << areaH;
    }
  });
}

TEST(WindowRules, TallWideWindowsEqualThePlainRules) {
  // Windows wider than half the page and taller than it: no column has a full window, and
  // every row's band is cut at the top, the bottom or both.
  auto image = RandomGray(120, 110, 91, true);
  const auto moments = PlainMoments(*image, 101, 1000);
  for (const TRuleCase& rule : RuleCases()) {
    EXPECT_EQ(Fast(rule.fast, *image, 101, 1000), rule.plain(*image, moments)) << rule.reason;
  }
}

TEST(WindowRules, ExtremeWindowSidesStayWithinThePage) {
  auto image = RandomGray(9, 7, 12, false);
  for (const TRuleCase& rule : RuleCases()) {
    EXPECT_EQ(Fast(rule.fast, *image, INT32_MAX, INT32_MIN),
              rule.plain(*image, PlainMoments(*image, INT32_MAX, INT32_MIN)))
        << rule.reason;
  }
}

TEST(WindowRules, WorkInPlace) {
  for (const TRuleCase& rule : RuleCases()) {
    auto image = RandomGray(37, 23, 5, false);
    const auto expected = rule.plain(*image, PlainMoments(*image, 9, 5));
    rule.fast(*image, *image, 9, 5);
    EXPECT_EQ(Pixels(*image), expected) << rule.reason;
  }
}

TEST(WindowRules, RefuseOtherDepthsAndMismatchedDestinations) {
  for (const TRuleCase& rule : RuleCases()) {
    auto gray = Flat(6, 4, 100);
    TDIB bits;
    bits.Allocate(6, 4, df1Bit, 0, 0);
    ExpectError([&] { rule.fast(bits, *gray, 3, 3); }, kNeeds8Bit, rule.reason);
    auto small = Flat(5, 4, 0);
    ExpectError([&] { rule.fast(*gray, *small, 3, 3); },
                "The destination must be an 8 bit image of the source's size", rule.reason);
  }
}

TEST(WindowRuleMethods, TakeColourToGrayAndEndInOneBit) {
  struct TCase {
    std::function<void(TDIB&)> method;
    TFast rule;
    const char* reason;
  } const cases[] = {
      {[](TDIB& i) { SauvolaThreshold(i, 15, 7, 35, 128); },
       [](const TDIB& g, TDIB& o, std::int32_t w, std::int32_t h) {
         SauvolaBinarize(g, o, w, h, 0.35, 128);
       },
       "Sauvola: k = Contrast / 100, R = Brightness"},
      {[](TDIB& i) { SauvolaThreshold(i, 15, 7, 35, -1); },
       [](const TDIB& g, TDIB& o, std::int32_t w, std::int32_t h) {
         SauvolaBinarize(g, o, w, h, 0.35, -1);
       },
       "Sauvola: Brightness -1 is automatic"},
      {[](TDIB& i) { WolfJolionThreshold(i, 15, 7, 50); },
       [](const TDIB& g, TDIB& o, std::int32_t w, std::int32_t h) {
         WolfJolionBinarize(g, o, w, h, 0.5);
       },
       "Wolf-Jolion: k = Contrast / 100"},
      {[](TDIB& i) { NickThreshold(i, 15, 7, 15); },
       [](const TDIB& g, TDIB& o, std::int32_t w, std::int32_t h) {
         NickBinarize(g, o, w, h, -0.15);
       },
       "NICK: k = -Contrast / 100"},
  };
  for (const TCase& c : cases) {
    auto image = Colour(41, 19);
    c.method(*image);
    ASSERT_EQ(image->Format(), df1Bit) << c.reason;
    auto gray = Colour(41, 19);
    gray->ConvertTo(df8Bit);
    const auto decided = Fast(c.rule, *gray, 15, 7);
    std::vector<std::uint8_t> expected;
    for (std::uint8_t d : decided) expected.push_back(d == 255 ? 1 : 0);
    EXPECT_EQ(Bits(*image), expected) << c.reason;
    EXPECT_EQ(image->GetPaletteEntry(0) & 0xFFFFFF, 0u) << c.reason << ": black first";
    EXPECT_NE(std::count(expected.begin(), expected.end(), 0), 0) << c.reason << ": some ink";
    EXPECT_NE(std::count(expected.begin(), expected.end(), 1), 0) << c.reason << ": some paper";
  }
}

TEST(WindowRuleMethods, RefuseDepthsWithoutAGrayStep) {
  ExpectRefusedUntouched(df4Bit, [](TDIB& i) { SauvolaThreshold(i, 7, 7, 30, -1); });
  ExpectRefusedUntouched(df16Bit, [](TDIB& i) { WolfJolionThreshold(i, 7, 7, 50); });
  ExpectRefusedUntouched(df1Bit, [](TDIB& i) { NickThreshold(i, 7, 7, 10); });
}

TEST(WindowRules, ParametersMoveTheLevel) {
  // One row 60, 200, 200 with windows of 3 x 1: the first pixel's (columns 0..1) has m 130 and
  // s 70, the middle one's m 153.3 and s 66, the last one's is flat at 200.
  const auto row = Gray(3, {60, 200, 200});
  struct TCase {
    TFast rule;
    std::vector<std::uint8_t> expected;
    const char* reason;
  } const cases[] = {
      {[](const TDIB& g, TDIB& o, std::int32_t w, std::int32_t h) {
         SauvolaBinarize(g, o, w, h, 0.5, 128);
       },
       {0, 255, 255},
       "Sauvola 0.5: the middle's level m * 0.76 is below 200"},
      {[](const TDIB& g, TDIB& o, std::int32_t w, std::int32_t h) {
         SauvolaBinarize(g, o, w, h, 0.5, 10);
       },
       {0, 0, 255},
       "Sauvola, R far below the deviations: levels far above, but flat 200's"},
      {[](const TDIB& g, TDIB& o, std::int32_t w, std::int32_t h) {
         WolfJolionBinarize(g, o, w, h, 0.5);
       },
       {0, 255, 255},
       "Wolf-Jolion: the darkest pixel (M) is never above its level"},
      {[](const TDIB& g, TDIB& o, std::int32_t w, std::int32_t h) {
         NickBinarize(g, o, w, h, -0.1);
       },
       {0, 255, 255},
       "NICK -0.1: flat 200 has level 180"},
      {[](const TDIB& g, TDIB& o, std::int32_t w, std::int32_t h) {
         NickBinarize(g, o, w, h, 0.1);
       },
       {0, 255, 0},
       "NICK with a positive k: levels above the means, flat 200 is dark"},
  };
  for (const TCase& c : cases) EXPECT_EQ(Fast(c.rule, *row, 3, 1), c.expected) << c.reason;
}

TEST(WindowRules, FlatPagesFollowTheirLevels) {
  // Every window is flat: s = 0, so Sauvola's level is m (1 - k), NICK's m (1 + k), and a
  // page without contrast (Rmax 0) holds no ink for Wolf-Jolion.
  const auto flat = Flat(9, 4, 180);
  auto out = BlankOf(*flat);
  SauvolaBinarize(*flat, *out, 3, 3, 0.3, -1);
  EXPECT_EQ(Pixels(*out), std::vector<std::uint8_t>(36, 255)) << "Sauvola, automatic R of 0";
  NickBinarize(*flat, *out, 3, 3, -0.1);
  EXPECT_EQ(Pixels(*out), std::vector<std::uint8_t>(36, 255)) << "NICK";
  WolfJolionBinarize(*flat, *out, 3, 3, 0.5);
  EXPECT_EQ(Pixels(*out), std::vector<std::uint8_t>(36, 255)) << "Wolf-Jolion";
  const auto black = Flat(9, 4, 0);
  WolfJolionBinarize(*black, *out, 3, 3, 0.5);
  EXPECT_EQ(Pixels(*out), std::vector<std::uint8_t>(36, 255)) << "Wolf-Jolion, flat black";
}
