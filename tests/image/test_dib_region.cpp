// Region operations: shifts with their white fill, canvas resizing, cropping and pasting,
// each checked against a plain pixel-by-pixel (or bit-by-bit) rule on random images.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <random>
#include <vector>

#include "image/dibunit.h"
#include "platform/errors.h"

namespace {

constexpr TDIBFormat kShiftFormats[] = {df1Bit, df4Bit, df8Bit, df24Bit};
constexpr TDIBFormat kAllFormats[] = {df1Bit, df4Bit, df8Bit, df15Bit, df16Bit, df24Bit};

// An image whose every pixel-area byte, padding included, is random.
std::unique_ptr<TDIB> RandomImage(std::int32_t width, std::int32_t height, TDIBFormat format,
                                  std::mt19937& random) {
  auto image = std::make_unique<TDIB>();
  image->Allocate(width, height, format, 200, 100);
  for (std::int64_t i = 0; i < std::int64_t{height} * image->Stride(); ++i) {
    image->Bits()[i] = static_cast<std::uint8_t>(random());
  }
  return image;
}

std::vector<std::uint8_t> BlockBytes(const TDIB& image) {
  const auto* block = static_cast<const std::uint8_t*>(image.Block());
  return {block, block + image.BlockSize()};
}

std::int32_t PixelBitsOf(TDIBFormat format) {
  constexpr std::int32_t kBits[] = {0, 1, 4, 8, 16, 16, 24};
  return kBits[format];
}

// The pixel value at column x of a row whose every byte is fill.
std::int32_t FillPixel(TDIBFormat format, std::uint8_t fill, std::int32_t x) {
  switch (format) {
    case df1Bit:
      return (fill >> (7 - x % 8)) & 1;
    case df4Bit:
      return x % 2 == 0 ? fill >> 4 : fill & 15;
    case df8Bit:
      return fill;
    case df24Bit:
      return fill * 0x010101;
    default:
      return fill * 0x0101;
  }
}

bool BitOf(const std::uint8_t* row, std::int64_t p) {
  return (row[p / 8] >> (7 - p % 8)) & 1;
}

// The plain rule of ShiftLine: the stored row as one string of bits moved by count pixels,
// vacated bit positions taking the bit of the fill byte at that position.
std::vector<std::uint8_t> ShiftedRow(const std::uint8_t* row, std::int32_t stride,
                                     std::int32_t bits, std::int64_t count, std::uint8_t fill) {
  std::vector<std::uint8_t> out(static_cast<std::size_t>(stride), 0);
  const std::int64_t total = std::int64_t{stride} * 8, move = count * bits;
  for (std::int64_t p = 0; p < total; ++p) {
    const std::int64_t from = p - move;
    const bool bit = from >= 0 && from < total ? BitOf(row, from) : (fill >> (7 - p % 8)) & 1;
    if (bit) out[static_cast<std::size_t>(p / 8)] |= static_cast<std::uint8_t>(0x80 >> (p % 8));
  }
  return out;
}

// A 1-bit image whose colour table is (first, second).
std::unique_ptr<TDIB> BilevelWithTable(std::uint32_t first, std::uint32_t second) {
  auto image = std::make_unique<TDIB>();
  image->Allocate(20, 3, df1Bit, 0, 0);
  image->SetPaletteEntry(0, first);
  image->SetPaletteEntry(1, second);
  return image;
}

struct TFillCase {
  TDIBFormat format;
  std::int32_t whiteEntry;  // colour-table entry made pure white, -1 for none
  std::uint8_t fill;
  const char* reason;
};

const TFillCase kFills[] = {
    {df1Bit, 1, 0xFF, "1 bit, entry 1 white: all bits set"},
    {df1Bit, 0, 0x00, "1 bit, entry 0 white: all bits clear"},
    {df4Bit, 15, 0xFF, "4 bits, white at 15"},
    {df4Bit, 3, 0x33, "4 bits: both nibbles take the white index"},
    {df4Bit, -1, 0x00, "4-bit gray table stops at 240: no white entry, index 0"},
    {df8Bit, -1, 0xFF, "8-bit ramp: white is 255"},
    {df8Bit, 7, 0x07, "8 bits: the first white entry"},
    {df24Bit, -1, 0xFF, "24 bits: white bytes"},
    {df16Bit, -1, 0xFF, "16 bits: all bits set is white"},
    {df15Bit, -1, 0xFF, "15 bits: all bits set is white"},
};

std::unique_ptr<TDIB> FillFixture(const TFillCase& c) {
  auto image = std::make_unique<TDIB>();
  image->Allocate(9, 4, c.format, 0, 0);
  if (c.format == df1Bit) {
    image->SetPaletteEntry(0, 0x123456);
    image->SetPaletteEntry(1, 0x123456);
  }
  if (c.whiteEntry >= 0) image->SetPaletteEntry(c.whiteEntry, 0xFFFFFF);
  image->Fill(0x5A);
  return image;
}

}  // namespace

TEST(DibRegion, ShiftsFillVacatedBytesWithWhite) {
  for (const TFillCase& c : kFills) {
    auto image = FillFixture(c);
    image->ShiftVertical(1);
    for (std::int32_t i = 0; i < image->Stride(); ++i) {
      ASSERT_EQ(image->Row(0)[i], c.fill) << "vertical: " << c.reason;
      ASSERT_EQ(image->Row(1)[i], 0x5A) << "vertical keeps the rest: " << c.reason;
    }
    if (c.format == df15Bit || c.format == df16Bit) continue;
    image->ShiftLine(2, -1000);
    for (std::int32_t i = 0; i < image->Stride(); ++i) {
      ASSERT_EQ(image->Row(2)[i], c.fill) << "whole-row shift: " << c.reason;
    }
  }
}

TEST(DibRegion, ShiftLineOnePixelRightOnBilevelRow) {
  auto image = BilevelWithTable(0x000000, 0xFFFFFF);
  image->Row(0)[0] = 0x40;  // pixel 1 set
  image->ShiftLine(0, 1);
  EXPECT_EQ(image->GetPixel(0, 0), 1) << "entry 1 is white: the vacated pixel is 1";
  EXPECT_EQ(image->GetPixel(1, 0), 0);
  EXPECT_EQ(image->GetPixel(2, 0), 1) << "pixel 1 moved to 2";
}

TEST(DibRegion, ShiftLineAgreesWithBitStringRule) {
  std::mt19937 random(7);
  for (TDIBFormat format : kShiftFormats) {
    for (std::int32_t width : {1, 3, 13, 40}) {
      const std::int32_t bits = PixelBitsOf(format);
      auto image = RandomImage(width, 2, format, random);
      const std::int32_t slots = image->Stride() * 8 / bits;
      // White: entry 1 of the 1-bit table, 255 in 8 and 24 bits; the 4-bit table has none.
      const std::uint8_t fill = format == df4Bit ? 0x00 : 0xFF;
      for (std::int32_t count = -slots - 2; count <= slots + 2; ++count) {
        auto expected = ShiftedRow(image->Row(1), image->Stride(), bits, count, fill);
        image->ShiftLine(1, count);
        ASSERT_EQ(0, std::memcmp(expected.data(), image->Row(1), expected.size()))
            << "format " << int(format) << " width " << width << " count " << count;
      }
    }
  }
}

TEST(DibRegion, ShiftVerticalMovesWholeRows) {
  struct TCase {
    std::int32_t count;
    std::vector<std::int32_t> rows;  // source row of each row after the shift, -1 for fill
    const char* reason;
  };
  const TCase cases[] = {
      {-2, {2, 3, 4, -1, -1}, "up: the last rows are filled"},
      {2, {-1, -1, 0, 1, 2}, "down: the first rows are filled"},
      {0, {0, 1, 2, 3, 4}, "no shift"},
      {5, {-1, -1, -1, -1, -1}, "the whole height"},
      {INT_MIN, {-1, -1, -1, -1, -1}, "beyond the height: clamped, nothing outside is touched"},
      {INT_MAX, {-1, -1, -1, -1, -1}, "beyond the height downwards"},
  };
  for (const TCase& c : cases) {
    TDIB image;
    image.Allocate(3, 5, df8Bit, 0, 0);
    for (std::int32_t y = 0; y < 5; ++y) std::memset(image.Row(y), 10 * y, 4);
    image.ShiftVertical(c.count);
    for (std::int32_t y = 0; y < 5; ++y) {
      const std::uint8_t expected = c.rows[y] < 0 ? 255 : 10 * c.rows[y];
      for (std::int32_t i = 0; i < 4; ++i) ASSERT_EQ(image.Row(y)[i], expected) << c.reason;
    }
  }
}

TEST(DibRegion, ShiftLineRefusesSixteenBitRowsAndIgnoresRowsOutside) {
  for (TDIBFormat format : {df15Bit, df16Bit}) {
    TDIB image;
    image.Allocate(4, 2, format, 0, 0);
    EXPECT_THROW(
        {
          try {
            image.ShiftLine(0, 1);
          } catch (const EError& e) {
            EXPECT_STREQ(e.what(), "Bit depht not supported for ShiftLine !");
            throw;
          }
        },
        EError);
    EXPECT_THROW(image.ShiftHorizontal(0), EError);
  }
  std::mt19937 random(3);
  auto image = RandomImage(8, 2, df8Bit, random);
  const auto before = BlockBytes(*image);
  image->ShiftLine(-1, 3);
  image->ShiftLine(2, 3);
  EXPECT_EQ(BlockBytes(*image), before) << "rows outside the image are left alone";
}

TEST(DibRegion, CropKeepsThePartOfTheRectangleInsideTheImage) {
  struct TCase {
    TRect rect;
    TRect kept;  // the intersection with the 11 x 7 image
    const char* reason;
  };
  const TCase cases[] = {
      {{0, 0, 10, 6}, {0, 0, 10, 6}, "the full rectangle changes nothing"},
      {{2, 1, 4, 1}, {2, 1, 4, 1}, "one row of three pixels"},
      {{3, 2, 9, 5}, {3, 2, 9, 5}, "inside, with odd offsets"},
      {{5, 0, 5, 6}, {5, 0, 5, 6}, "a single column"},
      {{-4, -3, 2, 2}, {0, 0, 2, 2}, "reaching out left and above"},
      {{6, 4, 30, 20}, {6, 4, 10, 6}, "reaching out right and below"},
      {{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {0, 0, 10, 6}, "extreme bounds clip to the image"},
  };
  std::mt19937 random(11);
  for (TDIBFormat format : kShiftFormats) {
    for (const TCase& c : cases) {
      auto original = RandomImage(11, 7, format, random);
      original->SetPaletteEntry(1, 0x123456);
      auto image = original->Duplicate();
      const TMemoryHandle handle = image->Handle();
      image->Crop(c.rect);
      const std::int32_t width = c.kept.Right - c.kept.Left + 1;
      const std::int32_t height = c.kept.Bottom - c.kept.Top + 1;
      ASSERT_EQ(image->Width(), width) << c.reason;
      ASSERT_EQ(image->Height(), height) << c.reason;
      EXPECT_EQ(image->Handle(), handle) << c.reason;
      EXPECT_EQ(image->Format(), format) << c.reason;
      EXPECT_EQ(image->XResolution(), 200) << c.reason;
      EXPECT_EQ(image->GetPaletteEntry(1), original->GetPaletteEntry(1)) << c.reason;
      TDIBLayout layout{};
      TDIB::ComputeLayout(width, height, format, layout);
      EXPECT_EQ(image->BlockSize(), layout.Size) << c.reason;
      for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
          ASSERT_EQ(image->GetPixel(x, y), original->GetPixel(c.kept.Left + x, c.kept.Top + y))
              << "format " << int(format) << ", " << c.reason << " at " << x << "," << y;
        }
      }
    }
  }
}

TEST(DibRegion, CropMissingTheImageLeavesAnEmptyCanvas) {
  const TRect misses[] = {{11, 0, 20, 6}, {0, -5, 10, -1}, {4, 3, 2, 5}};
  for (const TRect& rect : misses) {
    TDIB image;
    image.Allocate(11, 7, df4Bit, 0, 0);
    image.SetPaletteEntry(5, 0xABCDEF);
    image.Crop(rect);
    EXPECT_EQ(image.Width(), 0);
    EXPECT_EQ(image.Height(), 0);
    EXPECT_EQ(image.Format(), df4Bit);
    EXPECT_EQ(image.GetPaletteEntry(5), 0xABCDEFu) << "the colour table stays";
  }
}

TEST(DibRegion, RefusedCropOfSixteenBitImageLeavesItWhole) {
  std::mt19937 random(5);
  auto image = RandomImage(6, 5, df16Bit, random);
  const auto before = BlockBytes(*image);
  EXPECT_THROW(image->Crop({1, 2, 4, 4}), EError);
  EXPECT_EQ(BlockBytes(*image), before) << "no row moved before the refusal";

  auto original = image->Duplicate();
  image->Crop({0, 2, 3, 4});
  ASSERT_EQ(image->Width(), 4);
  for (std::int32_t y = 0; y < 3; ++y) {
    for (std::int32_t x = 0; x < 4; ++x)
      EXPECT_EQ(image->GetPixel(x, y), original->GetPixel(x, y + 2));
  }
}

TEST(DibRegion, ResizeCanvasKeepsTopLeftAndFillsTheRest) {
  struct TSize {
    std::int32_t width, height;
  };
  const TSize sizes[] = {{1, 1}, {3, 2}, {9, 5}, {10, 5}, {17, 9}, {40, 3}, {0, 0}, {5, 0}};
  std::mt19937 random(13);
  for (TDIBFormat format : kAllFormats) {
    for (const TSize& from : sizes) {
      for (const TSize& to : sizes) {
        auto original = RandomImage(from.width, from.height, format, random);
        auto image = original->Duplicate();
        const TDIBFormat kept = image->Format();
        const auto fill = static_cast<std::uint8_t>(random());
        image->ResizeCanvas(to.width, to.height, fill);
        ASSERT_EQ(image->Width(), to.width);
        ASSERT_EQ(image->Height(), to.height);
        ASSERT_EQ(image->Format(), kept);
        const std::int32_t grownFrom = to.width > from.width ? from.width : to.width;
        for (std::int32_t y = 0; y < to.height; ++y) {
          for (std::int32_t x = 0; x < to.width; ++x) {
            const bool old = x < from.width && y < from.height;
            ASSERT_EQ(image->GetPixel(x, y),
                      old ? original->GetPixel(x, y) : FillPixel(format, fill, x))
                << "format " << int(format) << " " << from.width << "x" << from.height << " -> "
                << to.width << "x" << to.height << " at " << x << "," << y;
          }
          if (to.width > from.width || y >= from.height) {
            const std::int32_t firstByte = (grownFrom * PixelBitsOf(format) + 7) / 8;
            for (std::int32_t i = firstByte; i < image->Stride(); ++i) {
              ASSERT_EQ(image->Row(y)[i], fill) << "grown rows are filled to their end";
            }
          }
        }
      }
    }
  }
}

TEST(DibRegion, ResizeCanvasToTheSameSizeTouchesNothing) {
  std::mt19937 random(17);
  auto image = RandomImage(7, 4, df8Bit, random);
  const auto before = BlockBytes(*image);
  const void* block = image->Block();
  image->ResizeCanvas(7, 4, 0);
  EXPECT_EQ(image->Block(), block);
  EXPECT_EQ(BlockBytes(*image), before);
  EXPECT_THROW(image->ResizeCanvas(-1, 4, 0), EError);
  EXPECT_EQ(BlockBytes(*image), before) << "a refused size leaves the image whole";
}

TEST(DibRegion, ResizeCanvasAddsBottomRowsOfFill) {
  TDIB image;
  image.Allocate(3, 2, df8Bit, 0, 0);
  image.Row(0)[0] = 1;
  image.Row(1)[0] = 2;
  image.ResizeCanvas(3, 4, 7);
  EXPECT_EQ(image.GetPixel(0, 0), 1);
  EXPECT_EQ(image.GetPixel(0, 1), 2);
  for (std::int32_t y : {2, 3}) {
    for (std::int32_t i = 0; i < image.Stride(); ++i) EXPECT_EQ(image.Row(y)[i], 7);
  }
}

TEST(DibRegion, PasteChangesExactlyTheSourceArea) {
  TDIB target, zone;
  target.Allocate(10, 10, df1Bit, 0, 0);
  zone.Allocate(2, 2, df1Bit, 0, 0);
  for (std::int32_t y = 0; y < 2; ++y) {
    for (std::int32_t x = 0; x < 2; ++x) zone.SetPixel(x, y, 1);
  }
  target.Paste(zone, 3, 5);
  for (std::int32_t y = 0; y < 10; ++y) {
    for (std::int32_t x = 0; x < 10; ++x) {
      const bool inside = x >= 3 && x <= 4 && y >= 5 && y <= 6;
      ASSERT_EQ(target.GetPixel(x, y), inside ? 1 : 0) << x << "," << y;
    }
  }
}

// Paste against the plain rule, SetPixel of every source pixel onto a copy: whole blocks
// must agree, so a byte-wise copy that strays into padding or neighbours shows.
TEST(DibRegion, PasteAgreesWithPixelByPixelRuleAndClips) {
  struct TFormats {
    TDIBFormat target, source;
  };
  const TFormats pairs[] = {{df1Bit, df1Bit},   {df4Bit, df4Bit},   {df8Bit, df8Bit},
                            {df16Bit, df16Bit}, {df24Bit, df24Bit}, {df15Bit, df16Bit},
                            {df1Bit, df8Bit},   {df8Bit, df4Bit}};
  const std::int32_t offsets[] = {-13, -9, -1, 0, 1, 3, 4, 7, 8, 9, 20, 37};
  std::mt19937 random(19);
  for (const TFormats& f : pairs) {
    for (std::int32_t x : offsets) {
      for (std::int32_t y : {-4, 0, 2, 9}) {
        auto target = RandomImage(29, 11, f.target, random);
        auto source = RandomImage(1 + random() % 21, 1 + random() % 6, f.source, random);
        auto expected = target->Duplicate();
        for (std::int32_t i = 0; i < source->Height(); ++i) {
          for (std::int32_t j = 0; j < source->Width(); ++j) {
            expected->SetPixel(x + j, y + i, source->GetPixel(j, i));
          }
        }
        target->Paste(*source, x, y);
        ASSERT_EQ(BlockBytes(*target), BlockBytes(*expected))
            << "formats " << int(f.target) << "<-" << int(f.source) << " at " << x << "," << y
            << " source " << source->Width() << "x" << source->Height();
      }
    }
  }
}

TEST(DibRegion, PasteIntoItselfReadsTheImageAsItWas) {
  std::mt19937 random(23);
  for (TDIBFormat format : kShiftFormats) {
    auto image = RandomImage(15, 6, format, random);
    auto original = image->Duplicate();
    image->Paste(*image, 3, 1);
    for (std::int32_t y = 0; y < 6; ++y) {
      for (std::int32_t x = 0; x < 15; ++x) {
        const std::int32_t expected =
            x >= 3 && y >= 1 ? original->GetPixel(x - 3, y - 1) : original->GetPixel(x, y);
        ASSERT_EQ(image->GetPixel(x, y), expected) << int(format) << " " << x << "," << y;
      }
    }
  }
}
