// Fixed-level thresholding, the automatic method and the histogram it reads, on small
// hand-made images; the colour histogram against the conversion to gray on every colour.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "binarize/global_threshold.h"
#include "platform/errors.h"

namespace {

std::unique_ptr<TDIB> Gray(std::int32_t width, const std::vector<std::uint8_t>& values) {
  auto image = std::make_unique<TDIB>();
  const auto height = static_cast<std::int32_t>(values.size()) / width;
  image->Allocate(width, height, df8Bit, 0, 0);
  for (std::int32_t y = 0; y < height; ++y) {
    std::memcpy(image->Row(y), values.data() + y * width, static_cast<std::size_t>(width));
  }
  return image;
}

std::vector<std::uint8_t> BlockBytes(const TDIB& image) {
  const auto* block = static_cast<const std::uint8_t*>(image.Block());
  return {block, block + image.BlockSize()};
}

void ExpectNeeds8Bit(auto&& operation, const char* reason) {
  try {
    operation();
    ADD_FAILURE() << "no failure: " << reason;
  } catch (const EError& e) {
    EXPECT_STREQ(e.what(), kNeeds8Bit) << reason;
  }
}

const TDIBFormat kRefusedFormats[] = {df1Bit, df4Bit, df15Bit, df16Bit};

}  // namespace

TEST(Threshold, SplitsStoredValuesAtTheLevel) {
  struct TCase {
    std::uint8_t level, low, high;
    std::vector<std::uint8_t> expected;
    const char* reason;
  };
  const std::vector<std::uint8_t> values = {0, 1, 127, 128, 254, 255};
  const TCase cases[] = {
      {127, 0, 255, {0, 0, 0, 255, 255, 255}, "a value equal to the level is dark"},
      {255, 0, 255, {0, 0, 0, 0, 0, 0}, "level 255: all dark"},
      {0, 0, 255, {0, 255, 255, 255, 255, 255}, "level 0: only 0 is dark"},
      {127, 9, 3, {9, 9, 9, 3, 3, 3}, "the two values are written as given"},
  };
  for (const TCase& c : cases) {
    auto image = Gray(6, values);
    Threshold(*image, c.level, false, c.low, c.high);
    EXPECT_EQ(std::vector<std::uint8_t>(image->Row(0), image->Row(0) + 6), c.expected) << c.reason;
  }
}

TEST(Threshold, ComparesIndicesAndLeavesPaddingAndTable) {
  auto image = Gray(5, {10, 200, 10, 200, 10});
  for (std::int32_t i = 0; i < 256; ++i) image->SetPaletteEntry(i, (255 - i) * 0x010101u);
  std::memset(image->Row(0) + 5, 0x5A, 3);
  Threshold(*image, 100, false, 1, 2);
  EXPECT_EQ(image->GetPixel(0, 0), 1) << "index 10 is dark although its colour is light";
  EXPECT_EQ(image->GetPixel(1, 0), 2);
  EXPECT_EQ(image->Row(0)[7], 0x5A) << "padding untouched";
  EXPECT_EQ(image->GetPaletteEntry(10), 245u * 0x010101u) << "colour table untouched";
}

TEST(Threshold, ConvertGivesBlackInkOnWhite) {
  auto image = Gray(3, {20, 220, 20});
  Threshold(*image, 127, true, 0, 255);
  ASSERT_EQ(image->Format(), df1Bit);
  EXPECT_EQ(image->GetPaletteEntry(0), 0u);
  EXPECT_EQ(image->GetPaletteEntry(1), 0xFFFFFFu);
  EXPECT_EQ(image->GetPixel(0, 0), 0);
  EXPECT_EQ(image->GetPixel(1, 0), 1);
}

TEST(Threshold, ColourIsMadeGrayFirst) {
  for (std::uint8_t level : {75, 76}) {
    TDIB image;
    image.Allocate(1, 1, df24Bit, 0, 0);
    image.SetPixel(0, 0, 255);  // pure red, gray 76
    Threshold(image, level, false, 0, 255);
    ASSERT_EQ(image.Format(), df8Bit);
    EXPECT_TRUE(image.HasStandardPalette());
    EXPECT_EQ(image.GetPixel(0, 0), level == 75 ? 255 : 0) << "level " << int(level);
  }
}

TEST(Threshold, OtherFormatsAreRefusedUntouched) {
  for (TDIBFormat format : kRefusedFormats) {
    TDIB image;
    image.Allocate(9, 2, format, 0, 0);
    image.Fill(0x33);
    const auto before = BlockBytes(image);
    ExpectNeeds8Bit([&] { Threshold(image, 10, true, 0, 255); }, "Threshold");
    for (TAutoThresholdMethod method = 0; method <= 5; ++method) {
      ExpectNeeds8Bit([&] { AutoThreshold(image, method, true, 0, 255); }, "AutoThreshold");
    }
    EXPECT_EQ(image.Format(), format);
    EXPECT_EQ(BlockBytes(image), before);
  }
}

TEST(AutoThreshold, EachMethodAppliesItsLevel) {
  struct TCase {
    TAutoThresholdMethod method;
    std::uint8_t level;
    const char* reason;
  };
  const TCase cases[] = {
      {0, 150, "Otsu"},
      {1, 128, "Lloyd: mean 127.5 to even"},
      {2, 128, "Ridler"},
      {3, 130, "Uniform Error"},
      {4, 127, "SD: truncated"},
      {5, 127, "unknown method"},
      {255, 127, "unknown method"},
  };
  const std::vector<std::uint8_t> values = {40, 100, 130, 200, 60, 90, 150, 250};
  for (const TCase& c : cases) {
    auto image = Gray(4, values);
    EXPECT_EQ(AutoThreshold(*image, c.method, false, 0, 255), c.level) << c.reason;
    for (std::int32_t i = 0; i < 8; ++i) {
      EXPECT_EQ(image->GetPixel(i % 4, i / 4), values[i] > c.level ? 255 : 0) << c.reason;
    }
  }
}

TEST(AutoThreshold, ColourInputAndEmptyImage) {
  TDIB colour;
  colour.Allocate(2, 1, df24Bit, 0, 0);
  colour.SetPixel(1, 0, 0xFFFFFF);
  EXPECT_EQ(AutoThreshold(colour, 0, true, 0, 255), 0) << "Otsu on the grays 0 and 255";
  EXPECT_EQ(colour.Format(), df1Bit);
  EXPECT_EQ(colour.GetPixel(1, 0), 1);

  TDIB empty;
  empty.Allocate(0, 0, df8Bit, 0, 0);
  EXPECT_EQ(AutoThreshold(empty, 1, false, 0, 255), 255) << "Lloyd's -1, low byte";
}

TEST(GetHistogram, EightBitCountsTheBlueOfTheEntry) {
  auto image = Gray(4, {5, 5, 9, 250});
  THistogram histogram;
  histogram.fill(7);
  GetHistogram(*image, histogram);
  EXPECT_EQ(histogram[5], 2u);
  EXPECT_EQ(histogram[9], 1u);
  EXPECT_EQ(histogram[250], 1u);
  EXPECT_EQ(histogram[0], 0u) << "every bin cleared first";

  image->SetPaletteEntry(5, 0xC8C80A);  // red and green 200, blue 10
  GetHistogram(*image, histogram);
  EXPECT_EQ(histogram[10], 2u) << "the blue component alone";
  EXPECT_EQ(histogram[5], 0u);
}

TEST(GetHistogram, IndexBeyondAShortTableCountsAtItself) {
  auto image = Gray(3, {0, 0, 0});
  image->InfoHeader()->biClrUsed = 16;
  image->AssignHandle(image->Handle());  // re-read: a table of 16 entries
  ASSERT_EQ(image->PaletteCount(), 16);
  image->SetPaletteEntry(3, 77);
  image->SetPixel(0, 0, 3);
  image->SetPixel(1, 0, 20);
  image->SetPixel(2, 0, 0);
  THistogram histogram;
  GetHistogram(*image, histogram);
  EXPECT_EQ(histogram[77], 1u);
  EXPECT_EQ(histogram[20], 1u) << "no entry 20: counted at its own value";
  EXPECT_EQ(histogram[0], 1u);
}

TEST(GetHistogram, BilevelCountsSetBits) {
  struct TCase {
    std::uint8_t top, bottom;
    std::uint64_t zeros, ones;
    const char* reason;
  };
  const TCase cases[] = {
      {0xA0, 0x40, 3, 3, "three of six pixels set"},
      {0xB0, 0x40, 2, 4, "a set padding bit of the last byte counts"},
      {0xFF, 0xFF, 0, 16, "more set bits than pixels: bin 0 stays 0"},
  };
  for (const TCase& c : cases) {
    TDIB image;
    image.Allocate(3, 2, df1Bit, 0, 0);
    image.Fill(0xFF);  // the padding bytes beyond the used one are never counted
    image.Row(0)[0] = c.top;
    image.Row(1)[0] = c.bottom;
    THistogram histogram;
    GetHistogram(image, histogram);
    EXPECT_EQ(histogram[0], c.zeros) << c.reason;
    EXPECT_EQ(histogram[1], c.ones) << c.reason;
  }
}

// Every one of the 2^24 colours once: the colour histogram must count each where the
// conversion to 8 bits puts it.
TEST(GetHistogram, ColourAgreesWithConversionOnEveryColour) {
  TDIB image;
  image.Allocate(4096, 4096, df24Bit, 0, 0);
  for (std::int32_t y = 0; y < 4096; ++y) {
    std::uint8_t* row = image.Row(y);
    for (std::int32_t x = 0; x < 4096; ++x) {
      const std::uint32_t colour =
          static_cast<std::uint32_t>(y) << 12 | static_cast<std::uint32_t>(x);
      row[3 * x] = colour & 255;
      row[3 * x + 1] = colour >> 8 & 255;
      row[3 * x + 2] = colour >> 16;
    }
  }
  THistogram colour, gray;
  GetHistogram(image, colour);
  image.ConvertTo(df8Bit);
  GetHistogram(image, gray);
  EXPECT_EQ(colour, gray);
}

TEST(GetHistogram, OtherFormatsAreRefused) {
  for (TDIBFormat format : {df4Bit, df15Bit, df16Bit}) {
    TDIB image;
    image.Allocate(2, 2, format, 0, 0);
    THistogram histogram;
    ExpectNeeds8Bit([&] { GetHistogram(image, histogram); }, "GetHistogram");
  }
}
