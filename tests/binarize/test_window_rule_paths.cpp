// Sauvola's, Wolf and Jolion's and the NICK rule on every vector path this processor runs
// (SSE2, AVX2, AVX-512), forced in turn, against the rules evaluated pixel by pixel on window
// sums read from a summed-area table: widths that leave partial vector groups, windows from one
// pixel to wider than the image, sums of squares close to 2^31 and windows of 2^15 pixels or more.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>

#include "binarize/window_rules.h"
#include "platform/cpu_features.h"
#include "tests/binarize/local_method_fixtures.h"
#include "tests/binarize/simd_levels.h"

using namespace local_fixtures;

namespace {

struct TMoments {
  double mean, meanSquare;
  double Deviation() const { return std::sqrt(std::max(meanSquare - mean * mean, 0.0)); }
};

// Every pixel's clipped window from a table of int64 sums over the rectangles from the top left
// corner, then mean = S * (1 / n), meanSquare = Q * (1 / n).
std::vector<TMoments> PlainMoments(const TDIB& image, std::int32_t areaW, std::int32_t areaH) {
  const std::int32_t w = image.Width(), h = image.Height();
  const std::int32_t rx = std::min(std::max(areaW, 1) / 2, w);
  const std::int32_t ry = std::min(std::max(areaH, 1) / 2, h);
  const auto at = [w](std::int32_t x, std::int32_t y) { return std::size_t(y) * (w + 1) + x; };
  std::vector<std::int64_t> sums(at(0, h + 1)), squares(sums.size());
  for (std::int32_t y = 0; y < h; ++y) {
    for (std::int32_t x = 0; x < w; ++x) {
      const std::int64_t p = image.Row(y)[x];
      sums[at(x + 1, y + 1)] = p + sums[at(x, y + 1)] + sums[at(x + 1, y)] - sums[at(x, y)];
      squares[at(x + 1, y + 1)] =
          p * p + squares[at(x, y + 1)] + squares[at(x + 1, y)] - squares[at(x, y)];
    }
  }
  std::vector<TMoments> moments;
  for (std::int32_t y = 0; y < h; ++y) {
    const std::int32_t top = std::max(y - ry, 0), bottom = std::min(y + ry, h - 1) + 1;
    for (std::int32_t x = 0; x < w; ++x) {
      const std::int32_t left = std::max(x - rx, 0), right = std::min(x + rx, w - 1) + 1;
      const auto total = [&](const std::vector<std::int64_t>& t) {
        return t[at(right, bottom)] - t[at(left, bottom)] - t[at(right, top)] + t[at(left, top)];
      };
      const double r = 1.0 / static_cast<double>(std::int64_t{bottom - top} * (right - left));
      moments.push_back(
          {static_cast<double>(total(sums)) * r, static_cast<double>(total(squares)) * r});
    }
  }
  return moments;
}

// What a rule needs of the whole page: its largest deviation and darkest gray.
struct TPage {
  double largest, darkest;
};

using TLevel = std::function<double(const TMoments&, const TPage&)>;
using TFast = std::function<void(const TDIB&, TDIB&, std::int32_t, std::int32_t)>;

struct TRule {
  TFast fast;
  TLevel level;
  const char* reason;
};

const TRule kRules[] = {
    {[](const TDIB& i, TDIB& o, std::int32_t w, std::int32_t h) {
       SauvolaBinarize(i, o, w, h, 0.34, 128);
     },
     [](const TMoments& m, const TPage&) {
       return m.mean * (1 + 0.34 * (m.Deviation() * (1 / 128.0) - 1));
     },
     "Sauvola, R 128"},
    {[](const TDIB& i, TDIB& o, std::int32_t w, std::int32_t h) {
       SauvolaBinarize(i, o, w, h, 0.5, -1);
     },
     [](const TMoments& m, const TPage& page) {
       const double r = page.largest > 0 ? 1 / page.largest : 0.0;
       return m.mean * (1 + 0.5 * (m.Deviation() * r - 1));
     },
     "Sauvola, automatic R"},
    {[](const TDIB& i, TDIB& o, std::int32_t w, std::int32_t h) {
       WolfJolionBinarize(i, o, w, h, 0.5);
     },
     [](const TMoments& m, const TPage& page) {
       if (page.largest == 0) return -1.0;
       return m.mean - 0.5 * (1 - m.Deviation() * (1 / page.largest)) * (m.mean - page.darkest);
     },
     "Wolf-Jolion"},
    {[](const TDIB& i, TDIB& o, std::int32_t w, std::int32_t h) { NickBinarize(i, o, w, h, -0.1); },
     [](const TMoments& m, const TPage&) { return m.mean + -0.1 * std::sqrt(m.meanSquare); },
     "NICK"},
};

// Fine and coarse random pictures, a bright one of grays 250 to 255, and a white one with a
// scattered dark or gray pixel every 211.
enum class TPicture { kFine, kCoarse, kBright, kWhite };

std::unique_ptr<TDIB> Picture(std::int32_t width, std::int32_t height, TPicture picture) {
  if (picture == TPicture::kFine || picture == TPicture::kCoarse) {
    return RandomGray(width, height, static_cast<std::uint32_t>(width * 7 + height),
                      picture == TPicture::kCoarse);
  }
  std::mt19937 random(static_cast<std::uint32_t>(width));
  std::vector<std::uint8_t> values(static_cast<std::size_t>(width) * height);
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (picture == TPicture::kBright) values[i] = static_cast<std::uint8_t>(250 + random() % 6);
    if (picture == TPicture::kWhite) values[i] = i % 211 ? 255 : random() % 256;
  }
  return Gray(width, values);
}

std::vector<std::uint8_t> Expected(const TDIB& image, const std::vector<TMoments>& moments,
                                   const TLevel& level) {
  const std::vector<std::uint8_t> gray = Pixels(image);
  TPage page{0, static_cast<double>(*std::min_element(gray.begin(), gray.end()))};
  for (const TMoments& m : moments) page.largest = std::max(page.largest, m.Deviation());
  std::vector<std::uint8_t> out;
  for (std::size_t i = 0; i < gray.size(); ++i) {
    out.push_back(gray[i] > level(moments[i], page) ? 255 : 0);
  }
  return out;
}

struct TCase {
  std::int32_t width, height, areaW, areaH;
  TPicture picture;
  const char* reason;
};

const TCase kCases[] = {
    {37, 23, 1, 1, TPicture::kFine, "one-pixel windows: every variance 0"},
    {37, 23, 2, 2, TPicture::kCoarse, "even window sides"},
    {53, 41, 7, 7, TPicture::kFine, "the usual window, a partial group at the row's end"},
    {131, 97, 51, 51, TPicture::kCoarse, "border runs wider than a vector group"},
    {19, 13, 60, 60, TPicture::kFine, "window larger than the image"},
    {1, 17, 7, 7, TPicture::kFine, "one column"},
    {17, 1, 7, 7, TPicture::kCoarse, "one row"},
    {45, 30, 9, 5, TPicture::kBright, "nearly flat: small variances, rounding decides"},
    {127, 255, 127, 255, TPicture::kBright, "32385 pixels: squares' sums close to 2^31"},
    {260, 200, 183, 183, TPicture::kWhite, "33489 pixels: squares' sums beyond 2^31"},
    {260, 200, 183, 183, TPicture::kFine, "33489 pixels, every level of gray"},
};

}  // namespace

TEST(WindowRulePaths, EveryPathEqualsThePlainRules) {
  for (const TCase& c : kCases) {
    auto image = Picture(c.width, c.height, c.picture);
    const auto moments = PlainMoments(*image, c.areaW, c.areaH);
    for (const TRule& rule : kRules) {
      const auto expected = Expected(*image, moments, rule.level);
      ForEachSimdLevel([&](const std::string& simd) {
        auto out = BlankOf(*image);
        rule.fast(*image, *out, c.areaW, c.areaH);
        EXPECT_EQ(Pixels(*out), expected) << simd << ": " << rule.reason << ", " << c.reason;
      });
    }
  }
}
