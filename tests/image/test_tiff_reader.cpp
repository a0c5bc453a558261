// The TIFF reader on small files made byte by byte: formats, colour tables and inversion by
// photometric interpretation and bits per sample, palette unpacking, 16-bit samples,
// resolution units, the fax photometric rule, files without RowsPerStrip or BitsPerSample,
// pages, and hostile files that must fail cleanly and leave the image as it was.
#include <gtest/gtest.h>

#include "image/dibunit.h"
#include "image/streams.h"
#include "tests/image/codec_fixtures.h"
#include "tests/image/test_tiff_support.h"

namespace {

using TBytes = std::vector<std::uint8_t>;

std::vector<TTiffEntry> With(std::vector<TTiffEntry> entries, std::vector<TTiffEntry> more) {
  entries.insert(entries.end(), more.begin(), more.end());
  return entries;
}

std::vector<std::int32_t> RowValues(const TDIB& image, std::int32_t y) {
  std::vector<std::int32_t> values;
  for (std::int32_t x = 0; x < image.Width(); ++x) values.push_back(image.GetPixel(x, y));
  return values;
}

std::vector<std::uint32_t> Table(const TDIB& image, std::int32_t count) {
  std::vector<std::uint32_t> entries;
  for (std::int32_t i = 0; i < count; ++i) entries.push_back(image.GetPaletteEntry(i));
  return entries;
}

// Channel c (1 red, 2 green, 3 blue) of colour-map entry i, as a byte.
std::uint32_t MapByte(std::uint32_t channel, std::uint32_t i) {
  return channel * i * 85 % 256;
}

// A colour map of 2^bits entries per channel, with 8-bit values or widened to 16 bits.
TTiffEntry ColourMap(std::uint32_t bits, bool sixteenBit) {
  TTiffEntry map{320, ttShort, {}};
  for (std::uint32_t channel = 1; channel <= 3; ++channel) {
    for (std::uint32_t i = 0; i < (1u << bits); ++i) {
      map.values.push_back(MapByte(channel, i) * (sixteenBit ? 257 : 1));
    }
  }
  return map;
}

}  // namespace

TEST(TiffReader, FormatTableAndInversionFollowTheSamples) {
  struct TCase {
    const char* reason;
    std::uint32_t width, bits, samples, photometric;
    TBytes strip;
    TDIBFormat format;
    std::vector<std::int32_t> row;
    std::vector<std::uint32_t> table;  // first entries of the colour table
  } const cases[] = {
      {"1 bit min-is-black: bits as stored",
       8,
       1,
       1,
       1,
       {0xCA},
       df1Bit,
       {1, 1, 0, 0, 1, 0, 1, 0},
       {0x000000, 0xFFFFFF}},
      {"1 bit min-is-white: inverted, so that 1 stays black",
       8,
       1,
       1,
       0,
       {0xCA},
       df1Bit,
       {0, 0, 1, 1, 0, 1, 0, 1},
       {0x000000, 0xFFFFFF}},
      {"4 bit min-is-black: 16 grays 17 x i",
       3,
       4,
       1,
       1,
       {0x1F, 0x80},
       df4Bit,
       {1, 15, 8},
       {0x000000, 0x111111, 0x222222}},
      {"4 bit min-is-white: inverted",
       3,
       4,
       1,
       0,
       {0x1F, 0x80},
       df4Bit,
       {14, 0, 7},
       {0x000000, 0x111111, 0x222222}},
      {"8 bit min-is-black",
       3,
       8,
       1,
       1,
       {0, 10, 255},
       df8Bit,
       {0, 10, 255},
       {0x000000, 0x010101, 0x020202}},
      {"8 bit min-is-white: v becomes 255 - v",
       3,
       8,
       1,
       0,
       {0, 10, 255},
       df8Bit,
       {255, 245, 0},
       {0x000000, 0x010101}},
      {"16 bit gray: the high byte",
       2,
       16,
       1,
       1,
       {0x34, 0x12, 0xFF, 0xAB},
       df8Bit,
       {0x12, 0xAB},
       {0x000000, 0x010101}},
      {"16 bit min-is-white: high byte inverted",
       2,
       16,
       1,
       0,
       {0x34, 0x12, 0xFF, 0xAB},
       df8Bit,
       {0xED, 0x54},
       {0x000000, 0x010101}},
      {"RGB: red, green, blue to a 24-bit pixel",
       2,
       8,
       3,
       2,
       {1, 2, 3, 250, 251, 252},
       df24Bit,
       {1 | 2 << 8 | 3 << 16, 250 | 251 << 8 | 252 << 16},
       {}},
  };
  for (const TCase& c : cases) {
    const auto image = LoadTiffBytes(
        CraftTiff(PlainEntries(c.width, 1, c.bits, c.samples, c.photometric), {c.strip}));
    EXPECT_EQ(image->Format(), c.format) << c.reason;
    EXPECT_EQ(RowValues(*image, 0), c.row) << c.reason;
    EXPECT_EQ(Table(*image, static_cast<std::int32_t>(c.table.size())), c.table) << c.reason;
  }
}

TEST(TiffReader, PaletteImagesOfEveryDepthKeepIndicesAndColours) {
  struct TCase {
    const char* reason;
    std::uint32_t bits;
    TBytes strip;
    TDIBFormat format;
    std::vector<std::int32_t> row;
  } const cases[] = {
      {"1 bit palette unpacked to 4-bit pixels",
       1,
       {0xA5, 0x80},
       df4Bit,
       {1, 0, 1, 0, 0, 1, 0, 1, 1}},
      {"2 bit palette unpacked to 4-bit pixels",
       2,
       {0x1B, 0xE4, 0xC0},
       df4Bit,
       {0, 1, 2, 3, 3, 2, 1, 0, 3}},
      {"4 bit palette as stored",
       4,
       {0x01, 0x23, 0x45, 0x67, 0xF0},
       df4Bit,
       {0, 1, 2, 3, 4, 5, 6, 7, 15}},
      {"8 bit palette as stored",
       8,
       {0, 1, 2, 3, 4, 5, 6, 7, 255},
       df8Bit,
       {0, 1, 2, 3, 4, 5, 6, 7, 255}},
  };
  for (bool sixteenBit : {true, false}) {
    for (const TCase& c : cases) {
      const auto file = CraftTiff(
          With(PlainEntries(9, 1, c.bits, 1, 3), {ColourMap(c.bits, sixteenBit)}), {c.strip});
      const auto image = LoadTiffBytes(file);
      EXPECT_EQ(image->Format(), c.format) << c.reason;
      EXPECT_EQ(RowValues(*image, 0), c.row) << c.reason;
      for (std::uint32_t i = 0; i < (1u << c.bits); ++i) {
        EXPECT_EQ(image->GetPaletteEntry(static_cast<std::int32_t>(i)),
                  MapByte(3, i) | MapByte(2, i) << 8 | MapByte(1, i) << 16)
            << c.reason << (sixteenBit ? ", 16-bit map" : ", 8-bit map") << ", entry " << i;
      }
    }
  }
}

namespace {

// The rows of a page (bits per pixel `bits`, rows of whole bytes) cut into 8 x 8 tiles, each
// stored as one PackBits literal run. Tiles 8 pixels wide are narrower than the TIFF standard
// asks, which sends the page through libtiff's RGBA interface.
std::vector<TBytes> NarrowTiles(const std::vector<TBytes>& rows, std::uint32_t width,
                                std::uint32_t bits) {
  std::vector<TBytes> tiles;
  for (std::size_t top = 0; top < rows.size(); top += 8) {
    for (std::uint32_t left = 0; left < width; left += 8) {
      TBytes tile = {static_cast<std::uint8_t>(8 * bits - 1)};
      for (std::size_t y = top; y < top + 8; ++y) {
        for (std::uint32_t i = 0; i < bits; ++i) {
          const std::size_t at = left * bits / 8 + i;
          tile.push_back(y < rows.size() && at < rows[y].size() ? rows[y][at] : 0);
        }
      }
      tiles.push_back(tile);
    }
  }
  return tiles;
}

}  // namespace

TEST(TiffReader, RgbaColoursBecomeThePixelValuesOfTheFormat) {
  // The same samples as plain strips and as narrow tiles must give the same image: strips are
  // copied as they are, tiles come as colours and are mapped back to pixel values.
  struct TCase {
    const char* reason;
    std::uint32_t bits, photometric;
    std::vector<TTiffEntry> more;
  } const cases[] = {
      {"1 bit min-is-white: white to the white entry", 1, 0, {}},
      {"1 bit min-is-black", 1, 1, {}},
      {"4 bit gray: level / 17", 4, 1, {}},
      {"4 bit min-is-white gray", 4, 0, {}},
      {"4 bit palette: the nearest entry", 4, 3, {ColourMap(4, true)}},
      {"2 bit palette", 2, 3, {ColourMap(2, false)}},
      {"8 bit palette", 8, 3, {ColourMap(8, true)}},
      {"8 bit gray", 8, 1, {}},
  };
  const std::uint32_t width = 20, height = 13;
  for (const TCase& c : cases) {
    std::vector<TBytes> rows(height);
    TBytes strip;
    for (std::uint32_t y = 0; y < height; ++y) {
      for (std::uint32_t i = 0; i < (width * c.bits + 7) / 8; ++i) {
        rows[y].push_back(static_cast<std::uint8_t>(y * 29 + i * 71 + (i * y) % 7));
      }
      strip.insert(strip.end(), rows[y].begin(), rows[y].end());
    }
    const auto plain = PlainEntries(width, height, c.bits, 1, c.photometric);
    const auto entries = With(plain, c.more);
    auto tiled = With({plain.begin(), plain.end() - 1}, c.more);  // without RowsPerStrip
    tiled.insert(tiled.end(), {{259, ttShort, {32773}}, {322, ttLong, {8}}, {323, ttLong, {8}}});
    const auto fromStrip = LoadTiffBytes(CraftTiff(entries, {strip}));
    const auto fromTiles = LoadTiffBytes(CraftTiff(tiled, NarrowTiles(rows, width, c.bits), true));
    EXPECT_EQ(fromTiles->Format(), fromStrip->Format()) << c.reason;
    SCOPED_TRACE(c.reason);
    ExpectSameColours(*fromStrip, *fromTiles);
  }
}

TEST(TiffReader, ResolutionFollowsTheUnit) {
  struct TCase {
    std::vector<TTiffEntry> tags;
    std::int32_t xDpi, yDpi;
    const char* reason;
  } const cases[] = {
      {{{282, ttRational, {300, 1}}, {283, ttRational, {150, 1}}, {296, ttShort, {2}}},
       300,
       150,
       "inch"},
      {{{282, ttRational, {11811, 100}}, {283, ttRational, {11811, 100}}, {296, ttShort, {3}}},
       300,
       300,
       "centimetre: 118.11 x 2.54 = 299.99 rounds to 300"},
      {{{282, ttRational, {72, 1}}, {283, ttRational, {72, 1}}, {296, ttShort, {1}}},
       72,
       72,
       "no unit: taken as it is"},
      {{{282, ttRational, {200, 1}}, {283, ttRational, {100, 1}}}, 200, 100, "unit absent: inch"},
      {{}, 0, 0, "no resolution"},
  };
  for (const TCase& c : cases) {
    const auto image = LoadTiffBytes(CraftTiff(With(PlainEntries(1, 1, 8, 1, 1), c.tags), {{7}}));
    EXPECT_EQ(image->XResolution(), c.xDpi) << c.reason;
    EXPECT_EQ(image->YResolution(), c.yDpi) << c.reason;
  }
}

TEST(TiffReader, FaxPagesAreMinIsWhiteWhateverTheyDeclare) {
  TDIB image;
  image.Allocate(16, 2, df1Bit, 300, 300);
  image.Row(0)[0] = 0xF0;  // four black, four white pixels, then black
  auto file = SaveTiffBytes(image, tcCCITT4, 16);
  PatchTiffTag(file, 262, 1);
  const auto back = LoadTiffBytes(file);
  EXPECT_EQ(back->GetPaletteEntry(0), 0u);
  EXPECT_EQ(back->GetPaletteEntry(1), 0xFFFFFFu);
  ExpectSameColours(image, *back);
}

TEST(TiffReader, BitsPerSampleMayBeMissingOnlyFromFaxPages) {
  TDIB image;
  image.Allocate(16, 2, df1Bit, 300, 300);
  image.Row(1)[1] = 0x3C;
  auto fax = SaveTiffBytes(image, tcCCITT4, 16);
  HideTiffTag(fax, 258);
  ExpectSameColours(image, *LoadTiffBytes(fax));

  auto plain = CraftTiff(PlainEntries(1, 1, 8, 1, 1), {{7}});
  HideTiffTag(plain, 258);
  TDIB kept;
  kept.Allocate(3, 3, df24Bit, 0, 0);
  TMemoryStream stream(plain);
  EXPECT_EQ(FailureOf([&] { kept.LoadFromStream(stream, 0); }), "Bits per sample not specified");
  EXPECT_EQ(kept.Width(), 3) << "the image is left as it was";
}

TEST(TiffReader, FilesWithoutRowsPerStripAreReadByTheirRealStrips) {
  // 40 rows in one compressed strip: more than the 16 rows a fixed step would assume.
  for (TTIFFCompression code : {tcLZW, tcDeflate, tcPackBits, tcNone}) {
    const auto image = MakePatternImage(df8Bit, 23, 40, 300);
    auto file = SaveTiffBytes(*image, code, 40);
    HideTiffTag(file, 278);
    ExpectSameImage(*image, *LoadTiffBytes(file));
  }
  // Uncompressed strips laid out one after the other without saying how many rows each has.
  TBytes rows;
  for (std::uint8_t v = 0; v < 40; ++v) rows.insert(rows.end(), {v, v, v});
  auto entries = PlainEntries(3, 40, 8, 1, 1);
  entries.pop_back();  // RowsPerStrip
  const auto image = LoadTiffBytes(CraftTiff(entries, {rows}));
  for (std::int32_t y = 0; y < 40; ++y) EXPECT_EQ(image->GetPixel(2, y), y);
}

TEST(TiffReader, PagesAreChosenByIndex) {
  TMemoryStream stream;
  for (std::int32_t width : {5, 6, 7}) {
    MakePatternImage(df8Bit, width, 3, 300)->SaveTIFFToStream(stream, true, tcNone, 16);
  }
  for (int page = 0; page < 3; ++page)
    EXPECT_EQ(LoadTiffBytes(stream.Bytes(), page)->Width(), 5 + page);
  for (int page : {3, 100, -1}) {
    const std::string message = FailureOf([&] { LoadTiffBytes(stream.Bytes(), page); });
    EXPECT_EQ(message.rfind("TIFFSetDirectory", 0), 0u)
        << "page " << page << " does not exist: " << message;
  }
}

TEST(TiffReader, HostileFilesFailCleanly) {
  const auto plain = [](std::uint32_t width, std::uint32_t height, std::uint32_t bits,
                        std::uint32_t samples, std::uint32_t photometric, TBytes strip,
                        std::vector<TTiffEntry> more = {}) {
    return CraftTiff(With(PlainEntries(width, height, bits, samples, photometric), more), {strip});
  };
  // What the case must end with: a message start, and whether the image must be left as it
  // was (failures found before the new image is allocated). nullptr: reading may succeed;
  // only safety is at stake.
  struct TCase {
    const char* reason;
    TBytes file;
    const char* message;
    bool keepsImage;
  } const cases[] = {
      {"no TIFF behind the byte-order mark",
       {'I', 'I', 42, 0, 0xFF, 0xFF, 0xFF, 0x7F},
       "TIFFOpen",
       true},
      {"header only", {'M', 'M', 0, 42}, "TIFFOpen", true},
      {"zero width", plain(0, 2, 8, 1, 1, {1, 2}), "TIFFOpen", true},
      {"zero height", plain(2, 0, 8, 1, 1, {1, 2}), "TIFFOpen", true},
      {"palette without a colour map", plain(4, 1, 4, 1, 3, {0x12, 0x34}), "TIFFOpen", true},
      {"image of 100000 x 100000 bytes", plain(100000, 100000, 8, 1, 1, {1, 2, 3}), kImageTooLarge,
       true},
      {"RGBA band too large", plain(60000, 60000, 1, 1, 1, {1}, {{259, ttShort, {7}}}),
       kImageTooLarge, true},
      {"4 bits with 2 samples: rows wider than 4-bit pixels",
       plain(5, 2, 4, 2, 1, TBytes(10, 0xAB)), "TIFFReadRGBAImage: Sorry", true},
      {"RGB with one sample", plain(4, 1, 8, 1, 2, {1, 2, 3, 4}), "TIFFReadRGBAImage: Sorry", true},
      {"PackBits strip shorter than its rows",
       plain(8, 8, 8, 1, 1, {0x05, 1, 2}, {{259, ttShort, {32773}}}), "TIFFReadEncodedStrip",
       false},
      {"unknown compression", plain(4, 1, 8, 1, 1, {1, 2, 3, 4}, {{259, ttShort, {999}}}),
       "TIFFReadEncodedStrip", false},
      {"fax page with 8 bits", plain(8, 2, 8, 1, 0, TBytes(16, 0), {{259, ttShort, {4}}}),
       "TIFFReadEncodedStrip", false},
      {"JPEG page with garbage data", plain(8, 8, 8, 1, 1, TBytes(64, 0x55), {{259, ttShort, {7}}}),
       "TIFFReadRGBAImage", false},
      {"uncompressed strip shorter than its rows", plain(8, 8, 8, 1, 1, {1, 2, 3}), nullptr, false},
      {"no strips at all", CraftTiff(PlainEntries(8, 8, 8, 1, 1), {}), nullptr, false},
      {"16 bits with an odd width and a short strip", plain(3, 2, 16, 1, 1, {1, 2, 3, 4, 5}),
       nullptr, false},
      {"8 bits, 3 samples, gray", plain(3, 2, 8, 3, 1, TBytes(18, 9)), nullptr, false},
      {"palette of 16 bits", plain(2, 1, 16, 1, 3, {1, 2, 3, 4}), nullptr, false},
      {"2-bit gray", plain(4, 1, 2, 1, 1, {0x1B}), nullptr, false},
  };
  for (const TCase& c : cases) {
    TDIB image;
    image.Allocate(2, 2, df8Bit, 0, 0);
    image.SetPixel(1, 1, 77);
    TMemoryStream stream(c.file);
    const std::string message = FailureOf([&] { image.LoadTIFFFromStream(stream, 0); });
    if (c.message != nullptr) {
      EXPECT_EQ(message.rfind(c.message, 0), 0u) << c.reason << ": " << message;
    }
    if (c.keepsImage) {
      EXPECT_EQ(image.Width(), 2) << c.reason << ": the image is left as it was";
      EXPECT_EQ(image.GetPixel(1, 1), 77) << c.reason << ": the image is left as it was";
    }
  }
}
