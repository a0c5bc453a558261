// Depth and colour conversion: the values each step produces, the colour-to-gray rounding,
// and the in-place repacking of rows inside the block.
#include <gtest/gtest.h>

#include <random>

#include "image/dibunit.h"
#include "platform/errors.h"

namespace {

std::unique_ptr<TDIB> ColourPixel(std::int32_t red, std::int32_t green, std::int32_t blue) {
  auto image = std::make_unique<TDIB>();
  image->Allocate(1, 1, df24Bit, 0, 0);
  image->SetPixel(0, 0, red | green << 8 | blue << 16);
  return image;
}

std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const EError& e) {
    return e.what();
  }
  return "no error";
}

}  // namespace

TEST(Convert, ColourToGrayRoundsAsTheRulesSay) {
  struct TCase {
    std::int32_t red, green, blue;
    bool weighted, useRed, useGreen, useBlue;
    std::int32_t gray;
    const char* reason;
  } cases[] = {
      {255, 0, 0, true, true, true, true, 76,
       "0.30 x 255 is 76.5 in single precision: half to even"},
      {0, 255, 0, true, true, true, true, 150, "green alone"},
      {0, 0, 255, true, true, true, true, 28, "blue alone"},
      {255, 255, 255, true, true, true, true, 255, "white stays white"},
      {100, 150, 200, true, true, true, true, 140, "a mixed colour"},
      {10, 20, 31, false, true, true, true, 20, "unweighted mean 61 / 3"},
      {255, 200, 255, true, false, true, false, 118, "weighted green only, no rescaling"},
      {10, 20, 30, false, true, false, true, 20, "unweighted mean of red and blue"},
  };
  for (const TCase& c : cases) {
    auto image = ColourPixel(c.red, c.green, c.blue);
    image->RGBToGray(c.weighted, c.useRed, c.useGreen, c.useBlue);
    EXPECT_EQ(image->Format(), df8Bit) << c.reason;
    EXPECT_EQ(image->GetPixel(0, 0), c.gray) << c.reason;
  }
}

TEST(Convert, RefusalsLeaveTheImageUntouched) {
  auto colour = ColourPixel(1, 2, 3);
  EXPECT_EQ(MessageOf([&] { colour->RGBToGray(false, false, false, false); }),
            "Unable to convert RGB to Gray without one channel selected !");
  EXPECT_EQ(colour->Format(), df24Bit);
  TDIB gray;
  gray.Allocate(2, 2, df8Bit, 0, 0);
  EXPECT_EQ(MessageOf([&] { gray.RGBToGray(true, true, true, true); }),
            "This operation requires 24 bit per pixel bitmap !");
  EXPECT_EQ(MessageOf([&] { gray.ConvertTo(df16Bit); }), "Function not available :-(");
  EXPECT_EQ(MessageOf([&] { gray.ConvertTo(0); }), "Function not available :-(");
  EXPECT_EQ(gray.Format(), df8Bit);
  TDIB words;
  words.Allocate(2, 2, df16Bit, 0, 0);
  EXPECT_EQ(MessageOf([&] { words.ConvertTo(df16Bit); }), "no error") << "same format";
  EXPECT_EQ(MessageOf([&] { words.ConvertTo(df8Bit); }), "no error") << "16 bits stay as they are";
  EXPECT_EQ(words.Format(), df16Bit);
}

TEST(Convert, StepsMapValuesAndInstallTables) {
  struct TCase {
    TDIBFormat from, to;
    std::int32_t in, out;
    std::uint32_t lastEntry;
    const char* reason;
  } cases[] = {
      {df8Bit, df1Bit, 1, 1, 0xFFFFFF, "any non-zero value is white"},
      {df8Bit, df1Bit, 0, 0, 0xFFFFFF, "only 0 is black"},
      {df4Bit, df1Bit, 9, 1, 0xFFFFFF, "4 to 1 likewise"},
      {df8Bit, df4Bit, 0xAF, 0xA, 0xFFFFFF, "the high nibble, grays 17 x i"},
      {df1Bit, df4Bit, 1, 15, 0xFFFFFF, "a set bit is 15"},
      {df1Bit, df8Bit, 1, 255, 0xFFFFFF, "a set bit is 255 whatever the table"},
      {df8Bit, df24Bit, 7, 0x070707, 0, "gray spreads to the three channels"},
      {df4Bit, df24Bit, 3, 0x303030, 0, "16 x the nibble"},
      {df1Bit, df24Bit, 1, 0xFFFFFF, 0, "through 8 bits"},
      {df24Bit, df1Bit, 0x000001, 0, 0xFFFFFF, "gray of (1,0,0) rounds to 0: black"},
      {df24Bit, df1Bit, 0x000002, 1, 0xFFFFFF, "gray of (2,0,0) rounds to 1: white"},
  };
  for (const TCase& c : cases) {
    TDIB image;
    image.Allocate(3, 2, c.from, 0, 0);
    image.SetPixel(2, 1, c.in);
    image.ConvertTo(c.to);
    ASSERT_EQ(image.Format(), c.to) << c.reason;
    EXPECT_EQ(image.GetPixel(2, 1), c.out) << c.reason;
    EXPECT_EQ(image.GetPixel(0, 0), 0) << c.reason;
    if (image.PaletteCount() > 0) {
      EXPECT_EQ(image.GetPaletteEntry(image.PaletteCount() - 1), c.lastEntry) << c.reason;
    }
    EXPECT_EQ(std::uint32_t{image.FileHeader().bfOffBits}, 0u) << c.reason;
    EXPECT_EQ(image.LockCount(), 1) << c.reason;
  }
}

TEST(Convert, FourBitTableGivesTheGrayOfEachEntry) {
  TDIB image;
  image.Allocate(2, 1, df4Bit, 0, 0);
  image.SetPaletteEntry(5, 10 | 20 << 8 | 31 << 16);
  image.SetPixel(0, 0, 5);
  image.SetPixel(1, 0, 5);
  image.ConvertTo(df8Bit);
  EXPECT_EQ(image.GetPixel(0, 0), 20) << "(10 + 20 + 31) div 3";
  EXPECT_EQ(image.GetPixel(1, 0), 20);
}

// Every conversion must keep every pixel of every row, whichever way the rows move.
TEST(Convert, RoundTripsKeepEveryRowOfOddSizes) {
  std::mt19937 random(7);
  for (std::int32_t width : {1, 3, 4, 5, 9, 33}) {
    for (std::int32_t height : {1, 2, 7}) {
      TDIB image;
      image.Allocate(width, height, df8Bit, 96, 96);
      for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) image.SetPixel(x, y, random() % 2 ? 255 : 0);
      }
      auto original = image.Duplicate();
      TMemoryHandle handle = image.Handle();
      for (TDIBFormat step : {df24Bit, df1Bit, df4Bit, df8Bit, df1Bit, df8Bit})
        image.ConvertTo(step);
      EXPECT_EQ(image.Handle(), handle) << "the block keeps its handle";
      EXPECT_EQ(image.XResolution(), 96);
      for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
          ASSERT_EQ(image.GetPixel(x, y), original->GetPixel(x, y))
              << width << "x" << height << " at " << x << "," << y;
        }
      }
    }
  }
}

TEST(Convert, EightToTwentyFourWritesOnlyItsOwnPixels) {
  TDIB image;
  image.Allocate(5, 3, df8Bit, 0, 0);
  for (std::int32_t y = 0; y < 3; ++y) {
    for (std::int32_t x = 0; x < 5; ++x) image.SetPixel(x, y, 10 * y + x);
  }
  image.ConvertTo(df24Bit);
  for (std::int32_t y = 0; y < 3; ++y) {
    for (std::int32_t x = 0; x < 5; ++x) {
      EXPECT_EQ(image.GetPixel(x, y), (10 * y + x) * 0x010101);
    }
    EXPECT_EQ(image.Row(y)[15], 0) << "padding after 5 pixels stays zero";
  }
}
