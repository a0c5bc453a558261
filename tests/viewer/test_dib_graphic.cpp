// The display graphic on its own: layout of a new image, default palettes, resolution, pixel
// access, exact copies and frames.
#include <gtest/gtest.h>

#include <algorithm>
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
      {gfColor256, 46, 0x7DFF00, "yellow to green"},
      {gfColor256, 50, 0x00FF7D, "green to cyan"},
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

TEST(DibGraphic, FormatDescriptions) {
  const char* const texts[] = {"Black and white", "16 shades of gray", "256 shades of gray",
                               "16 color",        "256 color",         "True color"};
  for (std::int32_t format = gfBilevel; format <= gfTrueColor; ++format) {
    EXPECT_STREQ(GraphicFormatDescription(static_cast<TGraphicFormat>(format)), texts[format]);
  }
  EXPECT_THROW(GraphicFormatDescription(static_cast<TGraphicFormat>(6)), EViewerError);
}

TEST(DibGraphic, NewImageRefusesWhatItCannotHold) {
  struct Case {
    std::int32_t width, height;
    TGraphicFormat format;
    const char* message;
    const char* reason;
  };
  const Case cases[] = {
      {4, 4, static_cast<TGraphicFormat>(6), "Internal error: Invalid image format", "format 6"},
      {0, 4, gfGray256, "Out of resources", "no bitmap has zero width"},
      {4, -1, gfGray256, "Out of resources", "nor a negative height"},
      {100000, 100000, gfTrueColor, kImageTooLarge, "30 GB of pixels"},
      {INT32_MAX, INT32_MAX, gfTrueColor, kImageTooLarge, "sizes that overflow 64 bits"},
  };
  for (const Case& c : cases) {
    TDibGraphic graphic;
    graphic.NewImage(2, 2, gfGray256, nullptr, 0, 0);
    try {
      graphic.NewImage(c.width, c.height, c.format, nullptr, 0, 0);
      ADD_FAILURE() << c.reason;
    } catch (const EError& e) {
      EXPECT_STREQ(e.what(), c.message) << c.reason;
    }
    EXPECT_TRUE(graphic.Empty()) << c.reason << ": a failure leaves the graphic empty";
    EXPECT_EQ(graphic.Width(), 0) << c.reason;
  }
}

TEST(DibGraphic, GivenPaletteIsCutToWhatTheBitsIndex) {
  TLogPalette wide = DefaultPalette(gfColor256);
  TDibGraphic graphic;
  graphic.NewImage(3, 1, gfBilevel, &wide, 0, 0);
  EXPECT_EQ(graphic.PaletteCount(), 2) << "a longer table would misplace the rows of a block";
  TLogPalette none;
  graphic.NewImage(3, 1, gfGray16, &none, 0, 0);
  EXPECT_EQ(graphic.PaletteCount(), 16) << "an empty palette takes the default";
  EXPECT_EQ(PaletteColor(graphic, 15), 0xFFFFFFu);
}

TEST(DibGraphic, ResolutionZeroTakesTheScreens) {
  const TScreenResolution saved = ScreenResolution();
  SetScreenResolution({120, 72});
  TDibGraphic graphic;
  graphic.NewImage(1, 1, gfGray256, nullptr, 0, 600);
  SetScreenResolution(saved);
  EXPECT_EQ(graphic.XResolution(), 120);
  EXPECT_EQ(graphic.YResolution(), 600);
  EXPECT_EQ(graphic.Header().biXPelsPerMeter, 4724) << "Round(120 x 39.37007874015748)";
}

TEST(DibGraphic, ReleaseImageZeroesHeaderAndTable) {
  TDibGraphic graphic;
  graphic.NewImage(5, 5, gfColor16, nullptr, 0, 0);
  graphic.ReleaseImage();
  const TBitmapInfoHeader zero{};
  EXPECT_TRUE(graphic.Empty());
  EXPECT_EQ(std::memcmp(&graphic.Header(), &zero, sizeof zero), 0);
  EXPECT_EQ(graphic.PaletteCount(), 0);
  EXPECT_EQ(graphic.BytesPerRow(), 0);
}

TEST(DibGraphic, SizeIsSetOnlyThroughNewImage) {
  TDibGraphic graphic;
  EXPECT_THROW(
      {
        try {
          graphic.SetWidth(5);
        } catch (const EViewerError& e) {
          EXPECT_STREQ(e.what(), "Dimensions must be change with the NewImage method");
          throw;
        }
      },
      EViewerError);
  EXPECT_THROW(graphic.SetHeight(5), EViewerError);
}

TEST(DibGraphic, PixelAccessByFormat) {
  struct Case {
    TGraphicFormat format;
    std::int32_t x;
    TColorValue written;
    std::int32_t index;  // stored index, -1 for true colour
    TColorValue read;
    const char* reason;
  };
  const Case cases[] = {
      {gfBilevel, 9, 0xF0F0F0, 1, 0xFFFFFF, "light gray is nearest to white"},
      {gfColor16, 3, 0xFF0000, 4, 0xAA0000, "pure red is nearer dark red than light red"},
      {gfColor16, 4, 0x0000AA, 1, 0x0000AA, "an exact entry"},
      {gfGray16, 5, 0x808080, 8, 0x888888, "128 is nearest 136"},
      {gfGray256, 2, 0x102030, 0x20, 0x202020, "the gray at the least squared distance"},
      {gfColor256, 6, 0x00FF00, 48, 0x00FF00, "pure green of the first ring, not light green"},
      {gfTrueColor, 7, 0x123456, -1, 0x123456, "stored blue, green, red"},
  };
  for (const Case& c : cases) {
    TDibGraphic graphic;
    graphic.NewImage(10, 2, c.format, nullptr, 0, 0);
    std::fill(graphic.Bits(), graphic.Bits() + 2 * graphic.BytesPerRow(), 0);
    graphic.SetPixelColor(c.x, 1, c.written);
    EXPECT_EQ(graphic.GetPixelColor(c.x, 1), c.read) << c.reason;
    if (c.index >= 0) {
      EXPECT_EQ(graphic.GetPixelIndex(c.x, 1), c.index) << c.reason;
    }
  }
}

TEST(DibGraphic, PixelIndexesArePackedHighBitsFirst) {
  struct Case {
    TGraphicFormat format;
    std::int32_t x, index;
    std::int32_t byte;
    std::uint8_t value;
    const char* reason;
  };
  const Case cases[] = {
      {gfBilevel, 9, 5, 1, 0x40, "pixel 9 is bit 6 of byte 1; any index above 0 sets it"},
      {gfGray16, 4, 0xB, 2, 0xB0, "even x: high nibble"},
      {gfColor16, 5, 0x7, 2, 0x07, "odd x: low nibble"},
      {gfGray256, 3, 200, 3, 200, "one byte per pixel"},
  };
  for (const Case& c : cases) {
    TDibGraphic graphic;
    graphic.NewImage(10, 3, c.format, nullptr, 0, 0);
    std::fill(graphic.Bits(), graphic.Bits() + 3 * graphic.BytesPerRow(), 0);
    graphic.SetPixelIndex(c.x, 0, c.index);
    EXPECT_EQ(graphic.ScanLine(0)[c.byte], c.value) << c.reason;
    EXPECT_EQ(graphic.Bits()[2 * graphic.BytesPerRow() + c.byte], c.value)
        << c.reason << ": the top row is stored last";
    EXPECT_EQ(graphic.GetPixelIndex(c.x, 0), c.format == gfBilevel ? 1 : c.index) << c.reason;
  }
}

TEST(DibGraphic, OutsideTheImagePixelsReadZeroAndIgnoreWrites) {
  TDibGraphic graphic;
  graphic.NewImage(4, 4, gfGray256, nullptr, 0, 0);
  std::fill(graphic.Bits(), graphic.Bits() + 4 * graphic.BytesPerRow(), 9);
  graphic.SetPixelIndex(4, 0, 1);
  graphic.SetPixelColor(-1, 0, 0xFFFFFF);
  EXPECT_EQ(graphic.GetPixelIndex(0, 4), 0);
  EXPECT_EQ(graphic.GetPixelColor(-1, -1), 0u);
  EXPECT_TRUE(std::all_of(graphic.Bits(), graphic.Bits() + 4 * graphic.BytesPerRow(),
                          [](std::uint8_t b) { return b == 9; }));
  EXPECT_THROW(graphic.ScanLine(4), EViewerError);
  EXPECT_THROW(graphic.ScanLine(-1), EViewerError);
}

TEST(DibGraphic, TrueColourHasNoIndexes) {
  TDibGraphic graphic;
  graphic.NewImage(2, 2, gfTrueColor, nullptr, 0, 0);
  try {
    graphic.GetPixelIndex(0, 0);
    ADD_FAILURE() << "a true-colour pixel has no index";
  } catch (const EViewerError& e) {
    EXPECT_STREQ(e.what(), "The image does not have a palette");
  }
  EXPECT_THROW(graphic.SetPixelIndex(0, 0, 1), EViewerError);
}

TEST(RgbToPaletteConverter, FirstBestWins) {
  TLogPalette palette;
  palette.palNumEntries = 3;
  palette.palPalEntry[0] = {0, 0, 0, 0};
  palette.palPalEntry[1] = {100, 100, 100, 0};
  palette.palPalEntry[2] = {100, 100, 100, 0};
  TRgbToPaletteConverter converter(palette);
  EXPECT_EQ(converter.IndexOf(0x646464), 1) << "the first of two equal entries";
  EXPECT_EQ(converter.IndexOf(0x323232), 0) << "(50, 50, 50) is as near to both: the first";
}

// The cache answers as a plain search would, also for colours that share a slot.
TEST(RgbToPaletteConverter, CachedAnswersMatchAPlainSearch) {
  const TLogPalette& palette = DefaultPalette(gfColor256);
  TRgbToPaletteConverter converter(palette);
  auto plain = [&palette](TColorValue c) {
    std::int32_t best = 0, bestDistance = INT32_MAX;
    for (std::int32_t i = 0; i < palette.palNumEntries; ++i) {
      const TLogPalette::Entry& e = palette.palPalEntry[i];
      const std::int32_t dr = e.red - static_cast<std::int32_t>(c >> 16);
      const std::int32_t dg = e.green - static_cast<std::int32_t>((c >> 8) & 0xFF);
      const std::int32_t db = e.blue - static_cast<std::int32_t>(c & 0xFF);
      const std::int32_t d = dr * dr + dg * dg + db * db;
      if (d < bestDistance) best = i, bestDistance = d;
    }
    return best;
  };
  for (TColorValue base : {0x000001u, 0x001234u, 0x003456u}) {
    for (TColorValue k = 0; k < 40; ++k) {
      const TColorValue color = base + 1020 * 401 * k;  // the same slot as base
      ASSERT_EQ(converter.IndexOf(color), plain(color)) << std::hex << color;
      ASSERT_EQ(converter.IndexOf(base), plain(base)) << "asked again after its slot changed";
    }
  }
}
