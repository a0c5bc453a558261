// The TIFF reader and writer against files and decoders that are not ours: fixtures made at
// test time by libtiff's tools (tiffcp, ppm2tiff, tiff2bw, fax2tiff) and ImageMagick, read
// back and compared with the pictures they were made from; and our own output, Group 4
// especially, decoded by those tools. Each test is skipped when its tool is missing.
#include <gtest/gtest.h>

#include <fstream>

#include "image/dibunit.h"
#include "tests/image/codec_fixtures.h"
#include "tests/image/test_tiff_support.h"

namespace {

// A bi-level test picture with black as 0 (the table binarization gives).
std::unique_ptr<TDIB> BiLevelPicture(std::int32_t width, std::int32_t height) {
  auto image = std::make_unique<TDIB>();
  image->Allocate(width, height, df1Bit, 300, 300);
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) {
      image->SetPixel(x, y, (x * 7 + y * 13 + x * y) % 5 != 0 && x != y);
    }
  }
  return image;
}

std::unique_ptr<TDIB> GrayPicture(std::int32_t width, std::int32_t height, bool smooth) {
  auto image = std::make_unique<TDIB>();
  image->Allocate(width, height, df8Bit, 300, 300);
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) {
      image->SetPixel(x, y, smooth ? (x * 3 + y * 2) & 255 : (x * 37 + y * 11 + x * y) & 255);
    }
  }
  return image;
}

std::unique_ptr<TDIB> ColourPicture(std::int32_t width, std::int32_t height, bool smooth) {
  if (!smooth) return MakePatternImage(df24Bit, width, height, 300);
  auto image = std::make_unique<TDIB>();
  image->Allocate(width, height, df24Bit, 300, 300);
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) {
      image->SetPixel(x, y, (x * 3 & 255) | ((y * 4 + 20) & 255) << 8 | ((x + y) & 255) << 16);
    }
  }
  return image;
}

// Binary PBM: 1 is black.
void WritePBM(const TDIB& image, const std::string& fileName) {
  std::ofstream out(fileName, std::ios::binary);
  out << "P4\n" << image.Width() << ' ' << image.Height() << '\n';
  for (std::int32_t y = 0; y < image.Height(); ++y) {
    std::vector<char> row((image.Width() + 7) / 8, 0);
    for (std::int32_t x = 0; x < image.Width(); ++x) {
      if (ColourAt(image, x, y) == 0) row[x / 8] = static_cast<char>(row[x / 8] | 0x80 >> x % 8);
    }
    out.write(row.data(), static_cast<std::streamsize>(row.size()));
  }
}

// Writes the picture as PBM, PGM or PPM and turns it into a TIFF with ppm2tiff.
std::string BaseTiff(const TScratchDir& dir, const TDIB& picture, const std::string& name) {
  const std::string pnm = dir.Path(name + ".pnm");
  if (picture.Format() == df1Bit) {
    WritePBM(picture, pnm);
  } else {
    WritePNM(picture, pnm);
  }
  const std::string tiff = dir.Path(name + ".tif");
  EXPECT_TRUE(RunTool("ppm2tiff " + pnm + " " + tiff)) << name;
  return tiff;
}

std::unique_ptr<TDIB> LoadFile(const std::string& fileName, int page = 0) {
  auto image = std::make_unique<TDIB>();
  image->LoadFromFile(fileName, page);
  return image;
}

// ImageMagick's own reading of a file, as a PPM.
std::unique_ptr<TDIB> DecodedByImageMagick(const TScratchDir& dir, const std::string& file) {
  const std::string ppm = dir.Path("decoded.ppm");
  EXPECT_TRUE(RunTool("convert " + file + " -depth 8 ppm:" + ppm)) << file;
  return ReadPNM(ppm);
}

struct TCopyCase {
  const char* options;
  const char* reason;
};

// Every tiffcp variant of the base file reads back as the picture.
void CheckCopies(const TScratchDir& dir, const TDIB& picture, const std::vector<TCopyCase>& cases) {
  const std::string base = BaseTiff(dir, picture, "base");
  for (const TCopyCase& c : cases) {
    const std::string copy = dir.Path("copy.tif");
    ASSERT_TRUE(RunTool(std::string("tiffcp ") + c.options + " " + base + " " + copy)) << c.options;
    const auto image = LoadFile(copy);
    EXPECT_EQ(image->Format(), picture.Format()) << c.reason;
    SCOPED_TRACE(c.reason);
    ExpectSameColours(picture, *image);
  }
}

const std::vector<TCopyCase> kCommonCopies = {
    {"-c none -r 7", "strips of 7 rows"},
    {"-c none -r 100000", "one strip"},
    {"-c lzw", "LZW"},
    {"-c zip", "Deflate"},
    {"-c packbits", "PackBits"},
    {"-B", "big-endian"},
    {"-t -w 16 -l 16", "16 x 16 tiles"},
    {"-t -w 32 -l 16 -c lzw", "LZW tiles"},
};

// Horizontal differencing works on samples of 8 bits and more.
const std::vector<TCopyCase> kPredictorCopies = {
    {"-c lzw:2", "LZW with horizontal differencing"},
    {"-c zip:2", "Deflate with horizontal differencing"},
    {"-c zip:2 -t -w 16 -l 32", "Deflate tiles with horizontal differencing"},
};

}  // namespace

TEST(TiffTools, TiffcpVariantsOfBiLevelPages) {
  ZW_REQUIRE_TOOL("tiffcp");
  ZW_REQUIRE_TOOL("ppm2tiff");
  TScratchDir dir;
  auto cases = kCommonCopies;
  cases.insert(cases.end(), {{"-c g3:1d", "Group 3 one-dimensional"},
                             {"-c g3:2d", "Group 3 two-dimensional"},
                             {"-c g3:2d:fill", "Group 3 with byte-aligned EOLs"},
                             {"-c g4", "Group 4"},
                             {"-c g4 -t -w 16 -l 16", "Group 4 tiles"},
                             {"-f lsb2msb -c g4", "Group 4, bits filled from the low end"},
                             {"-f lsb2msb -c none", "uncompressed, low bit first"}});
  CheckCopies(dir, *BiLevelPicture(45, 33), cases);
}

TEST(TiffTools, TiffcpVariantsOfGrayAndColourPages) {
  ZW_REQUIRE_TOOL("tiffcp");
  ZW_REQUIRE_TOOL("ppm2tiff");
  TScratchDir dir;
  auto grayCases = kCommonCopies;
  grayCases.insert(grayCases.end(), kPredictorCopies.begin(), kPredictorCopies.end());
  CheckCopies(dir, *GrayPicture(45, 33, false), grayCases);
  auto colourCases = grayCases;
  colourCases.insert(colourCases.end(), {{"-p separate", "separate planes"},
                                         {"-p separate -c lzw -r 5", "separate LZW planes"}});
  CheckCopies(dir, *ColourPicture(45, 33, false), colourCases);
}

TEST(TiffTools, JpegPagesByTiffcpAndImageMagickComeOutClose) {
  ZW_REQUIRE_TOOL("tiffcp");
  ZW_REQUIRE_TOOL("ppm2tiff");
  ZW_REQUIRE_TOOL("convert");
  TScratchDir dir;
  for (bool colour : {false, true}) {
    const auto picture = colour ? ColourPicture(64, 48, true) : GrayPicture(64, 48, true);
    const std::string base = BaseTiff(dir, *picture, "smooth");
    const std::string pnm = dir.Path("smooth.pnm");
    const std::pair<std::string, const char*> makers[] = {
        {"tiffcp -c jpeg " + base, "tiffcp, YCbCr for colour"},
        {"tiffcp -c jpeg:r " + base, "tiffcp, raw RGB"},
        {"tiffcp -c jpeg -t -w 16 -l 16 " + base, "tiffcp, JPEG tiles"},
        {"convert " + pnm + " -compress jpeg", "ImageMagick"},
    };
    for (const auto& [command, reason] : makers) {
      const std::string file = dir.Path("jpeg.tif");
      ASSERT_TRUE(RunTool(command + " " + file)) << command;
      const auto image = LoadFile(file);
      EXPECT_EQ(image->Format(), colour ? df24Bit : df8Bit) << reason;
      // Another decoder of the same data gives about the same colours; JPEG's own losses
      // are larger but far from what a colour or row mix-up would make.
      EXPECT_LE(LargestChannelDifference(*DecodedByImageMagick(dir, file), *image), 2) << reason;
      EXPECT_LE(LargestChannelDifference(*picture, *image), 32) << reason;
    }
  }
}

TEST(TiffTools, GraysMadeByTiff2bw) {
  ZW_REQUIRE_TOOL("tiff2bw");
  ZW_REQUIRE_TOOL("ppm2tiff");
  TScratchDir dir;
  const auto picture = ColourPicture(45, 33, false);
  const std::string gray = dir.Path("gray.tif");
  ASSERT_TRUE(
      RunTool("tiff2bw -R 30 -G 59 -B 11 " + BaseTiff(dir, *picture, "colour") + " " + gray));
  const auto image = LoadFile(gray);
  ASSERT_EQ(image->Format(), df8Bit);
  // tiff2bw weighs the channels by the percentages it is given.
  for (std::int32_t y = 0; y < picture->Height(); ++y) {
    for (std::int32_t x = 0; x < picture->Width(); ++x) {
      const std::uint32_t rgb = ColourAt(*picture, x, y);
      const auto level = static_cast<std::int32_t>(
          ((rgb >> 16) * 30 + ((rgb >> 8) & 255) * 59 + (rgb & 255) * 11) / 100);
      ASSERT_NEAR(image->GetPixel(x, y), level, 1) << x << ", " << y;
    }
  }
}

TEST(TiffTools, FaxDataWrappedByFax2tiff) {
  ZW_REQUIRE_TOOL("tiffcp");
  ZW_REQUIRE_TOOL("ppm2tiff");
  ZW_REQUIRE_TOOL("fax2tiff");
  TScratchDir dir;
  const auto picture = BiLevelPicture(45, 33);
  const std::string g3 = dir.Path("g3.tif");
  ASSERT_TRUE(RunTool("tiffcp -c g3:1d -r 100000 " + BaseTiff(dir, *picture, "b") + " " + g3));
  // The bare Group 3 data of the one strip, as a fax machine would send it.
  const auto file = ReadFileBytes(g3);
  const TTiffTags tags(file, 0);
  const auto begin = file.begin() + static_cast<std::ptrdiff_t>(tags.Number(273));
  WriteFileBytes(dir.Path("page.g3"),
                 {begin, begin + static_cast<std::ptrdiff_t>(tags.Number(279))});
  // Outputs: Group 3 2D with bits from the low end (the default), Group 4, Group 3 1D with
  // bits from the high end, uncompressed, strips of 8 rows.
  for (const char* output : {"", "-8", "-5 -m", "-u", "-8 -r 8"}) {
    const std::string fax = dir.Path("fax.tif");
    ASSERT_TRUE(RunTool(std::string("fax2tiff -M -X 45 ") + output + " -o " + fax + " " +
                        dir.Path("page.g3")));
    const auto image = LoadFile(fax);
    EXPECT_EQ(image->Format(), df1Bit) << output;
    EXPECT_EQ(image->XResolution(), 204) << "fax2tiff's fine resolution";
    ExpectSameColours(*picture, *image);
  }
}

TEST(TiffTools, ImageMagickPalettesOfOneToEightBits) {
  ZW_REQUIRE_TOOL("convert");
  TScratchDir dir;
  const std::string ppm = dir.Path("colour.ppm");
  WritePNM(*ColourPicture(45, 33, false), ppm);
  struct TCase {
    const char* options;
    std::uint32_t bits;
    TDIBFormat format;
  } const cases[] = {
      {"-colors 2 -type Palette", 1, df4Bit},
      {"-colors 4 -type Palette", 2, df4Bit},
      {"-colors 16 -type Palette", 4, df4Bit},
      {"-colors 200 -type Palette", 8, df8Bit},
      {"-colors 16 -type Palette -define tiff:tile-geometry=16x16", 4, df4Bit},
  };
  for (const TCase& c : cases) {
    const std::string file = dir.Path("palette.tif");
    ASSERT_TRUE(RunTool("convert " + ppm + " " + c.options + " " + file)) << c.options;
    const TTiffTags tags(ReadFileBytes(file), 0);
    ASSERT_EQ(tags.Number(262), 3) << c.options;
    ASSERT_EQ(tags.Number(258), c.bits) << c.options;
    const auto image = LoadFile(file);
    EXPECT_EQ(image->Format(), c.format) << c.options;
    SCOPED_TRACE(c.options);
    ExpectSameColours(*DecodedByImageMagick(dir, file), *image);
  }
}

TEST(TiffTools, ImageMagickGrayVariantsPagesAndTiles) {
  ZW_REQUIRE_TOOL("convert");
  TScratchDir dir;
  const auto gray = GrayPicture(45, 33, false);
  const auto colour = ColourPicture(45, 33, false);
  const std::string pgm = dir.Path("gray.pgm");
  const std::string ppm = dir.Path("colour.ppm");
  WritePNM(*gray, pgm);
  WritePNM(*colour, ppm);
  struct TCase {
    std::string command;
    std::uint16_t tag;  // a tag that shows the fixture is what the case says
    std::uint32_t value;
    const char* reason;
  } const cases[] = {
      {"convert " + pgm + " -define quantum:polarity=min-is-white", 262, 0, "min-is-white"},
      {"convert " + pgm + " -define quantum:polarity=min-is-white -compress jpeg", 262, 0,
       "min-is-white JPEG: the RGBA interface's colours are not inverted again"},
      {"convert " + pgm + " -depth 16", 258, 16, "16-bit gray"},
      {"convert " + pgm + " -depth 16 -compress lzw", 258, 16, "16-bit gray, LZW"},
      {"convert " + ppm + " -define tiff:tile-geometry=16x16", 322, 16, "RGB tiles"},
      {"convert " + pgm + " -monochrome -depth 1 -define quantum:polarity=min-is-white", 258, 1,
       "bi-level min-is-white"},
      {"convert " + pgm + " -monochrome -depth 1 -define quantum:polarity=min-is-black", 262, 1,
       "bi-level min-is-black"},
      {"convert " + ppm + " -depth 16", 258, 16, "16-bit RGB"},
      {"convert " + ppm + " -alpha set -channel A -evaluate set 50% +channel", 277, 4,
       "RGB with alpha"},
  };
  for (const TCase& c : cases) {
    const std::string file = dir.Path("variant.tif");
    ASSERT_TRUE(RunTool(c.command + " " + file)) << c.reason;
    ASSERT_EQ(TTiffTags(ReadFileBytes(file), 0).Number(c.tag), c.value) << c.reason;
    const auto reference = DecodedByImageMagick(dir, file);
    SCOPED_TRACE(c.reason);
    const auto image = LoadFile(file);
    // An alpha channel is dropped; ImageMagick puts the colour over black instead.
    if (c.tag != 277) ExpectSameColours(*reference, *image);
  }

  const std::string pages = dir.Path("pages.tif");
  ASSERT_TRUE(RunTool("convert " + pgm + " " + ppm + " " + pages));
  ExpectSameColours(*gray, *LoadFile(pages, 0));
  ExpectSameColours(*colour, *LoadFile(pages, 1));
}

TEST(TiffTools, OurGroup4PagesDecodeToTheSamePixelsWithTiffcp) {
  ZW_REQUIRE_TOOL("tiffcp");
  TScratchDir dir;
  for (bool whiteFirst : {false, true}) {
    auto picture = BiLevelPicture(45, 33);
    if (whiteFirst) {
      picture->SetPaletteEntry(0, 0xFFFFFF);
      picture->SetPaletteEntry(1, 0);
      picture->Invert();
    }
    const std::string ours = dir.Path("ours.tif");
    const std::string plain = dir.Path("plain.tif");
    picture->SaveTIFFToFile(ours, false, tcCCITT4, 16);
    ASSERT_TRUE(RunTool("tiffcp -c none -r 100000 " + ours + " " + plain));
    // Read the decoded bits straight from the file: min-is-white, 0 is white.
    const auto file = ReadFileBytes(plain);
    const TTiffTags tags(file, 0);
    ASSERT_EQ(tags.Number(262), 0);
    ASSERT_EQ(tags.Number(259), 1);
    const auto strip = static_cast<std::size_t>(tags.Number(273));
    const std::size_t rowBytes = (45 + 7) / 8;
    for (std::int32_t y = 0; y < 33; ++y) {
      for (std::int32_t x = 0; x < 45; ++x) {
        const bool black = (file[strip + y * rowBytes + x / 8] >> (7 - x % 8) & 1) != 0;
        ASSERT_EQ(black, ColourAt(*picture, x, y) == 0)
            << "pixel " << x << ", " << y << (whiteFirst ? ", table white first" : "");
      }
    }
  }
}

TEST(TiffTools, ImageMagickReadsWhatWeWrite) {
  ZW_REQUIRE_TOOL("convert");
  TScratchDir dir;
  const std::string ours = dir.Path("ours.tif");
  for (TDIBFormat format : {df1Bit, df4Bit, df8Bit, df15Bit, df16Bit, df24Bit}) {
    auto picture = MakePatternImage(format, 37, 21, 300);
    if (format == df1Bit) picture = BiLevelPicture(37, 21);
    for (TTIFFCompression code : {tcNone, tcPackBits, tcDeflate, tcLZW, tcCCITT4}) {
      if (code == tcCCITT4 && format != df1Bit) continue;
      picture->SaveTIFFToFile(ours, false, code, 16);
      SCOPED_TRACE("format " + std::to_string(format) + ", code " + std::to_string(code));
      ExpectSameColours(*picture, *DecodedByImageMagick(dir, ours));
    }
  }
}
