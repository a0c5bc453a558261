// The view's TIFF reader along each of its pixel paths: tiles (which go through libtiff's RGBA
// reader), the progress every path reports, and cut-off files, which must fail cleanly at
// every length.
#include <gtest/gtest.h>

#include "image/streams.h"
#include "tests/image/codec_fixtures.h"
#include "tests/image/test_tiff_support.h"
#include "tests/viewer/test_tiff_graphic_support.h"
#include "viewer/viewer_errors.h"

namespace {

constexpr std::uint32_t kTile = 16;

// The page's rows cut into 16 x 16 tiles (bytesPerRow bytes per image row, bits per pixel
// given), tiles past the right and bottom edges padded with zeros.
std::vector<std::vector<std::uint8_t>> Tiles(const std::vector<std::uint8_t>& rows,
                                             std::uint32_t width, std::uint32_t height,
                                             std::uint32_t bitsPerPixel) {
  const std::uint32_t rowBytes = (width * bitsPerPixel + 7) / 8;
  const std::uint32_t tileRowBytes = kTile * bitsPerPixel / 8;
  std::vector<std::vector<std::uint8_t>> tiles;
  for (std::uint32_t top = 0; top < height; top += kTile) {
    for (std::uint32_t left = 0; left < rowBytes; left += tileRowBytes) {
      std::vector<std::uint8_t> tile(kTile * tileRowBytes, 0);
      for (std::uint32_t y = 0; y < kTile && top + y < height; ++y) {
        for (std::uint32_t i = 0; i < tileRowBytes && left + i < rowBytes; ++i) {
          tile[y * tileRowBytes + i] = rows[(top + y) * rowBytes + left + i];
        }
      }
      tiles.push_back(std::move(tile));
    }
  }
  return tiles;
}

std::vector<TTiffEntry> TiledEntries(std::uint32_t width, std::uint32_t height, std::uint32_t bits,
                                     std::uint32_t photometric) {
  auto entries = PlainEntries(width, height, bits, 1, photometric);
  entries.pop_back();  // no RowsPerStrip in a tiled page
  entries.push_back({322, ttShort, {kTile}});
  entries.push_back({323, ttShort, {kTile}});
  return entries;
}

// Uncompressed tiles are what libtiff 4.5's RGBA reader misreads from a stream.
TEST(TiffGraphicPaths, UncompressedTilesReadLikeTheirStrips) {
  const struct {
    std::uint32_t bits;
    std::uint32_t photometric;
    const char* reason;
  } cases[] = {
      {8, 1, "8-bit gray"},
      {1, 1, "bi-level min-is-black"},
      {1, 0, "bi-level min-is-white: the true colours are not complemented again"},
      {4, 0, "4-bit min-is-white"},
  };
  const std::uint32_t width = 37, height = 21;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    std::vector<std::uint8_t> rows((width * c.bits + 7) / 8 * height);
    for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = static_cast<std::uint8_t>(i * 37 + 11);
    auto stripEntries = PlainEntries(width, height, c.bits, 1, c.photometric);
    const auto strips = ReadTiffGraphic(CraftTiff(stripEntries, {rows}));
    const auto tiles = ReadTiffGraphic(CraftTiff(TiledEntries(width, height, c.bits, c.photometric),
                                                 Tiles(rows, width, height, c.bits), true));
    EXPECT_EQ(tiles->ImageFormat(), strips->ImageFormat());
    for (std::int32_t y = 0; y < 21; ++y) {
      for (std::int32_t x = 0; x < 37; ++x) {
        ASSERT_EQ(tiles->GetPixelColor(x, y), strips->GetPixelColor(x, y)) << x << "," << y;
      }
    }
  }
}

// A tile shorter than it must be: the RGBA reader fails, and no partial page is shown.
TEST(TiffGraphicPaths, AFailedRGBAReadIsAnError) {
  auto tiles = Tiles(std::vector<std::uint8_t>(32 * 32, 77), 32, 32, 8);
  tiles[3].resize(100);
  const auto file = CraftTiff(TiledEntries(32, 32, 8, 1), tiles, true);
  EXPECT_EQ(TiffReadFailure(file), "ETiffError TIFFReadRGBAImage");
}

std::vector<std::uint8_t> SixteenBitPage(std::uint32_t height) {
  std::vector<std::uint8_t> strip(2 * 3 * height, 0x40);
  return CraftTiff(PlainEntries(3, height, 16, 1, 1), {strip});
}

TEST(TiffGraphicPaths, ProgressRisesFromZeroToHundredWithoutRepeats) {
  const auto gray = MakePicture(TPicture::Gray256, 30, 250);
  const auto colour = MakePicture(TPicture::TrueColour, 30, 130);
  const auto bilevel = MakePicture(TPicture::BiLevel, 30, 170);
  const struct {
    std::vector<std::uint8_t> file;
    const char* reason;
  } cases[] = {
      {SaveTiffBytes(*gray, tcLZW, 7), "strips"},
      {SaveTiffBytes(*bilevel, tcCCITT4), "fax rows"},
      {SixteenBitPage(300), "16-bit rows"},
      {SaveTiffBytes(*colour, tcJPEG), "RGBA bands"},
      {SaveTiffBytes(*MakePicture(TPicture::Gray256, 2, 1), tcNone), "a one-row page"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    TTiffGraphic graphic;
    const std::vector<int> percents = ProgressOf(graphic, c.file);
    ASSERT_FALSE(percents.empty());
    EXPECT_EQ(percents.front(), 0);
    EXPECT_EQ(percents.back(), 100);
    for (std::size_t i = 1; i < percents.size(); ++i) EXPECT_LT(percents[i - 1], percents[i]);
  }
}

// Every length of a file cut short either reads or fails with one of the system's own
// exceptions, leaving the graphic empty; nothing else may happen.
TEST(TiffGraphicPaths, EveryPrefixOfSmallFilesFailsCleanly) {
  const auto rows = std::vector<std::uint8_t>(20 * 20, 130);
  const struct {
    std::vector<std::uint8_t> file;
    const char* reason;
  } cases[] = {
      {SaveTiffBytes(*MakePicture(TPicture::BiLevel, 23, 9), tcCCITT4, 4), "Group 4"},
      {SaveTiffBytes(*MakePicture(TPicture::Colour256, 11, 9), tcLZW, 4), "LZW palette"},
      {SaveTiffBytes(*MakePicture(TPicture::TrueColour, 9, 9), tcJPEG), "JPEG"},
      {CraftTiff(TiledEntries(20, 20, 8, 1), Tiles(rows, 20, 20, 8), true), "tiles"},
      {SixteenBitPage(5), "16-bit"},
  };
  for (const auto& c : cases) {
    for (std::size_t length = 0; length < c.file.size(); ++length) {
      TMemoryStream stream(c.file.data(), length);
      TTiffGraphic graphic;
      try {
        graphic.ReadImage(stream, 1);
      } catch (const EError&) {
        ASSERT_TRUE(graphic.Empty()) << c.reason << ", " << length << " bytes";
      }
    }
  }
}

}  // namespace
