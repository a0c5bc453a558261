// The view's TIFF reader on files our own writer makes and on small files built tag by tag:
// formats, compression codes, photometric conventions, colour maps, resolution, pages,
// streams that do not start with the TIFF data, and the messages of refused files.
#include <gtest/gtest.h>

#include "image/streams.h"
#include "tests/image/codec_fixtures.h"
#include "tests/image/test_tiff_support.h"
#include "tests/viewer/test_tiff_graphic_support.h"
#include "viewer/viewer_errors.h"

namespace {

struct TWriterCase {
  TPicture picture;
  TTIFFCompression compression;
  TGraphicFormat format;
  TTiffCompressionCode code;
  const char* reason;
};

TEST(TiffGraphic, ReadsWhatOurWriterWritesWithEveryCompression) {
  const TWriterCase cases[] = {
      {TPicture::BiLevel, tcNone, gfBilevel, ctNone, "plain bits"},
      {TPicture::BiLevel, tcAuto, gfBilevel, ctGroup4, "automatic choice for bi-level"},
      {TPicture::BiLevel, tcPackBits, gfBilevel, ctPackbits, "PackBits"},
      {TPicture::BiLevel, tcCCITT3, gfBilevel, ctGroup3_1D, "fax rows"},
      {TPicture::BiLevel, tcCCITT3_2D, gfBilevel, ctGroup3_2D, "two-dimensional Group 3"},
      {TPicture::BiLevel, tcCCITT4, gfBilevel, ctGroup4, "Group 4"},
      {TPicture::BiLevel, tcDeflate, gfBilevel, ctZLib, "Deflate"},
      {TPicture::BiLevel, tcLZW, gfBilevel, ctLZW, "LZW"},
      {TPicture::Gray16, tcNone, gfGray16, ctNone, "nibbles"},
      {TPicture::Gray256, tcLZW, gfGray256, ctLZW, "8-bit gray"},
      {TPicture::Colour16, tcPackBits, gfColor16, ctPackbits, "16-colour map"},
      {TPicture::Colour256, tcDeflate, gfColor256, ctZLib, "256-colour map"},
      {TPicture::TrueColour, tcNone, gfTrueColor, ctNone, "red, green, blue samples"},
      {TPicture::TrueColour, tcLZW, gfTrueColor, ctLZW, "LZW colour"},
  };
  for (const TWriterCase& c : cases) {
    SCOPED_TRACE(c.reason);
    const auto picture = MakePicture(c.picture, 37, 21);
    const auto graphic = ReadTiffGraphic(SaveTiffBytes(*picture, c.compression, 8));
    EXPECT_EQ(graphic->ImageFormat(), c.format);
    EXPECT_EQ(graphic->Compression(), c.code);
    EXPECT_EQ(graphic->RowsPerStrip(), 8u);
    EXPECT_EQ(graphic->XResolution(), 300);
    ExpectGraphicColours(*picture, *graphic);
  }
}

// JPEG is lossy: the view must show what the image library decodes from the same file.
TEST(TiffGraphic, JpegPagesAgreeWithTheImageLibrary) {
  const struct {
    TPicture picture;
    TGraphicFormat format;
    const char* reason;
  } cases[] = {
      {TPicture::Gray256, gfGray256, "one gray component"},
      {TPicture::TrueColour, gfTrueColor, "YCbCr colour"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    const auto file = SaveTiffBytes(*MakePicture(c.picture, 40, 19), tcJPEG);
    const auto graphic = ReadTiffGraphic(file);
    EXPECT_EQ(graphic->ImageFormat(), c.format);
    EXPECT_EQ(graphic->Compression(), ctJPEG);
    ExpectGraphicColours(*LoadTiffBytes(file), *graphic);
  }
}

// A gray JPEG page declared min-is-white: libtiff's RGBA reader already gives its true
// levels, so complementing them again would show the page as a negative.
TEST(TiffGraphic, MinIsWhiteJpegIsNotComplementedTwice) {
  auto file = SaveTiffBytes(*MakePicture(TPicture::Gray256, 24, 16), tcJPEG);
  const auto minIsBlack = ReadTiffGraphic(file);
  PatchTiffTag(file, 262, 0);
  const auto minIsWhite = ReadTiffGraphic(file);
  for (std::int32_t x = 0; x < 24; ++x) {
    EXPECT_EQ(minIsWhite->GetPixelColor(x, 5), 0xFFFFFFu - minIsBlack->GetPixelColor(x, 5));
  }
}

struct TLevelCase {
  std::uint32_t bits;
  std::uint32_t photometric;
  std::vector<std::uint8_t> strip;
  TGraphicFormat format;
  std::vector<std::uint32_t> colours;
  const char* reason;
};

TEST(TiffGraphic, PhotometricConventions) {
  const TLevelCase cases[] = {
      {1, 0, {0xA0}, gfBilevel, {0x000000, 0xFFFFFF, 0x000000}, "min-is-white: 1 is black"},
      {1, 1, {0xA0}, gfBilevel, {0xFFFFFF, 0x000000, 0xFFFFFF}, "min-is-black: 1 is white"},
      {4, 0, {0x0F, 0x80}, gfGray16, {0xFFFFFF, 0x000000, 0x777777}, "4-bit min-is-white"},
      {4, 1, {0x0F, 0x80}, gfGray16, {0x000000, 0xFFFFFF, 0x888888}, "4-bit min-is-black"},
      {8, 0, {0x20, 0x00, 0xFF}, gfGray256, {0xDFDFDF, 0xFFFFFF, 0x000000}, "8-bit min-is-white"},
      {8, 1, {0x20, 0x00, 0xFF}, gfGray256, {0x202020, 0x000000, 0xFFFFFF}, "8-bit min-is-black"},
      {16,
       1,
       {0xCD, 0xAB, 0x00, 0x01, 0xFF, 0xFF},
       gfGray256,
       {0xABABAB, 0x010101, 0xFFFFFF},
       "16-bit samples keep their high byte"},
      {16,
       0,
       {0xCD, 0xAB, 0x00, 0x01, 0xFF, 0xFF},
       gfGray256,
       {0x545454, 0xFEFEFE, 0x000000},
       "16-bit min-is-white"},
  };
  for (const TLevelCase& c : cases) {
    SCOPED_TRACE(c.reason);
    const auto graphic =
        ReadTiffGraphic(CraftTiff(PlainEntries(3, 1, c.bits, 1, c.photometric), {c.strip}));
    EXPECT_EQ(graphic->ImageFormat(), c.format);
    for (std::int32_t x = 0; x < 3; ++x) EXPECT_EQ(graphic->GetPixelColor(x, 0), c.colours[x]);
  }
}

// A 4-bit palette page whose pixels are entries 0 and 1 of the given map.
std::vector<std::uint8_t> MappedPage(std::uint32_t first, std::uint32_t second) {
  auto entries = PlainEntries(2, 1, 4, 1, 3);
  std::vector<std::uint32_t> map(48, 0);
  for (std::size_t channel = 0; channel < 3; ++channel) {
    map[channel * 16] = first;
    map[channel * 16 + 1] = second;
  }
  entries.push_back({320, ttShort, map});
  return CraftTiff(entries, {{0x01}});
}

TEST(TiffGraphic, ColourMapsOfSixteenAndEightBits) {
  const struct {
    std::uint32_t first, second;
    std::uint32_t colours[2];
    const char* reason;
  } cases[] = {
      {65535, 32768, {0xFFFFFF, 0x808080}, "65535 is full intensity"},
      {65535, 257, {0xFFFFFF, 0x010101}, "16-bit values scale down"},
      {255, 200, {0xFFFFFF, 0xC8C8C8}, "a map without values above 255 is taken as it is"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    const auto graphic = ReadTiffGraphic(MappedPage(c.first, c.second));
    EXPECT_EQ(graphic->ImageFormat(), gfColor16);
    EXPECT_EQ(graphic->GetPixelColor(0, 0), c.colours[0]);
    EXPECT_EQ(graphic->GetPixelColor(1, 0), c.colours[1]);
  }
}

// Palette samples of 1 and 2 bits are no 4-bit pixels: copying their rows would scramble the
// page, so they go through their colours into a 16-colour graphic.
TEST(TiffGraphic, NarrowPaletteSamplesKeepTheirColours) {
  const struct {
    std::uint32_t bits;
    std::uint8_t row;
    std::vector<std::uint32_t> colours;  // of the pixels of the row, 0xRRGGBB
    const char* reason;
  } cases[] = {
      {1, 0x5A, {0x00FF00, 0xFF0000, 0x00FF00, 0xFF0000}, "1-bit indices 0 1 0 1"},
      {2, 0x1B, {0x00FF00, 0xFF0000, 0x0000FF, 0xFFFFFF}, "2-bit indices 0 1 2 3"},
  };
  const std::uint32_t red[] = {0, 65535, 0, 65535}, green[] = {65535, 0, 0, 65535},
                      blue[] = {0, 0, 65535, 65535};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    const std::size_t entries = std::size_t{1} << c.bits;
    std::vector<std::uint32_t> map;
    for (const std::uint32_t* channel : {red, green, blue}) {
      map.insert(map.end(), channel, channel + entries);
    }
    auto tags = PlainEntries(4, 1, c.bits, 1, 3);
    tags.push_back({320, ttShort, map});
    const auto graphic = ReadTiffGraphic(CraftTiff(tags, {{c.row}}));
    EXPECT_EQ(graphic->ImageFormat(), gfColor16);
    for (std::int32_t x = 0; x < 4; ++x) EXPECT_EQ(graphic->GetPixelColor(x, 0), c.colours[x]);
  }
}

TEST(TiffGraphic, ResolutionInInchesAndCentimetres) {
  const struct {
    std::vector<TTiffEntry> tags;
    std::uint16_t dpi;
    const char* reason;
  } cases[] = {
      {{{282, ttRational, {300, 1}}, {296, ttShort, {2}}}, 300, "inches"},
      {{{282, ttRational, {11811, 100}}, {296, ttShort, {3}}}, 300, "118.11 per cm is 299.9994"},
      {{{282, ttRational, {72, 1}}, {296, ttShort, {1}}}, 72, "no unit counts as inches"},
      {{{282, ttRational, {200, 1}}}, 200, "inches when the unit is absent"},
      {{{282, ttRational, {1000000, 1}}}, ScreenResolution().X, "beyond a Word: the screen's"},
      {{}, ScreenResolution().X, "no resolution: the screen's"},
  };
  for (const auto& c : cases) {
    auto entries = PlainEntries(1, 1, 8, 1, 1);
    entries.insert(entries.end(), c.tags.begin(), c.tags.end());
    EXPECT_EQ(ReadTiffGraphic(CraftTiff(entries, {{7}}))->XResolution(), c.dpi) << c.reason;
  }
}

std::vector<std::uint8_t> ThreePages() {
  TMemoryStream stream;
  for (std::int32_t width : {5, 6, 7}) {
    MakePicture(TPicture::Gray256, width, 3)->SaveTIFFToStream(stream, width != 5, tcLZW, 16);
  }
  return stream.Bytes();
}

TEST(TiffGraphic, CountsPagesAndReadsAnyOne) {
  const auto file = ThreePages();
  for (std::size_t offset : {std::size_t{0}, std::size_t{13}}) {
    std::vector<std::uint8_t> data(offset, 0);
    data.insert(data.end(), file.begin(), file.end());
    TMemoryStream stream(data);
    stream.Seek(static_cast<std::int64_t>(offset), soBeginning);
    TTiffGraphic graphic;
    EXPECT_EQ(graphic.ImageCount(stream), 3) << offset;
  }
  for (std::int32_t index : {1, 2, 3}) {
    EXPECT_EQ(ReadTiffGraphic(file, index)->Width(), 4 + index) << index;
  }
}

TEST(TiffGraphic, APageTheFileDoesNotHaveIsAnError) {
  const auto file = ThreePages();
  EXPECT_EQ(TiffReadFailure(file, 4), "ETiffError Image 4 does not exist");
  EXPECT_EQ(TiffReadFailure(file, 0), "ETiffError Image 0 does not exist");
}

// TIFF offsets count from the first byte of the TIFF data, wherever the stream stands.
TEST(TiffGraphic, ReadsFromTheStreamsPosition) {
  const auto picture = MakePicture(TPicture::TrueColour, 9, 7);
  const auto file = SaveTiffBytes(*picture, tcLZW);
  for (std::size_t offset : {std::size_t{1}, std::size_t{8}, std::size_t{70001}}) {
    SCOPED_TRACE(offset);
    ExpectGraphicColours(*picture, *ReadTiffGraphic(file, 1, offset));
  }
}

// Fax files read as bi-level even when their writer left out BitsPerSample.
TEST(TiffGraphic, FaxPageWithoutBitsPerSample) {
  const auto picture = MakePicture(TPicture::BiLevel, 30, 6);
  auto file = SaveTiffBytes(*picture, tcCCITT4);
  HideTiffTag(file, 258);
  ExpectGraphicColours(*picture, *ReadTiffGraphic(file));
}

std::vector<std::uint8_t> WithCompression(std::vector<TTiffEntry> entries,
                                          std::uint32_t compression) {
  entries.push_back({259, ttShort, {compression}});
  return CraftTiff(entries, {std::vector<std::uint8_t>(64, 0)});
}

TEST(TiffGraphic, RefusedFilesAndTheirMessages) {
  auto noBits = CraftTiff(PlainEntries(2, 2, 8, 1, 1), {{1, 2, 3, 4}});
  HideTiffTag(noBits, 258);
  auto deflated = PlainEntries(8, 8, 8, 1, 1);
  deflated.push_back({259, ttShort, {32946}});
  const auto brokenStrip = CraftTiff(deflated, {std::vector<std::uint8_t>(40, 9)});
  const struct {
    std::vector<std::uint8_t> file;
    std::string message;
    const char* reason;
  } cases[] = {
      {{}, "ETiffError TIFFOpen", "no data"},
      {std::vector<std::uint8_t>(64, 'x'), "ETiffError TIFFOpen", "not a TIFF"},
      {noBits, "ETiffError Bits per sample not specified", "no default outside fax"},
      {WithCompression(PlainEntries(4, 4, 1, 1, 1), 34712),
       "ETiffError Unsupported compression tag, 34712", "a codec the view does not know"},
      {WithCompression(PlainEntries(4, 4, 1, 1, 0), 7),
       "JPEG compression not supported with Black and white images", "bi-level JPEG"},
      {WithCompression(PlainEntries(4, 4, 8, 1, 1), 4),
       "CCITT Group 4 compression not supported with 256 shades of gray images", "gray fax"},
      {brokenStrip, "ETiffError TIFFReadEncodedStrip", "a strip that does not inflate"},
      {CraftTiff(PlainEntries(100000, 100000, 8, 1, 1), {{0}}), kImageTooLarge,
       "ten gigabytes declared"},
      {CraftTiff(PlainEntries(0, 5, 8, 1, 1), {{0}}), "", "no width"},
      {CraftTiff(PlainEntries(1, 1, 65535, 30, 2), {{0}}), "", "a depth beyond 32 bits"},
  };
  for (const auto& c : cases) {
    const std::string failure = TiffReadFailure(c.file);
    if (c.message.empty()) {
      EXPECT_FALSE(failure.empty()) << c.reason;
    } else {
      EXPECT_EQ(failure, c.message) << c.reason;
    }
  }
}

// A graphic that showed a page before shows nothing after a read that failed.
TEST(TiffGraphic, AFailedReadLeavesTheGraphicEmpty) {
  const auto file = SaveTiffBytes(*MakePicture(TPicture::Gray256, 16, 16), tcLZW);
  TTiffGraphic graphic;
  TMemoryStream good(file);
  graphic.ReadImage(good, 1);
  TMemoryStream cut(std::vector<std::uint8_t>(file.begin(), file.begin() + 200));
  EXPECT_THROW(graphic.ReadImage(cut, 1), EError);
  EXPECT_TRUE(graphic.Empty());
}

}  // namespace
