// Edge thresholding: the mirror border, the strength, the classes and the minimum-error level,
// each against a plain per-pixel form of its rule, and the whole method against the plain
// pipeline and on hand-made flat pictures whose classes are known.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "binarize/connected_components.h"
#include "binarize/edge_threshold.h"
#include "binarize/global_threshold.h"
#include "binarize/window_filters.h"
#include "ink_drawing.h"
#include "platform/errors.h"

namespace {

std::unique_ptr<TDIB> Gray(std::int32_t width, std::int32_t height, std::uint8_t value) {
  auto image = std::make_unique<TDIB>();
  image->Allocate(width, height, df8Bit, 300, 300);
  image->Fill(value);
  return image;
}

// Dark strokes, dots and blots on a noisy light ground, a little like a scanned page.
std::unique_ptr<TDIB> RandomPage(std::mt19937& random, std::int32_t width, std::int32_t height) {
  auto image = Gray(width, height, 0);
  std::uniform_int_distribution<int> noise(-12, 12);
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) image->SetPixel(x, y, 200 + noise(random));
  }
  std::uniform_int_distribution<std::int32_t> xs(0, width - 1), ys(0, height - 1), size(0, 6);
  std::uniform_int_distribution<int> ink(10, 120);
  for (std::int32_t mark = 0; mark < (width * height) / 40 + 1; ++mark) {
    const std::int32_t x0 = xs(random), y0 = ys(random);
    const std::int32_t w = size(random), h = size(random);
    const int value = ink(random);
    for (std::int32_t y = y0; y <= std::min(y0 + h, height - 1); ++y) {
      for (std::int32_t x = x0; x <= std::min(x0 + w, width - 1); ++x) {
        image->SetPixel(x, y, value);
      }
    }
  }
  return image;
}

std::vector<std::int32_t> Pixels(const TDIB& image) {
  std::vector<std::int32_t> pixels{image.Format(), image.Width(), image.Height()};
  for (std::int32_t y = 0; y < image.Height(); ++y) {
    for (std::int32_t x = 0; x < image.Width(); ++x) pixels.push_back(image.GetPixel(x, y));
  }
  return pixels;
}

std::int32_t Clamp(std::int32_t index, std::int32_t size) {
  return index < 0 ? 0 : (index >= size ? size - 1 : index);
}

// The border rule step by step, pixel by pixel: columns first, then rows of the padded image.
std::unique_ptr<TDIB> PlainPadded(const TDIB& source, std::int32_t b) {
  const std::int32_t w = source.Width(), h = source.Height();
  auto padded = Gray(w + 2 * b, h + 2 * b, 0);
  for (std::int32_t y = 0; y < h; ++y) {
    for (std::int32_t x = 0; x < w; ++x) padded->SetPixel(x + b, y + b, source.GetPixel(x, y));
  }
  for (std::int32_t x = 0; x < w; ++x) {
    for (std::int32_t k = 0; k < b; ++k) {
      padded->SetPixel(x + b, k, source.GetPixel(x, Clamp(b + 2 - k, h)));
      padded->SetPixel(x + b, b + h - 1 + k, source.GetPixel(x, Clamp(h - 1 - k, h)));
    }
  }
  for (std::int32_t y = 0; y <= h + 2 * b - 2; ++y) {
    for (std::int32_t k = 0; k < b; ++k) {
      padded->SetPixel(k, y, padded->GetPixel(b + Clamp(b + 2 - k, w), y));
      padded->SetPixel(b + w - 1 + k, y, padded->GetPixel(b + Clamp(w - 1 - k, w), y));
    }
  }
  return padded;
}

// Eighteen differences per pixel, then sum / (maxv / 255) truncated.
std::unique_ptr<TDIB> PlainStrength(const TDIB& image) {
  const auto p = Padded(image, 2);
  const auto at = [&](std::int32_t x, std::int32_t y) { return p->GetPixel(x, y); };
  std::vector<std::int32_t> sums;
  std::int32_t maxv = 0;
  for (std::int32_t y = 0; y < image.Height(); ++y) {
    for (std::int32_t x = 0; x < image.Width(); ++x) {
      std::int32_t sum = 0;
      for (std::int32_t i = -1; i <= 1; ++i) {
        for (std::int32_t j = -1; j <= 1; ++j) {
          const std::int32_t u = x + 2 + i, v = y + 2 + j;
          sum += std::abs(at(u - 1, v) - at(u + 1, v)) + std::abs(at(u, v - 1) - at(u, v + 1));
        }
      }
      sums.push_back(sum);
      maxv = std::max(maxv, sum);
    }
  }
  auto strength = Gray(image.Width(), image.Height(), 0);
  std::size_t next = 0;
  for (std::int32_t y = 0; y < image.Height(); ++y) {
    for (std::int32_t x = 0; x < image.Width(); ++x) {
      const std::int32_t sum = sums[next++];
      strength->SetPixel(x, y, maxv == 0 ? 0 : static_cast<std::int32_t>(sum / (maxv / 255.0)));
    }
  }
  return strength;
}

std::unique_ptr<TDIB> PlainClasses(const TDIB& smooth, const TDIB& strength,
                                   std::int32_t sensitivity) {
  const auto p = Padded(smooth, 2);
  auto classes = Gray(smooth.Width(), smooth.Height(), 0);
  for (std::int32_t y = 0; y < smooth.Height(); ++y) {
    for (std::int32_t x = 0; x < smooth.Width(); ++x) {
      const std::int32_t px = x + 2, py = y + 2;
      const std::int32_t l = p->GetPixel(px + 2, py) + p->GetPixel(px - 2, py) +
                             p->GetPixel(px, py + 2) + p->GetPixel(px, py - 2) -
                             4 * p->GetPixel(px, py);
      std::int32_t cls = l >= 0 ? 0 : 255;
      if (strength.GetPixel(x, y) < sensitivity) cls = 148;
      classes->SetPixel(x, y, cls);
    }
  }
  return classes;
}

// The method's steps as written, on a copy.
std::unique_ptr<TDIB> PlainEdgeThreshold(const TDIB& input, std::int32_t sensitivity,
                                         std::int32_t maxSpotSize) {
  auto image = input.Duplicate();
  auto smooth = Gray(image->Width(), image->Height(), 0);
  LocalMean(*image, *smooth, 3, 3);
  const auto strength = PlainStrength(*smooth);
  if (sensitivity < 0) {
    THistogram histogram;
    GetHistogram(*strength, histogram);
    sensitivity = MinimumErrorThreshold(histogram);
  }
  const auto classes = PlainClasses(*smooth, *strength, sensitivity);
  if (maxSpotSize > 1) {
    auto before = classes->Duplicate();
    Threshold(*before, 1, true, 0, 255);
    auto after = before->Duplicate();
    RemoveSpots(*after, maxSpotSize, maxSpotSize);
    for (std::int32_t y = 0; y < image->Height(); ++y) {
      for (std::int32_t x = 0; x < image->Width(); ++x) {
        if (before->GetPixel(x, y) != after->GetPixel(x, y)) classes->SetPixel(x, y, 148);
      }
    }
  }
  for (std::int32_t y = 0; y < image->Height(); ++y) {
    for (std::int32_t x = 0; x < image->Width(); ++x) {
      image->SetPixel(x, y, classes->GetPixel(x, y) == 0 ? 0 : 255);
    }
  }
  Threshold(*image, 128, true, 0, 255);
  return image;
}

std::vector<std::int32_t> EdgeThresholded(const TDIB& input, std::int32_t sensitivity,
                                          std::int32_t maxSpotSize, bool convert = true,
                                          std::uint8_t low = 0, std::uint8_t high = 255) {
  auto image = input.Duplicate();
  EdgeThreshold(*image, sensitivity, maxSpotSize, convert, low, high);
  return Pixels(*image);
}

// Sizes from a single pixel up, below and above the 5 pixels the mirror border reads.
const std::pair<std::int32_t, std::int32_t> kSizes[] = {
    {1, 1}, {1, 6}, {6, 1}, {2, 3}, {3, 2}, {4, 4}, {5, 5}, {5, 8}, {9, 6}, {37, 23}, {70, 41},
};

}  // namespace

TEST(EdgeThreshold, PaddedMirrorsRowsThreeAndFourAndLeavesTheOuterFrameZero) {
  auto image = Gray(6, 7, 0);
  for (std::int32_t y = 0; y < 7; ++y) {
    for (std::int32_t x = 0; x < 6; ++x) image->SetPixel(x, y, 10 * y + x + 1);
  }
  const auto padded = Padded(*image, 2);
  ASSERT_EQ(padded->Width(), 10);
  ASSERT_EQ(padded->Height(), 11);
  struct TCase {
    std::int32_t x, y, value;
    const char* reason;
  };
  const TCase cases[] = {
      {2, 2, 1, "the image sits at (2, 2)"},
      {2, 0, 41, "row -2 holds row 4"},
      {2, 1, 31, "row -1 holds row 3"},
      {0, 2, 5, "column -2 holds column 4"},
      {1, 2, 4, "column -1 holds column 3"},
      {0, 0, 45, "the corner comes from column 4 of row 4"},
      {3, 9, 52, "the row below the image holds row height - 2"},
      {8, 3, 15, "the column right of the image holds column width - 2"},
      {8, 9, 55, "the corner below right holds (width - 2, height - 2)"},
      {9, 4, 0, "the outermost column stays 0"},
      {4, 10, 0, "the outermost row stays 0"},
      {0, 10, 0, "the outermost row stays 0 at the left border too"},
  };
  for (const TCase& c : cases) EXPECT_EQ(padded->GetPixel(c.x, c.y), c.value) << c.reason;
}

TEST(EdgeThreshold, PaddedAgreesWithTheBorderRuleAndClampsSmallImages) {
  std::mt19937 random(7);
  for (const auto& [width, height] : kSizes) {
    for (std::int32_t b = 0; b <= 3; ++b) {
      const auto image = RandomPage(random, width, height);
      EXPECT_EQ(Pixels(*Padded(*image, b)), Pixels(*PlainPadded(*image, b)))
          << width << " x " << height << ", border " << b;
    }
  }
  const auto dot = Gray(1, 1, 7);
  EXPECT_EQ(InkDrawing(*Padded(*dot, 2)),
            (std::vector<std::string>{"....#", "....#", "....#", "....#", "#####"}))
      << "a single pixel fills the whole border except the zero outer frame";
}

TEST(EdgeThreshold, PaddedRefusesOtherFormatsAndNegativeBorders) {
  TDIB bilevel;
  bilevel.Allocate(6, 6, df1Bit, 300, 300);
  EXPECT_THROW(Padded(bilevel, 2), EError);
  EXPECT_THROW(Padded(*Gray(6, 6, 1), -1), EError);
  EXPECT_THROW(Padded(*Gray(6, 6, 1), 1 << 30), EError) << "a border too wide to allocate";
  EXPECT_EQ(Pixels(*Padded(*Gray(0, 0, 0), 2)), Pixels(*Gray(4, 4, 0))) << "empty image";
}

TEST(EdgeThreshold, StrengthAgreesWithEighteenDifferencesPerPixel) {
  std::mt19937 random(11);
  for (const auto& [width, height] : kSizes) {
    const auto image = RandomPage(random, width, height);
    EXPECT_EQ(Pixels(*EdgeStrength(*image)), Pixels(*PlainStrength(*image)))
        << width << " x " << height;
  }
}

TEST(EdgeThreshold, FlatStrengthComesOnlyFromTheZeroFrame) {
  EXPECT_EQ(Pixels(*EdgeStrength(*Gray(9, 6, 0))), Pixels(*Gray(9, 6, 0)))
      << "no edge at all: strength 0 everywhere";
  const auto strength = EdgeStrength(*Gray(9, 6, 90));
  for (std::int32_t y = 0; y < 6; ++y) {
    for (std::int32_t x = 0; x < 9; ++x) {
      EXPECT_EQ(strength->GetPixel(x, y) > 0, x == 8 || y == 5) << x << ", " << y;
    }
  }
}

TEST(EdgeThreshold, MinimumErrorLevels) {
  struct TCase {
    std::vector<std::pair<std::size_t, std::uint64_t>> bins;
    std::int32_t level;
    const char* reason;
  };
  const TCase cases[] = {
      {{}, 128, "an empty histogram has no level"},
      {{{5, 100}}, 128, "a single value has no split"},
      {{{254, 1}, {255, 1}}, 128, "a one-value class is skipped, and the scan stops at q1 = 1"},
      {{{0, 1}, {1, 1}, {10, 1}, {11, 1}}, 1, "equal criteria for t = 1 .. 9: the lowest wins"},
      {{{10, 1}, {11, 1}, {12, 1}, {200, 1}, {201, 1}, {202, 1}},
       201,
       "a narrow upper class beats the balanced split"},
      {{{0, 3}, {1, 5}, {2, 3}, {9, 1}, {100, 2}, {101, 6}, {102, 2}}, 9, "three groups"},
  };
  for (const TCase& c : cases) {
    THistogram histogram{};
    for (const auto& [bin, count] : c.bins) histogram[bin] = count;
    EXPECT_EQ(MinimumErrorThreshold(histogram), c.level) << c.reason;
  }
  THistogram wide{};
  for (std::size_t i = 0; i < 256; ++i) wide[i] = (i < 40 ? 50 : 0) + (i > 90 && i < 140 ? 20 : 0);
  EXPECT_EQ(MinimumErrorThreshold(wide), 39) << "two flat classes split at their gap";
}

TEST(EdgeThreshold, ClassesAgreeWithThePlainRule) {
  std::mt19937 random(13);
  for (const auto& [width, height] : kSizes) {
    const auto smooth = RandomPage(random, width, height);
    const auto strength = EdgeStrength(*smooth);
    for (const std::int32_t sensitivity : {-3, 0, 20, 90, 255, 256}) {
      auto classes = Gray(width, height, 1);
      ClassifyEdges(*smooth, *strength, sensitivity, *classes);
      EXPECT_EQ(Pixels(*classes), Pixels(*PlainClasses(*smooth, *strength, sensitivity)))
          << width << " x " << height << ", sensitivity " << sensitivity;
    }
  }
}

TEST(EdgeThreshold, ClassifyEdgesRefusesMismatchedImages) {
  const auto smooth = Gray(6, 5, 100);
  const auto strength = Gray(6, 5, 0);
  auto narrow = Gray(5, 5, 7);
  EXPECT_THROW(ClassifyEdges(*smooth, *strength, 1, *narrow), EError);
  EXPECT_EQ(narrow->GetPixel(0, 0), 7) << "left untouched";
  TDIB bilevel;
  bilevel.Allocate(6, 5, df1Bit, 300, 300);
  EXPECT_THROW(ClassifyEdges(*smooth, *strength, 1, bilevel), EError);
}

TEST(EdgeThreshold, AgreesWithThePlainPipeline) {
  std::mt19937 random(17);
  const std::pair<std::int32_t, std::int32_t> settings[] = {
      {-1, 5}, {0, 1}, {20, 5}, {128, 128}, {300, 5}, {40, 0}, {-7, 2}, {10, 9999},
  };
  for (const auto& [width, height] : kSizes) {
    const auto image = RandomPage(random, width, height);
    for (const auto& [sensitivity, spot] : settings) {
      EXPECT_EQ(EdgeThresholded(*image, sensitivity, spot),
                Pixels(*PlainEdgeThreshold(*image, sensitivity, spot)))
          << width << " x " << height << ", sensitivity " << sensitivity << ", spot " << spot;
    }
  }
}

// Flat pictures have known classes: with sensitivity 0 every pixel is ink (L = 0) except the
// last column and row, where the zero frame of the mirror border makes L negative.
TEST(EdgeThreshold, FlatPicturesAndSpecks) {
  struct TCase {
    std::uint8_t value;
    std::int32_t sensitivity, spot;
    std::vector<std::string> ink;  // also gives the picture's size
    const char* reason;
  };
  const TCase cases[] = {
      {90, 1, 1, {".....", ".....", "....."}, "strength only where L < 0: all white"},
      {0, 1, 1, {".....", ".....", "....."}, "all 0: no edge anywhere"},
      {255, 128, 5, {".....", ".....", "....."}, "flat white, default spot"},
      {90, 0, 1, {"####.", "####.", "....."}, "sensitivity 0 makes flat pixels ink"},
      {0, 0, 1, {"#####", "#####", "#####"}, "all 0: L = 0 even at the frame"},
      {90, 256, 1, {".....", ".....", "....."}, "above 255 nothing is an edge"},
      {90,
       0,
       5,
       {"......", ".###..", ".###..", ".###..", "......", "......"},
       "a 5 x 5 speck loses its outline"},
      {90,
       0,
       3,
       {"#####.", "#####.", "#####.", "#####.", "#####.", "......"},
       "spans of 4 exceed MaxSpotSize 3"},
      {90, 0, 5, {".....", ".##..", ".##..", ".....", "....."}, "a 4 x 4 speck keeps 4 pixels"},
      {90, 0, 5, {"...", "..."}, "a 2-pixel speck is cleared"},
      {90, 0, 5, {"..", ".."}, "a 1-pixel speck is cleared"},
      {90, 0, 1, {"#.", ".."}, "MaxSpotSize 1 removes nothing"},
      {90, 0, -4, {"#.", ".."}, "nor does a negative one"},
  };
  for (const TCase& c : cases) {
    const auto width = static_cast<std::int32_t>(c.ink[0].size());
    auto image = Gray(width, static_cast<std::int32_t>(c.ink.size()), c.value);
    EdgeThreshold(*image, c.sensitivity, c.spot, true, 0, 255);
    EXPECT_EQ(InkDrawing(*image), c.ink) << c.reason;
  }
}

TEST(EdgeThreshold, OutputValuesAndConversion) {
  std::mt19937 random(19);
  const auto page = RandomPage(random, 40, 30);
  const std::vector<std::int32_t> reference = EdgeThresholded(*page, 30, 5);
  EXPECT_EQ(EdgeThresholded(*page, 30, 5, true, 255, 0), reference) << "LowValue and HighValue";
  EXPECT_EQ(EdgeThresholded(*page, 30, 5, true, 9, 9), reference) << "are ignored";
  ASSERT_EQ(reference[0], df1Bit);

  auto kept = page->Duplicate();
  EdgeThreshold(*kept, 30, 5, false, 255, 0);
  ASSERT_EQ(kept->Format(), df8Bit) << "without Convert the image stays 8-bit";
  std::int32_t ink = 0;
  for (std::int32_t y = 0; y < 30; ++y) {
    for (std::int32_t x = 0; x < 40; ++x) {
      const std::int32_t value = kept->GetPixel(x, y);
      ASSERT_TRUE(value == 0 || value == 255) << "only 0 and 255";
      ink += value == 0;
      const std::size_t bit = 3 + static_cast<std::size_t>(y * 40 + x);
      EXPECT_EQ(reference[bit], value == 0 ? 0 : 1) << "the 1-bit result has black ink";
    }
  }
  EXPECT_GT(ink, 0) << "the page has edges";
}

TEST(EdgeThreshold, ColourIsMadeGrayFirst) {
  std::mt19937 random(23);
  const auto gray = RandomPage(random, 30, 20);
  auto colour = gray->Duplicate();
  colour->ConvertTo(df24Bit);
  colour->SetPixel(3, 4, 0x2050F0);
  auto expected = colour->Duplicate();
  expected->ConvertTo(df8Bit);
  EXPECT_EQ(EdgeThresholded(*colour, -1, 5), EdgeThresholded(*expected, -1, 5));
}

TEST(EdgeThreshold, FormatsWithoutGrayAreRefusedUnchanged) {
  for (const TDIBFormat format : {df1Bit, df4Bit, df15Bit, df16Bit}) {
    for (const bool convert : {true, false}) {
      TDIB image;
      image.Allocate(8, 8, format, 300, 300);
      image.SetPixel(2, 3, 1);
      const std::vector<std::int32_t> before = Pixels(image);
      try {
        EdgeThreshold(image, 20, 5, convert, 0, 255);
        ADD_FAILURE() << "format " << int{format} << " was accepted";
      } catch (const EError& error) {
        EXPECT_STREQ(error.what(), "This operation requires 8 bit per pixel bitmap !");
      }
      EXPECT_EQ(Pixels(image), before) << "format " << int{format};
    }
  }
}

TEST(EdgeThreshold, EmptyImageIsOnlyConverted) {
  auto image = Gray(0, 0, 0);
  EXPECT_NO_THROW(EdgeThreshold(*image, -1, 5, true, 0, 255));
  EXPECT_EQ(image->Width(), 0);
}
