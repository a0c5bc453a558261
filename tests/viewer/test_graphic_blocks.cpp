// The display graphic's packed DIB blocks: formats and palettes taken from a block, exact
// round trips, blocks decoded through the bitmap reader, and blocks that lie about their size.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "platform/errors.h"
#include "test_graphic_fixtures.h"
#include "viewer/dib_graphic.h"
#include "viewer/viewer_errors.h"

namespace {

std::vector<std::uint32_t> GrayColors(std::int32_t count, std::int32_t step) {
  std::vector<std::uint32_t> colors;
  for (std::int32_t i = 0; i < count; ++i) colors.push_back(0x010101u * (i * step));
  return colors;
}

// An 8-bit block of 3 x 2 pixels holding 1, 2, 3 (bottom row) and 4, 5, 6 (top row).
TTestBlock EightBit(std::uint32_t clrUsed, const std::vector<std::uint32_t>& colors) {
  TTestBlock block;
  block.header = {40, 3, 2, 1, 8, 0, 8, 0, 0, clrUsed, 0};
  block.SetColors(colors);
  block.data = {1, 2, 3, 0, 4, 5, 6, 0};
  return block;
}

TTestBlock FourBit(const std::vector<std::uint32_t>& colors) {
  TTestBlock block;
  block.header = {40, 2, 1, 1, 4, 0, 4, 0, 0, 0, 0};
  block.SetColors(colors);
  block.data = {0x3C, 0, 0, 0};
  return block;
}

}  // namespace

TEST(GraphicBlocks, FormatFollowsBitCountAndGrayPalettes) {
  std::vector<std::uint32_t> oneColour = GrayColors(256, 1);
  oneColour[200] = 0xFF0000;
  std::vector<std::uint32_t> colour16 = GrayColors(16, 17);
  colour16[3] = 0x00AA00;
  struct Case {
    TTestBlock block;
    TGraphicFormat format;
    std::int32_t entries;
    const char* reason;
  };
  const Case cases[] = {
      {EightBit(0, GrayColors(256, 1)), gfGray256, 256, "biClrUsed 0 and a gray table"},
      {EightBit(0, oneColour), gfColor256, 256, "one colour entry is enough"},
      {EightBit(16, GrayColors(16, 17)), gfGray256, 16, "a short gray table"},
      {EightBit(3, {0xFFFFFF, 0x808080, 0}), gfGray256, 3, "gray need not be a ramp"},
      {FourBit(GrayColors(16, 17)), gfGray16, 16, "16 grays"},
      {FourBit(colour16), gfColor16, 16, "4 bits with a colour"},
  };
  for (const Case& c : cases) {
    TOwnedBlock block(MakeBlock(c.block));
    TDibGraphic graphic;
    graphic.AssignHDIB(block.Get());
    EXPECT_EQ(graphic.ImageFormat(), c.format) << c.reason;
    EXPECT_EQ(graphic.PaletteCount(), c.entries) << c.reason;
    EXPECT_EQ(std::memcmp(graphic.ColorTable(), c.block.table.data(), c.block.table.size()), 0)
        << c.reason << ": the table as it was";
    EXPECT_EQ(std::memcmp(graphic.Bits(), c.block.data.data(), c.block.data.size()), 0)
        << c.reason << ": rows taken from right after the table";
    EXPECT_EQ(BlockLockCount(block.Get()), 0) << c.reason;
  }
}

TEST(GraphicBlocks, WhiteFirstBilevelIsKept) {
  TTestBlock layout;
  layout.header = {40, 10, 1, 1, 1, 0, 4, 0, 0, 2, 0};
  layout.SetColors({0xFFFFFF, 0x000000});
  layout.data = {0xA5, 0x40, 0, 0};
  TOwnedBlock block(MakeBlock(layout));
  TDibGraphic graphic;
  graphic.AssignHDIB(block.Get());
  EXPECT_EQ(graphic.ImageFormat(), gfBilevel);
  EXPECT_EQ(graphic.GetPixelColor(1, 0), 0xFFFFFFu) << "bit 0 stays white";
  EXPECT_EQ(graphic.GetPixelColor(0, 0), 0x000000u);
  EXPECT_EQ(graphic.ScanLine(0)[0], 0xA5) << "no bits are flipped";
}

TEST(GraphicBlocks, ResolutionFromPixelsPerMetre) {
  struct Case {
    std::int32_t pixelsPerMetre;
    std::uint16_t dpi;
    const char* reason;
  };
  const Case cases[] = {
      {11811, 300, "the usual 300 dpi"},
      {3780, 96, "96 dpi"},
      {0, 77, "none: the screen's"},
      {-11811, 77, "negative: the screen's"},
      {INT32_MAX, 77, "beyond any dpi: the screen's"},
  };
  const TScreenResolution saved = ScreenResolution();
  SetScreenResolution({77, 77});
  for (const Case& c : cases) {
    TTestBlock layout = EightBit(0, GrayColors(256, 1));
    layout.header.biXPelsPerMeter = layout.header.biYPelsPerMeter = c.pixelsPerMetre;
    TOwnedBlock block(MakeBlock(layout));
    TDibGraphic graphic;
    graphic.AssignHDIB(block.Get());
    EXPECT_EQ(graphic.XResolution(), c.dpi) << c.reason;
    EXPECT_EQ(graphic.YResolution(), c.dpi) << c.reason;
  }
  SetScreenResolution(saved);
}

TEST(GraphicBlocks, RoundTripReproducesHeaderTableAndBits) {
  for (TGraphicFormat format : {gfBilevel, gfColor16, gfColor256, gfGray256, gfTrueColor}) {
    TDibGraphic original;
    original.NewImage(7, 3, format, nullptr, 300, 200);
    for (std::int32_t i = 0; i < 3 * original.BytesPerRow(); ++i) {
      original.Bits()[i] = static_cast<std::uint8_t>(i * 37 + 11);
    }
    original.SetPixelColor(1, 1, 0xFF0000);
    TOwnedBlock block(original.CreateHDIB());
    TDibGraphic copy;
    copy.AssignHDIB(block.Get());
    EXPECT_EQ(copy.ImageFormat(), format);
    EXPECT_EQ(std::memcmp(&copy.Header(), &original.Header(), 40), 0) << format;
    const auto* table = reinterpret_cast<const std::uint8_t*>(original.ColorTable());
    EXPECT_TRUE(std::equal(table, table + 4 * original.PaletteCount(),
                           reinterpret_cast<const std::uint8_t*>(copy.ColorTable())))
        << format;
    EXPECT_EQ(std::memcmp(copy.Bits(), original.Bits(), 3 * original.BytesPerRow()), 0) << format;
    EXPECT_EQ(copy.GetPixelColor(1, 1), original.GetPixelColor(1, 1)) << format;
    if (format == gfColor256 || format == gfTrueColor) {
      EXPECT_EQ(copy.GetPixelColor(1, 1), 0xFF0000u) << "red stays red";
    }
  }
}

TEST(GraphicBlocks, BlockIsReadableByTheImageLibrary) {
  TDibGraphic graphic;
  graphic.NewImage(5, 2, gfColor16, nullptr, 300, 300);
  graphic.SetPixelColor(4, 0, 0xAA5500);
  TDIB image;
  image.AssignHandle(graphic.CreateHDIB());
  EXPECT_EQ(image.Format(), df4Bit);
  EXPECT_EQ(image.GetPixel(4, 0), 6) << "brown";
  EXPECT_EQ(image.XResolution(), 300);
}

TEST(GraphicBlocks, ThirtyTwoAndSixteenBitBlocksBecomeTrueColour) {
  TTestBlock wide;
  wide.header = {40, 2, 1, 1, 32, 0, 0, 11811, 11811, 0, 0};
  wide.data = {0x30, 0x20, 0x10, 0xFF, 0x03, 0x02, 0x01, 0xFF};
  TTestBlock narrow;
  narrow.header = {40, 1, 2, 1, 16, 0, 0, 0, 0, 0, 0};
  narrow.data = {0x1F, 0x00, 0, 0, 0x00, 0x7C, 0, 0};  // bottom: pure blue; top: pure red
  TDibGraphic graphic;
  {
    TOwnedBlock block(MakeBlock(wide));
    graphic.AssignHDIB(block.Get());
    EXPECT_EQ(BlockLockCount(block.Get()), 0);
  }
  EXPECT_EQ(graphic.ImageFormat(), gfTrueColor);
  EXPECT_EQ(graphic.GetPixelColor(0, 0), 0x102030u);
  EXPECT_EQ(graphic.GetPixelColor(1, 0), 0x010203u);
  EXPECT_EQ(graphic.XResolution(), 300);
  TOwnedBlock block(MakeBlock(narrow));
  graphic.AssignHDIB(block.Get());
  EXPECT_EQ(graphic.ImageFormat(), gfTrueColor);
  EXPECT_EQ(graphic.GetPixelColor(0, 0), 0xFF0000u) << "top row: red";
  EXPECT_EQ(graphic.GetPixelColor(0, 1), 0x0000FFu) << "bottom row: blue";
}

// Blocks the graphic cannot copy directly go through the bitmap reader.
TEST(GraphicBlocks, CompressedAndMaskedBlocksAreDecoded) {
  TTestBlock runs = EightBit(0, GrayColors(256, 1));
  runs.header = {40, 4, 2, 1, 8, 1, 10, 0, 0, 0, 0};  // run-length coded 8 bits
  runs.data = {4, 7, 0, 0, 2, 1, 2, 3, 0, 1};         // bottom: 7 7 7 7, top: 1 1 3 3
  TTestBlock masked;
  masked.header = {40, 1, 1, 1, 32, 3, 4, 0, 0, 0, 0};  // 32 bits with colour masks
  masked.table = {0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0};
  masked.data = {0x30, 0x20, 0x10, 0};
  TDibGraphic graphic;
  {
    TOwnedBlock block(MakeBlock(runs));
    graphic.AssignHDIB(block.Get());
    EXPECT_EQ(BlockLockCount(block.Get()), 0);
  }
  EXPECT_EQ(graphic.ImageFormat(), gfGray256);
  EXPECT_EQ(graphic.GetPixelIndex(3, 1), 7);
  EXPECT_EQ(graphic.GetPixelIndex(0, 0), 1);
  EXPECT_EQ(graphic.GetPixelIndex(3, 0), 3);
  TTestBlock alphaMasked = masked;
  alphaMasked.header.biCompression = 6;  // four masks, the last for alpha
  alphaMasked.table.insert(alphaMasked.table.end(), {0, 0, 0, 0xFF});
  for (const TTestBlock& layout : {masked, alphaMasked}) {
    TOwnedBlock block(MakeBlock(layout));
    graphic.AssignHDIB(block.Get());
    EXPECT_EQ(graphic.ImageFormat(), gfTrueColor);
    EXPECT_EQ(graphic.GetPixelColor(0, 0), 0x102030u) << "the masks sit between header and pixels";
  }
}

TEST(GraphicBlocks, LongerBlockIsAccepted) {
  TOwnedBlock block(MakeBlock(EightBit(0, GrayColors(256, 1)), 100));
  TDibGraphic graphic;
  graphic.AssignHDIB(block.Get());
  EXPECT_EQ(graphic.GetPixelIndex(2, 0), 6);
}

// Every lie a block can tell is refused before a byte past its end is read; the graphic is
// left empty and the block unlocked.
TEST(GraphicBlocks, BadBlocksAreRefused) {
  auto with = [](auto change) {
    TTestBlock block = EightBit(0, GrayColors(256, 1));
    change(block);
    return block;
  };
  struct Case {
    TTestBlock block;
    std::size_t cut;  // bytes removed from the end
    const char* message;
    const char* reason;
  };
  const Case cases[] = {
      {with([](TTestBlock&) {}), 1, "Invalid HDIB", "the last row is one byte short"},
      {with([](TTestBlock& b) { b.data.clear(); }), 0, "Invalid HDIB", "no rows at all"},
      {with([](TTestBlock& b) {
         b.table.resize(100);
         b.data.clear();
       }),
       0, "Invalid HDIB", "the colour table is cut"},
      {with([](TTestBlock& b) { b.header.biSize = 12; }), 0, "Invalid HDIB", "another header"},
      {with([](TTestBlock& b) { b.header.biWidth = 0; }), 0, "Invalid HDIB", "no width"},
      {with([](TTestBlock& b) { b.header.biHeight = -2; }), 0, "Invalid HDIB", "top-down rows"},
      {with([](TTestBlock& b) { b.header.biWidth = INT32_MAX; }), 0, "Invalid HDIB",
       "rows far beyond the block"},
      {with([](TTestBlock& b) { b.header.biHeight = INT32_MAX; }), 0, "Invalid HDIB",
       "row count far beyond the block"},
      {with([](TTestBlock& b) { b.header.biClrUsed = 300; }), 0, "Invalid HDIB",
       "more colours than 8 bits index"},
      {with([](TTestBlock& b) { b.header.biClrUsed = 0xFFFFFFFF; }), 0, "Invalid HDIB",
       "an absurd colour count"},
      {with([](TTestBlock& b) { b.header.biBitCount = 2; }), 0, "Unsupported bit count", "2 bits"},
      {with([](TTestBlock& b) { b.header.biBitCount = 0; }), 0, "Unsupported bit count", "0 bits"},
      {with([](TTestBlock& b) { b.header.biCompression = 1, b.header.biSizeImage = 0; }), 0,
       "Invalid HDIB", "compressed data of no size"},
      {with([](TTestBlock& b) { b.header.biCompression = 1, b.header.biSizeImage = 9; }), 0,
       "Invalid HDIB", "compressed data beyond the block"},
  };
  for (const Case& c : cases) {
    TTestBlock layout = c.block;
    TOwnedBlock block(MakeBlock(layout));
    if (c.cut > 0) BlockReAlloc(block.Get(), BlockSize(block.Get()) - c.cut);
    TDibGraphic graphic;
    graphic.NewImage(2, 2, gfGray256, nullptr, 0, 0);
    try {
      graphic.AssignHDIB(block.Get());
      ADD_FAILURE() << c.reason;
    } catch (const EViewerError& e) {
      EXPECT_STREQ(e.what(), c.message) << c.reason;
    }
    EXPECT_TRUE(graphic.Empty()) << c.reason;
    EXPECT_EQ(BlockLockCount(block.Get()), 0) << c.reason;
  }
}

TEST(GraphicBlocks, NoBlockAndEmptyGraphic) {
  TDibGraphic graphic;
  EXPECT_THROW(graphic.AssignHDIB(0), EViewerError);
  try {
    graphic.CreateHDIB();
    ADD_FAILURE();
  } catch (const EViewerError& e) {
    EXPECT_STREQ(e.what(), "Graphic is empty");
  }
}

// Blocks with random damage to their header and colour table, and random lengths: each is
// taken or refused with the system's message, never read past its end (the sanitizer build
// watches), and always left unlocked.
TEST(GraphicBlocks, DamagedBlocksNeverCrash) {
  std::mt19937 random(42);
  const TTestBlock shapes[] = {EightBit(0, GrayColors(256, 1)), FourBit(GrayColors(16, 17)), [] {
                                 TTestBlock wide;
                                 wide.header = {40, 3, 2, 1, 32, 0, 0, 0, 0, 0, 0};
                                 wide.data.assign(24, 0x5A);
                                 return wide;
                               }()};
  for (std::int32_t round = 0; round < 3000; ++round) {
    TTestBlock layout = shapes[round % 3];
    auto* header = reinterpret_cast<std::uint8_t*>(&layout.header);
    for (std::int32_t hits = 1 + random() % 3; hits > 0; --hits) {
      const std::size_t at = random() % (40 + layout.table.size());
      const auto value = static_cast<std::uint8_t>(random());
      (at < 40 ? header[at] : layout.table[at - 40]) = value;
    }
    TOwnedBlock block(MakeBlock(layout, random() % 8));
    const std::size_t size = BlockSize(block.Get());
    if (random() % 4 == 0) BlockReAlloc(block.Get(), random() % size + 1);
    TDibGraphic graphic;
    try {
      graphic.AssignHDIB(block.Get());
      EXPECT_FALSE(graphic.Empty());
    } catch (const EError&) {
      EXPECT_TRUE(graphic.Empty());
    }
    ASSERT_EQ(BlockLockCount(block.Get()), 0) << "round " << round;
  }
}
