// The display graphic on its own: layout of a new image, default palettes, resolution, pixel
// access, exact copies and frames.
#include <gtest/gtest.h>

#include <cstring>

#include "image/streams.h"
#include "viewer/dib_graphic.h"
#include "viewer/viewer_errors.h"

namespace {

std::uint32_t PaletteColor(const TDibGraphic& graphic, std::int32_t index) {
  const TRGBQuad& q = graphic.ColorTable()[index];
  return (std::uint32_t{q.rgbRed} << 16) | (std::uint32_t{q.rgbGreen} << 8) | q.rgbBlue;
}

}  // namespace

TEST(DibGraphic, NewImageLaysOutHeaderRowsAndTable) {
  struct Case {
    TGraphicFormat format;
    std::int32_t width, bits, bytesPerRow, entries;
    const char* reason;
  };
  const Case cases[] = {
      {gfBilevel, 33, 1, 8, 2, "33 bits round up to two 32-bit words"},
      {gfGray16, 9, 4, 8, 16, "9 nibbles need 5 bytes, padded to 8"},
      {gfGray256, 5, 8, 8, 256, "5 bytes padded to 8"},
      {gfColor16, 8, 4, 4, 16, "8 nibbles fill one word"},
      {gfColor256, 4, 8, 4, 256, "4 bytes fill one word"},
      {gfTrueColor, 3, 24, 12, 0, "9 bytes padded to 12, no colour table"},
  };
  for (const Case& c : cases) {
    TDibGraphic graphic;
    graphic.NewImage(c.width, 7, c.format, nullptr, 300, 150);
    const TBitmapInfoHeader& h = graphic.Header();
    EXPECT_EQ(h.biSize, 40u) << c.reason;
    EXPECT_EQ(h.biBitCount, c.bits) << c.reason;
    EXPECT_EQ(graphic.BytesPerRow(), c.bytesPerRow) << c.reason;
    EXPECT_EQ(h.biSizeImage, static_cast<std::uint32_t>(7 * c.bytesPerRow)) << c.reason;
    EXPECT_EQ(graphic.PaletteCount(), c.entries) << c.reason;
    EXPECT_EQ(graphic.Palette().palNumEntries, c.entries) << c.reason;
    EXPECT_EQ(graphic.ScanLine(0), graphic.Bits() + 6 * c.bytesPerRow) << "top row stored last";
    EXPECT_EQ(graphic.ScanLine(6), graphic.Bits()) << "bottom row stored first";
    EXPECT_EQ(graphic.XResolution(), 300);
    EXPECT_EQ(graphic.YResolution(), 150);
  }
}

TEST(DibGraphic, DefaultPalettes) {
  struct Case {
    TGraphicFormat format;
    std::int32_t index;
    std::uint32_t color;
    const char* reason;
  };
  const Case cases[] = {
      {gfBilevel, 0, 0x000000, "black first"},
      {gfBilevel, 1, 0xFFFFFF, "then white"},
      {gfGray16, 5, 0x555555, "entry i is 17 i"},
      {gfGray256, 200, 0xC8C8C8, "the identity ramp"},
      {gfColor16, 6, 0xAA5500, "brown, not dark yellow"},
      {gfColor16, 9, 0x5555FF, "light blue"},
      {gfColor256, 6, 0xAA5500, "the EGA colours come first"},
      {gfColor256, 16, 0x000000, "the gray ramp starts black"},
      {gfColor256, 23, 0x616161, "6-bit 0x18 widens to 0x61"},
      {gfColor256, 31, 0xFFFFFF, "and ends white"},
      {gfColor256, 32, 0x0000FF, "the first ring starts at blue"},
      {gfColor256, 36, 0xFF00FF, "magenta"},
      {gfColor256, 42, 0xFF7D00, "red to yellow, 6-bit 0x1F widens to 0x7D"},
      {gfColor256, 55, 0x0041FF, "the ring closes towards blue"},
      {gfColor256, 80, 0xB6B6FF, "third ring: low saturation, 0x2D widens to 0xB6"},
      {gfColor256, 104, 0x000071, "medium intensity, 0x1C widens to 0x71"},
      {gfColor256, 247, 0x2C3041, "the last ring ends at (0x0B, 0x0C, 0x10)"},
      {gfColor256, 248, 0x000000, "the last eight are black"},
  };
  for (const Case& c : cases) {
    TDibGraphic graphic;
    graphic.NewImage(1, 1, c.format, nullptr, 0, 0);
    EXPECT_EQ(PaletteColor(graphic, c.index), c.color) << c.reason;
  }
}
