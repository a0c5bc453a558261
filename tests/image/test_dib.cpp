// The raster image: layout of the block, pixel storage per format, resolution, colour-table
// queries, inversion and duplication.
#include <gtest/gtest.h>

#include <cstring>

#include "image/dibunit.h"
#include "platform/errors.h"

namespace {

struct TLayoutCase {
  std::int32_t width, height;
  TDIBFormat format;
  std::int32_t stride, bytesPerRow, blockSize, paletteCount;
  const char* reason;
};

const TLayoutCase kLayouts[] = {
    {10, 3, df1Bit, 4, 2, 60, 2, "1 bit: 10 pixels fit two bytes, rows pad to 4"},
    {5, 1, df4Bit, 4, 3, 108, 16, "4 bits: odd width ends in a half byte"},
    {5, 1, df8Bit, 8, 5, 1072, 256, "8 bits: 5 bytes pad to 8"},
    {5, 1, df15Bit, 12, 10, 52, 0, "15 bits are stored as 16-bit words"},
    {5, 1, df16Bit, 12, 10, 52, 0, "16 bits: 10 bytes pad to 12"},
    {5, 1, df24Bit, 16, 15, 56, 0, "24 bits: 15 bytes pad to 16"},
    {0, 0, df8Bit, 0, 0, 1064, 256, "an empty canvas still has its colour table"},
};

}  // namespace

TEST(Dib, AllocateLaysOutTheBlock) {
  for (const TLayoutCase& c : kLayouts) {
    TDIB image;
    image.Allocate(c.width, c.height, c.format, 300, 300);
    EXPECT_EQ(image.Stride(), c.stride) << c.reason;
    EXPECT_EQ(image.BytesPerRow(), c.bytesPerRow) << c.reason;
    EXPECT_EQ(image.BlockSize(), c.blockSize) << c.reason;
    EXPECT_EQ(image.PaletteCount(), c.paletteCount) << c.reason;
    EXPECT_EQ(image.Format(), c.format) << c.reason;
    EXPECT_EQ(std::uint32_t{image.FileHeader().bfOffBits}, 54u + 4 * c.paletteCount) << c.reason;
    EXPECT_EQ(image.LockCount(), 1) << c.reason;
    TDIBLayout layout{};
    ASSERT_TRUE(TDIB::ComputeLayout(c.width, c.height, c.format, layout));
    EXPECT_EQ(layout.Size, c.blockSize) << "ComputeLayout agrees: " << c.reason;
  }
}

TEST(Dib, AllocateWritesHeaderAndStandardTables) {
  TDIB image;
  image.Allocate(10, 3, df1Bit, 300, 300);
  EXPECT_EQ(image.InfoHeader()->biXPelsPerMeter, 11811);
  EXPECT_EQ(image.XResolution(), 300);
  EXPECT_EQ(image.GetPaletteEntry(0), 0u) << "entry 0 black";
  EXPECT_EQ(image.GetPaletteEntry(1), 0xFFFFFFu) << "entry 1 white";
  for (std::int32_t x = 0; x < 10; ++x) EXPECT_EQ(image.GetPixel(x, 2), 0);

  TDIB gray16;
  gray16.Allocate(1, 1, df4Bit, 72, 72);
  EXPECT_EQ(gray16.InfoHeader()->biXPelsPerMeter, 2835);
  EXPECT_EQ(gray16.YResolution(), 72);
  EXPECT_EQ(gray16.GetPaletteEntry(15), 240u * 0x010101u) << "16 grays step by 16";
}

TEST(Dib, AllocateRefusesUnknownFormatsAndStaysEmpty) {
  for (TDIBFormat format : {TDIBFormat{0}, TDIBFormat{7}}) {
    TDIB image;
    image.Allocate(4, 4, df8Bit, 0, 0);
    try {
      image.Allocate(4, 4, format, 0, 0);
      FAIL() << "format " << int(format);
    } catch (const EError& e) {
      EXPECT_STREQ(e.what(), "Bit depht not allowed");
    }
    EXPECT_EQ(image.Width(), 0);
    EXPECT_EQ(image.Handle(), 0u);
  }
}

TEST(Dib, PixelsAreStoredAsTheFormatSays) {
  struct TCase {
    TDIBFormat format;
    std::int32_t x, value, readBack;
    std::size_t byte;
    std::uint8_t stored;
    const char* reason;
  } cases[] = {
      {df1Bit, 9, 1, 1, 1, 0x40, "pixel 9 is bit 6 of byte 1"},
      {df1Bit, 9, -1, 0, 1, 0x00, "a value of -1 clears the bit"},
      {df4Bit, 2, 0x1F, 15, 1, 0xF0, "even x: high nibble, low 4 bits of the value"},
      {df4Bit, 3, 7, 7, 1, 0x07, "odd x: low nibble"},
      {df8Bit, 3, 0x1FF, 255, 3, 0xFF, "the low byte is stored"},
      {df16Bit, 1, 0x12345, 0x2345, 2, 0x45, "the low 16 bits, little-endian"},
      {df24Bit, 0, 255, 255, 2, 0xFF, "red is the third byte of the pixel"},
      {df24Bit, 1, 0x030201, 0x030201, 3, 0x03, "blue is the first byte of the pixel"},
  };
  for (const TCase& c : cases) {
    TDIB image;
    image.Allocate(16, 2, c.format, 0, 0);
    image.SetPixel(c.x, 1, c.value);
    EXPECT_EQ(image.GetPixel(c.x, 1), c.readBack) << c.reason;
    EXPECT_EQ(image.Row(1)[c.byte], c.stored) << c.reason;
    EXPECT_EQ(image.Bits()[c.byte], c.stored) << "row 1 of 2 is the first stored row: " << c.reason;
  }
}

TEST(Dib, PixelAccessOutsideTheImageIsHarmless) {
  TDIB image;
  image.Allocate(3, 3, df8Bit, 0, 0);
  image.Fill(9);
  for (auto [x, y] : {std::pair{-1, 0}, {3, 0}, {0, -1}, {0, 3}, {1 << 30, 1}}) {
    image.SetPixel(x, y, 1);
    EXPECT_EQ(image.GetPixel(x, y), 0);
  }
  for (std::int32_t y = 0; y < 3; ++y) EXPECT_EQ(image.Row(y)[0], 9);
}

TEST(Dib, WhiteAndBlackIndexFollowTheColourTable) {
  struct TCase {
    std::uint32_t entry0, entry1;
    std::int32_t white, black;
    bool standard;
    const char* reason;
  } cases[] = {
      {0x000000, 0xFFFFFF, 1, 0, false, "as Allocate makes it"},
      {0xFFFFFF, 0x000000, 0, 1, true, "white first is the standard 1-bit table"},
      {0x102030, 0x405060, 0, 1, false, "no pure colour: the 1-bit defaults"},
      {0xFF00FF, 0x01000000, 0, 1, false, "reserved byte ignored: entry 1 is black"},
  };
  for (const TCase& c : cases) {
    TDIB image;
    image.Allocate(1, 1, df1Bit, 0, 0);
    image.SetPaletteEntry(0, c.entry0);
    image.SetPaletteEntry(1, c.entry1);
    EXPECT_EQ(image.WhiteIndex(), c.white) << c.reason;
    EXPECT_EQ(image.BlackIndex(), c.black) << c.reason;
    EXPECT_EQ(image.HasStandardPalette(), c.standard) << c.reason;
  }
  TDIB colour;
  colour.Allocate(1, 1, df24Bit, 0, 0);
  EXPECT_EQ(colour.WhiteIndex(), 0xFFFFFF);
  EXPECT_EQ(colour.BlackIndex(), 0);
}

TEST(Dib, InvertComplementsPixelsButNotPadding) {
  TDIB image;
  image.Allocate(3, 1, df8Bit, 0, 0);
  std::memcpy(image.Row(0), "\x00\x0A\xFF\x5A", 4);
  image.Invert();
  EXPECT_EQ(image.Row(0)[0], 255);
  EXPECT_EQ(image.Row(0)[1], 245);
  EXPECT_EQ(image.Row(0)[2], 0);
  EXPECT_EQ(image.Row(0)[3], 0x5A) << "padding untouched";
}

TEST(Dib, DuplicateCopiesEveryByte) {
  TDIB image;
  image.Allocate(7, 5, df4Bit, 150, 200);
  image.SetPaletteEntry(3, 0x123456);
  image.SetPixel(6, 4, 3);
  auto copy = image.Duplicate();
  ASSERT_EQ(copy->BlockSize(), image.BlockSize());
  EXPECT_EQ(std::memcmp(copy->Block(), image.Block(), image.BlockSize()), 0);
  EXPECT_NE(copy->Handle(), image.Handle());
  EXPECT_EQ(copy->YResolution(), 200);
  EXPECT_TRUE(copy->OwnsHandle);
}

TEST(Dib, DuplicateRefusesABlockLongerThanItsLayout) {
  TDIB source;
  source.Allocate(4, 4, df8Bit, 0, 0);
  TBlockOwner longer(BlockAlloc(source.BlockSize() + 16));
  std::memcpy(BlockLock(longer.Get()), source.Block(), source.BlockSize());
  BlockUnlock(longer.Get());
  TDIB adopted;
  adopted.AssignHandle(longer.Release());
  try {
    adopted.Duplicate();
    FAIL();
  } catch (const EError& e) {
    EXPECT_STREQ(e.what(), "DIB Duplicate error !");
  }
}

TEST(Dib, RowTableStartsAtTheTopImageRow) {
  TDIB image;
  image.Allocate(4, 3, df8Bit, 0, 0);
  EXPECT_EQ(image.Rows()[0], image.Bits() + 2 * image.Stride()) << "the last stored row";
  image.Rows()[0][0] = 77;
  EXPECT_EQ(image.GetPixel(0, 0), 77);
  image.Clear();
  EXPECT_EQ(image.Width(), 0);
  EXPECT_EQ(image.Height(), 0);
}

TEST(Dib, FifteenBitImagesKeepTheirFormatThroughCopiesAndResizes) {
  TDIB image;
  image.Allocate(3, 2, df15Bit, 0, 0);
  EXPECT_EQ(image.BitCount(), 16) << "the header says 16";
  EXPECT_EQ(image.Duplicate()->Format(), df15Bit);
  image.ResizeCanvas(5, 4, 0);
  EXPECT_EQ(image.Format(), df15Bit);
  image.Clear();
  EXPECT_EQ(image.Format(), df8Bit) << "an emptied image forgets its format";
}
