// Every vector path this processor runs (SSE2, AVX2, AVX-512), forced in turn, against plain
// per-pixel rules on random images whose widths leave partial 16-pixel groups, for windows
// from one pixel to wider than the image.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "binarize/dynamic_threshold.h"
#include "binarize/global_threshold.h"
#include "binarize/niblack_threshold.h"
#include "binarize/simd/difference_rows.h"
#include "binarize/simd/row_kernels.h"
#include "image/rounding.h"
#include "platform/cpu_features.h"
#include "tests/binarize/local_method_fixtures.h"
#include "tests/binarize/simd_levels.h"

using namespace local_fixtures;

namespace {

// The fixtures' fine and coarse random images, and a narrow one (values 100 to 103) where
// means fall exactly halfway between two levels and ties of the contrast test are common.
enum class TPicture { kFine, kCoarse, kNarrow };
constexpr TPicture kPictures[] = {TPicture::kFine, TPicture::kCoarse, TPicture::kNarrow};

std::unique_ptr<TDIB> Picture(std::int32_t width, std::int32_t height, std::uint32_t seed,
                              TPicture picture) {
  if (picture != TPicture::kNarrow) {
    return RandomGray(width, height, seed, picture == TPicture::kCoarse);
  }
  std::mt19937 random(seed);
  std::vector<std::uint8_t> values(static_cast<std::size_t>(width) * height);
  for (auto& v : values) v = static_cast<std::uint8_t>(100 + random() % 4);
  return Gray(width, values);
}

const char* NameOf(TPicture picture) {
  return picture == TPicture::kFine ? "fine" : picture == TPicture::kCoarse ? "coarse" : "narrow";
}

struct TWindowCase {
  std::int32_t width, height, areaW, areaH;
  const char* reason;
};

const TWindowCase kWindowCases[] = {
    {37, 23, 1, 1, "smallest window"},
    {37, 23, 2, 2, "even window size"},
    {53, 41, 7, 7, "the dialog's default window"},
    {48, 9, 5, 5, "whole 16-pixel groups only"},
    {131, 97, 51, 51, "large window: border runs wider than a 16-pixel group"},
    {19, 13, 60, 60, "window larger than the image"},
    {1, 17, 7, 7, "one column"},
    {17, 1, 7, 7, "one row"},
    {67, 5, 3, 51, "tall window on a short image"},
    {250, 3, 200, 1, "wide window on a short image"},
};

// Values of pixels in the window of half-widths rx x ry around (x, y), clipped or centred.
struct TWindowTotals {
  std::uint64_t sum = 0, squares = 0, count = 0;
};

TWindowTotals Totals(const TDIB& image, TSpan columns, TSpan rows) {
  TWindowTotals totals;
  for (std::int32_t v = rows.first; v <= rows.last; ++v) {
    for (std::int32_t u = columns.first; u <= columns.last; ++u) {
      const std::uint64_t p = image.Row(v)[u];
      totals.sum += p;
      totals.squares += p * p;
      ++totals.count;
    }
  }
  return totals;
}

// The Average mode with a given contrast and brightness, pixel by pixel, ending 8-bit.
std::vector<std::uint8_t> PlainAverage(const TDIB& image, std::int32_t areaW, std::int32_t areaH,
                                       std::int32_t contrast, std::uint8_t level) {
  const std::int32_t w = image.Width(), h = image.Height();
  const std::int32_t rx = std::min(std::max(1, (areaW + 1) / 2), w - 1);
  const std::int32_t ry = std::min(std::max(1, (areaH + 1) / 2), h - 1);
  std::vector<std::uint8_t> out;
  for (std::int32_t y = 0; y < h; ++y) {
    for (std::int32_t x = 0; x < w; ++x) {
      const TWindowTotals t = Totals(image, {std::max(0, x - rx), std::min(w - 1, x + rx)},
                                     {std::max(0, y - ry), std::min(h - 1, y + ry)});
      const std::int32_t mean = RoundHalfEven(double(t.sum) / double(t.count));
      const std::int32_t v = image.Row(y)[x];
      std::int32_t decided = v;
      if (std::abs(mean - v) > contrast) decided = mean > v ? 10 : 240;
      out.push_back(decided > level ? 240 : 10);
    }
  }
  return out;
}

// Niblack's rule pixel by pixel, as AdvancedDynamicThreshold applies it, ending 8-bit.
std::vector<std::uint8_t> PlainNiblack(const TDIB& image, std::int32_t areaW, std::int32_t areaH,
                                       std::int32_t contrast) {
  const std::int32_t w = image.Width(), h = image.Height();
  const std::int32_t rows = std::max(areaH > h ? h - 1 : areaH, 1);
  const std::int32_t columns = (areaW >= w ? w - 1 : areaW) | 1;
  const double k256 = std::trunc(-static_cast<double>(contrast) / 100 * 256);
  std::vector<std::uint8_t> out;
  for (std::int32_t y = 0; y < h; ++y) {
    for (std::int32_t x = 0; x < w; ++x) {
      const TWindowTotals t = Totals(image, NiblackRun(x, columns, w), NiblackBand(y, rows, h));
      const std::uint64_t mean = t.sum / t.count;
      const std::uint64_t variance = (t.squares - t.sum * mean) / t.count;
      const auto deviation = static_cast<std::int32_t>(std::sqrt(double(variance)));
      const double level = (image.Row(y)[x] - deviation * k256 / 256) - double(mean);
      out.push_back(std::trunc(level) >= 0 ? 240 : 10);
    }
  }
  return out;
}

TEST(SimdPaths, AverageModeEqualsThePlainRule) {
  struct TRule {
    std::int32_t contrast, brightness;
    const char* reason;
  };
  const TRule rules[] = {{0, 128, "every difference decides"},
                         {0, 99, "ties: means halfway above or below the pixel"},
                         {15, 100, "typical contrast"},
                         {1000, 128, "contrast beyond any difference: brightness alone"},
                         {40, 255, "brightness 255 sends every pixel dark"}};
  ForEachSimdLevel([&](const std::string& simd) {
    std::uint32_t seed = 11;
    for (const TWindowCase& c : kWindowCases) {
      for (const TRule& rule : rules) {
        for (TPicture picture : kPictures) {
          auto image = Picture(c.width, c.height, seed++, picture);
          const auto expected =
              PlainAverage(*image, c.areaW, c.areaH, rule.contrast, std::uint8_t(rule.brightness));
          DynamicThresholdAverage(*image, c.areaW, c.areaH, rule.contrast, rule.brightness, false,
                                  10, 240);
          EXPECT_EQ(Pixels(*image), expected)
              << simd << ": " << c.reason << ", " << rule.reason << ", " << NameOf(picture);
        }
      }
    }
  });
}

TEST(SimdPaths, NiblackEqualsThePlainRule) {
  struct TRule {
    std::int32_t contrast;
    const char* reason;
  };
  const TRule rules[] = {{16, "the dialog's default"},
                         {0, "the mean alone"},
                         {1, "a level within one of the mean"},
                         {-70, "positive k: the level above the mean"},
                         {12700, "the largest factor the lanes take"}};
  ForEachSimdLevel([&](const std::string& simd) {
    std::uint32_t seed = 101;
    for (const TWindowCase& c : kWindowCases) {
      for (const TRule& rule : rules) {
        for (TPicture picture : kPictures) {
          auto image = Picture(c.width, c.height, seed++, picture);
          const auto expected = PlainNiblack(*image, c.areaW, c.areaH, rule.contrast);
          AdvancedDynamicThreshold(*image, c.areaW, c.areaH, rule.contrast, false, 10, 240);
          EXPECT_EQ(Pixels(*image), expected)
              << simd << ": " << c.reason << ", " << rule.reason << ", " << NameOf(picture);
        }
      }
    }
  });
}

// Windows of kExactMeanWindow pixels or more take the mean through the corrected quotient.
TEST(SimdPaths, NiblackOfTheLargestWindowsEqualsThePlainRule) {
  ForEachSimdLevel([&](const std::string& simd) {
    auto image = Picture(330, 51, 77, TPicture::kCoarse);
    const auto expected = PlainNiblack(*image, 329, 50, 16);
    AdvancedDynamicThreshold(*image, 329, 50, 16, false, 10, 240);
    EXPECT_EQ(Pixels(*image), expected) << simd;
  });
}

// Every mean the uncorrected route takes: a count below kExactMeanWindow and a quotient of 0
// to 255, at both ends of the sums that give it (the product rises with the sum).
TEST(SimdPaths, WindowReciprocalsGiveExactMeans) {
  for (std::int32_t count = 1; count < kExactMeanWindow; ++count) {
    const float reciprocal = WindowReciprocal(count);
    for (std::int32_t quotient = 0; quotient < 256; ++quotient) {
      for (std::int32_t sum : {quotient * count, (quotient + 1) * count - 1}) {
        const auto mean = static_cast<std::int32_t>(static_cast<float>(sum) * reciprocal);
        ASSERT_EQ(mean, quotient) << "count " << count << ", sum " << sum;
      }
    }
  }
}

// Every deviation the uncorrected root takes: a count below kExactRootWindow and a root of 1
// to 128, at the spreads on both sides of where it starts (the estimate rises with the spread).
TEST(SimdPaths, WindowReciprocalsGiveExactRoots) {
  for (std::int32_t count = 1; count < kExactRootWindow; ++count) {
    const float reciprocal = WindowReciprocal(count);
    for (std::int32_t root = 1; root <= 128; ++root) {
      for (std::int32_t spread : {root * root * count - 1, root * root * count}) {
        const float variance = static_cast<float>(spread) * reciprocal;
        const auto estimate = static_cast<std::int32_t>(std::sqrt(variance));
        const std::int32_t expected = spread < root * root * count ? root - 1 : root;
        ASSERT_EQ(estimate, expected) << "count " << count << ", spread " << spread;
      }
    }
  }
}

// The corrected root of larger windows: the estimate from the raised spread is never below
// the root and at most one above, so one test of root^2 counts against the spread corrects it.
// Checked for every count a window can have, at the spreads on both sides of every root's
// start (the estimate rises with the spread).
TEST(SimdPaths, RaisedSpreadsGiveRootsCorrectedByOneTest) {
  for (std::int32_t count = 1; count < 1 << 15; ++count) {
    const float reciprocal = WindowReciprocal(count);
    for (std::int32_t root = 1; root <= 128; ++root) {
      for (std::int32_t spread : {root * root * count - 1, root * root * count}) {
        const std::int32_t raised = spread + (spread >> 23);
        const auto estimate =
            static_cast<std::int32_t>(std::sqrt(static_cast<float>(raised) * reciprocal));
        const std::int32_t expected = spread < root * root * count ? root - 1 : root;
        ASSERT_TRUE(estimate == expected || estimate == expected + 1)
            << "count " << count << ", spread " << spread;
        const bool above = std::int64_t{estimate} * estimate * count > spread;
        ASSERT_EQ(estimate - (above ? 1 : 0), expected)
            << "count " << count << ", spread " << spread;
      }
    }
  }
}

TEST(SimdPaths, ThresholdAndPackingEqualThePlainRule) {
  struct TCase {
    std::int32_t width;
    std::uint8_t level, low, high;
    const char* reason;
  };
  const TCase cases[] = {{1, 127, 0, 255, "one pixel"},
                         {15, 127, 0, 255, "less than a group"},
                         {64, 127, 0, 255, "whole groups of every width"},
                         {65, 0, 0, 255, "level 0: only zeros dark"},
                         {127, 255, 0, 255, "level 255: all dark"},
                         {129, 99, 255, 0, "inverted values"},
                         {200, 60, 3, 7, "both values set: all white after packing"}};
  ForEachSimdLevel([&](const std::string& simd) {
    std::uint32_t seed = 7;
    for (const TCase& c : cases) {
      auto image = RandomGray(c.width, 5, seed++, false);
      std::vector<std::uint8_t> expected;
      for (std::uint8_t v : Pixels(*image)) expected.push_back((v > c.level ? c.high : c.low) != 0);
      Threshold(*image, c.level, true, c.low, c.high);
      EXPECT_EQ(Bits(*image), expected) << simd << ": " << c.reason;
    }
  });
}

TEST(SimdPaths, PackingEqualsThePlainRule) {
  ForEachSimdLevel([&](const std::string& simd) {
    // Past 8128 pixels a 1-bit row no longer fits the room the gray colour table leaves, so
    // the rows are packed in their old places and moved after.
    for (std::int32_t width : {1, 17, 63, 64, 65, 100, 191, 8129}) {
      auto image = RandomGray(width, 3, 60 + width, true);
      std::vector<std::uint8_t> expected;
      for (std::uint8_t v : Pixels(*image)) expected.push_back(v != 0);
      image->ConvertTo(df1Bit);
      EXPECT_EQ(Bits(*image), expected) << simd << ", width " << width;
    }
  });
}

// Past 128 KiB the counting switches to pairs of neighbouring bytes; an odd width leaves a
// byte of every row to the single counters.
TEST(SimdPaths, HistogramOfALargeImageEqualsPlainCounts) {
  auto image = RandomGray(1201, 1000, 77, false);
  THistogram plain{};
  for (std::uint8_t v : Pixels(*image)) ++plain[v];
  THistogram counted;
  GetHistogram(*image, counted);
  EXPECT_EQ(counted, plain);
}

// Every neighbour difference of every interior pixel, counted one by one.
THistogram PlainDifferences(const TDIB& image) {
  const std::vector<std::uint8_t> values = Pixels(image);
  const std::int32_t w = image.Width(), h = image.Height();
  auto at = [&](std::int32_t x, std::int32_t y) { return values[std::size_t(y) * w + x]; };
  THistogram differences{};
  for (std::int32_t y = 1; y + 1 < h; ++y) {
    for (std::int32_t x = 1; x + 1 < w; ++x) {
      for (auto [u, v] : {std::pair{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}}) {
        ++differences[std::abs(at(x, y) - at(u, v))];
      }
    }
  }
  return differences;
}

TEST(SimdPaths, DifferenceHistogramsEqualPlainCounts) {
  struct TCase {
    std::int32_t width, height, spread;
    const char* reason;
  };
  const TCase cases[] = {
      {1201, 1000, 256, "random values: nearly every difference counted in memory"},
      {1201, 300, 24, "paper-like noise: small differences and larger ones mixed"},
      {17000, 4, 1, "flat rows longer than one flush: every lane counts one value"},
      {67, 5, 24, "rows shorter than a vector"}};
  for (const TCase& c : cases) {
    std::mt19937 random(static_cast<std::uint32_t>(c.width + c.spread));
    std::vector<std::uint8_t> values(static_cast<std::size_t>(c.width) * c.height);
    for (auto& v : values) v = static_cast<std::uint8_t>(random() % c.spread);
    auto image = Gray(c.width, values);
    const THistogram expected = PlainDifferences(*image);
    ForEachSimdLevel([&](const std::string& simd) {
      THistogram counted;
      GetDifferenceHistogram(*image, counted);
      EXPECT_EQ(counted, expected) << simd << ": " << c.reason;
    });
  }
}

// Every difference kernel this processor runs, the AVX-512 one without VBMI2 included: what it
// counted itself and what it handed on make up every |a - b| exactly once.
TEST(SimdPaths, DifferenceKernelsAccountForEveryDifference) {
  const bool avx512 = ProcessorSimd() >= TSimdLevel::kAvx512;
  const struct {
    const TDifferenceKernels& kernels;
    bool runs;
    const char* name;
  } kernelSets[] = {{kSse2DifferenceKernels, true, "sse2"},
                    {kAvx2DifferenceKernels, ProcessorSimd() >= TSimdLevel::kAvx2, "avx2"},
                    {kAvx512DifferenceKernels, avx512, "avx512"},
                    {kAvx512Vbmi2DifferenceKernels, avx512 && ProcessorHasVbmi2(), "vbmi2"}};
  std::mt19937 random(5);
  for (std::int32_t count : {1, 63, 64, 65, 1000}) {
    std::vector<std::uint8_t> a(static_cast<std::size_t>(count)), b(a.size());
    for (auto& v : a) v = static_cast<std::uint8_t>(random() % 24);
    for (auto& v : b) v = static_cast<std::uint8_t>(random() % 24);
    THistogram expected{};
    for (std::size_t x = 0; x < a.size(); ++x) ++expected[std::abs(a[x] - b[x])];
    for (const auto& set : kernelSets) {
      if (!set.runs) continue;
      std::vector<std::uint8_t> rest(a.size() + 64);
      std::array<std::uint64_t, kSmallDifferences> small{};
      const std::int32_t handedOn =
          set.kernels.split(a.data(), b.data(), count, rest.data(), small.data());
      THistogram counted{};
      for (std::int32_t v = 0; v < kSmallDifferences; ++v) counted[v] = small[v];
      for (std::int32_t i = 0; i < handedOn; ++i) ++counted[rest[i]];
      EXPECT_EQ(counted, expected) << set.name << ", " << count << " differences";
    }
  }
}

TEST(SimdPaths, AutoThresholdEqualsOtsuOnThePlainHistogram) {
  ForEachSimdLevel([&](const std::string& simd) {
    for (std::int32_t width : {1, 31, 33, 64, 257}) {
      auto image = RandomGray(width, 9, 40 + width, width % 2 == 1);
      THistogram plain{};
      for (std::uint8_t v : Pixels(*image)) ++plain[v];
      const std::int32_t level = OtsuThreshold(plain);
      std::vector<std::uint8_t> expected;
      for (std::uint8_t v : Pixels(*image)) expected.push_back(v > level);
      EXPECT_EQ(AutoThreshold(*image, 0, true, 0, 255), level) << simd << ", width " << width;
      EXPECT_EQ(Bits(*image), expected) << simd << ", width " << width;
    }
  });
}

}  // namespace
