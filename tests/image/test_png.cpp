// PNG files: our writer and reader agree on every format; PNGs made by other tools (every
// colour type and depth, interlaced, re-optimised) read with their colours; the chunks we
// write carry the values a reader needs; broken files and failing streams are reported.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "image/dibunit.h"
#include "image/streams.h"
#include "platform/errors.h"
#include "tests/image/codec_fixtures.h"

namespace {

std::vector<std::uint8_t> SavePNG(TDIB& image) {
  return SaveToBytes(image, &TDIB::SavePNGToStream);
}

std::unique_ptr<TDIB> LoadPNG(const std::vector<std::uint8_t>& bytes) {
  return LoadFromBytes(bytes, &TDIB::LoadPNGFromStream);
}

std::string PNGFailure(const std::vector<std::uint8_t>& bytes) {
  return ReadFailure(bytes, &TDIB::LoadPNGFromStream);
}

TEST(PNG, RoundTripKeepsPixelsColourTableAndResolution) {
  for (TDIBFormat format : {df1Bit, df4Bit, df8Bit, df24Bit}) {
    SCOPED_TRACE(static_cast<int>(format));
    auto original = MakePatternImage(format, 13, 5, 300);
    ExpectSameImage(*original, *LoadPNG(SavePNG(*original)));
  }
}

TEST(PNG, FiveBitWordsAreWrittenAsTheirColours) {
  for (TDIBFormat format : {df15Bit, df16Bit}) {
    SCOPED_TRACE(static_cast<int>(format));
    auto original = MakePatternImage(format, 40, 30, 200);
    auto copy = LoadPNG(SavePNG(*original));
    EXPECT_EQ(copy->Format(), df24Bit);
    EXPECT_EQ(copy->XResolution(), 200);
    ExpectSameColours(*original, *copy);  // each channel c read as Round(c * 255 / 31)
  }
  TDIB pure;
  pure.Allocate(3, 1, df15Bit, 0, 0);
  pure.SetPixel(0, 0, 0x7C00);  // red 31
  pure.SetPixel(1, 0, 0x0021);  // green 1, blue 1
  pure.SetPixel(2, 0, 0x4210);  // 16 in each channel
  auto copy = LoadPNG(SavePNG(pure));
  EXPECT_EQ(copy->GetPixel(0, 0), 255);
  EXPECT_EQ(copy->GetPixel(1, 0), 8 << 8 | 8 << 16);
  EXPECT_EQ(copy->GetPixel(2, 0), 132 * 0x010101);
}

TEST(PNG, ChunksWritten) {
  struct Case {
    TDIBFormat format;
    std::uint8_t colourType, depth;
    std::size_t paletteBytes;
    const char* why;
  };
  const Case cases[] = {
      {df1Bit, 3, 1, 6, "palette of depth 1 with the two table entries"},
      {df4Bit, 3, 4, 48, "palette of depth 4"},
      {df8Bit, 3, 8, 768, "palette of depth 8"},
      {df16Bit, 2, 8, 0, "5-5-5 words widened to truecolour"},
      {df24Bit, 2, 8, 0, "truecolour of depth 8"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    auto image = MakePatternImage(c.format, 9, 4, 300);
    std::vector<std::uint8_t> file = SavePNG(*image);
    std::vector<std::uint8_t> header = PngChunk(file, "IHDR");
    ASSERT_EQ(header.size(), 13u);
    EXPECT_EQ(U32BE(header, 0), 9u);
    EXPECT_EQ(U32BE(header, 4), 4u);
    EXPECT_EQ(header[8], c.depth);
    EXPECT_EQ(header[9], c.colourType);
    EXPECT_EQ(header[12], 0) << "not interlaced";
    EXPECT_EQ(PngChunk(file, "PLTE").size(), c.paletteBytes);
    EXPECT_TRUE(PngChunk(file, "tRNS").empty());
    std::vector<std::uint8_t> phys = PngChunk(file, "pHYs");
    ASSERT_EQ(phys.size(), 9u);
    EXPECT_EQ(U32BE(phys, 0), 11811u);
    EXPECT_EQ(U32BE(phys, 4), 11811u);
    EXPECT_EQ(phys[8], 1) << "unit: metre";
  }
}

TEST(PNG, ResolutionFromPhys) {
  struct Case {
    std::uint32_t x, y;
    std::uint8_t unit;
    std::int32_t xDpi, yDpi;
    const char* why;
  };
  const Case cases[] = {
      {11811, 11811, 1, 300, 300, "300 dpi in pixels per metre"},
      {2835, 3780, 1, 72, 96, "each direction on its own"},
      {11811, 5906, 0, 300, 150, "the unit byte is not looked at"},
  };
  auto image = MakePatternImage(df8Bit, 3, 2, 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    std::vector<std::uint8_t> file = SavePNG(*image);
    std::vector<std::uint8_t> phys(9);
    PutU32BE(phys, 0, c.x);
    PutU32BE(phys, 4, c.y);
    phys[8] = c.unit;
    PatchPngChunk(file, "pHYs", phys);
    auto copy = LoadPNG(file);
    EXPECT_EQ(copy->XResolution(), c.xDpi);
    EXPECT_EQ(copy->YResolution(), c.yDpi);
  }
}

class PNGFromTools : public ::testing::Test {
 protected:
  std::unique_ptr<TDIB> Load(const std::string& name) {
    return LoadPNG(ReadFileBytes(dir_.Path(name)));
  }
  // The colour type and depth the tool really wrote, so a test never passes on a file
  // that is not what it claims to test.
  std::pair<int, int> TypeAndDepth(const std::string& name) {
    std::vector<std::uint8_t> header = PngChunk(ReadFileBytes(dir_.Path(name)), "IHDR");
    if (header.size() != 13) return {-1, -1};
    return {header[9], header[8]};
  }
  TScratchDir dir_;
};

TEST_F(PNGFromTools, TrueColourVariants) {
  ZW_REQUIRE_TOOL("convert");
  ZW_REQUIRE_TOOL("pnmtopng");
  auto reference = MakePatternImage(df24Bit, 23, 17, 0);
  WritePNM(*reference, dir_.Path("8.ppm"));
  WritePNM16(*reference, dir_.Path("16.ppm"));
  struct Case {
    const char* command;
    int colourType, depth;
    const char* why;
  };
  const Case cases[] = {
      {"convert %D/8.ppm -define png:color-type=2 PNG:%OUT", 2, 8, "plain truecolour"},
      {"convert %D/8.ppm -interlace PNG -define png:color-type=2 PNG:%OUT", 2, 8,
       "Adam7 interlaced"},
      {"pnmtopng %D/16.ppm > %OUT", 2, 16, "16-bit samples keep their high byte"},
      {"convert %D/8.ppm -alpha set -channel A -evaluate set 50% +channel "
       "-define png:color-type=6 PNG:%OUT",
       6, 8, "alpha is dropped, colours stay"},
      {"convert %D/16.ppm -alpha set -interlace PNG -define png:color-type=6 PNG:%OUT", 6, 16,
       "16-bit, alpha and interlaced at once"},
  };
  int index = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    std::string name = "tc" + std::to_string(index++) + ".png";
    std::string command = c.command;
    command.replace(command.find("%D"), 2, dir_.Folder());
    command.replace(command.find("%OUT"), 4, dir_.Path(name));
    ASSERT_TRUE(RunTool(command));
    ASSERT_EQ(TypeAndDepth(name), std::make_pair(c.colourType, c.depth));
    auto image = Load(name);
    EXPECT_EQ(image->Format(), df24Bit);
    ExpectSameColours(*reference, *image);
  }
}

TEST_F(PNGFromTools, GrayDepths) {
  ZW_REQUIRE_TOOL("pnmtopng");
  ZW_REQUIRE_TOOL("convert");
  struct Case {
    int levels;
    const char* convertOptions;  // null: written by pnmtopng, which picks the smallest depth
    int colourType, depth;
    TDIBFormat format;
    const char* why;
  };
  const Case cases[] = {
      {2, nullptr, 0, 1, df1Bit, "depth 1: black and white"},
      {4, nullptr, 0, 2, df4Bit, "depth 2: 2-bit samples in 4-bit pixels, ramp 0, 85, 170, 255"},
      {16, nullptr, 0, 4, df4Bit, "depth 4: ramp 17 x i"},
      {256, nullptr, 0, 8, df8Bit, "depth 8"},
      {65536, nullptr, 0, 16, df8Bit, "depth 16: the high byte of each sample"},
      {256, "-alpha set -define png:color-type=4", 4, 8, df8Bit, "gray with alpha"},
  };
  int index = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    // Gray levels that the depth holds exactly: i * 255 / (levels - 1).
    TDIB reference;
    reference.Allocate(27, 5, df8Bit, 0, 0);
    for (std::int32_t y = 0; y < 5; ++y) {
      for (std::int32_t x = 0; x < 27; ++x) {
        std::int32_t levels = std::min(c.levels, 256);
        reference.SetPixel(x, y, (x * 3 + y * 5) % levels * 255 / (levels - 1));
      }
    }
    std::string name = "gray" + std::to_string(index++);
    std::string pgm = dir_.Path(name + ".pgm");
    std::string png = dir_.Path(name + ".png");
    if (c.levels > 256)
      WritePNM16(reference, pgm);
    else
      WritePNM(reference, pgm, c.levels - 1);
    ASSERT_TRUE(RunTool(c.convertOptions == nullptr
                            ? "pnmtopng " + pgm + " > " + png
                            : "convert " + pgm + " " + c.convertOptions + " PNG:" + png));
    ASSERT_EQ(TypeAndDepth(name + ".png"), std::make_pair(c.colourType, c.depth));
    auto image = Load(name + ".png");
    EXPECT_EQ(image->Format(), c.format);
    ExpectSameColours(reference, *image);
  }
}

TEST_F(PNGFromTools, PaletteDepths) {
  ZW_REQUIRE_TOOL("pnmtopng");
  std::vector<std::uint32_t> colours;
  for (std::uint32_t i = 0; i < 20; ++i) colours.push_back(i * 0x0B3D17u + 0x400000u);
  struct Case {
    std::size_t colourCount;
    int depth;
    TDIBFormat format;
    const char* why;
  };
  // pnmtopng picks the smallest depth that holds the colours.
  const Case cases[] = {
      {2, 1, df1Bit, "depth 1"},
      {4, 2, df4Bit, "depth 2: entries 0 to 3 of the 4-bit table"},
      {9, 4, df4Bit, "depth 4"},
      {20, 8, df8Bit, "depth 8"},
  };
  int index = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    auto reference = MakeFewColourImage(
        {colours.begin(), colours.begin() + static_cast<std::ptrdiff_t>(c.colourCount)}, 29, 6);
    std::string name = "palette" + std::to_string(index++);
    WritePNM(*reference, dir_.Path(name + ".ppm"));
    ASSERT_TRUE(RunTool("pnmtopng " + dir_.Path(name + ".ppm") + " > " + dir_.Path(name + ".png")));
    ASSERT_EQ(TypeAndDepth(name + ".png"), std::make_pair(3, c.depth));
    auto image = Load(name + ".png");
    EXPECT_EQ(image->Format(), c.format);
    ExpectSameColours(*reference, *image);
  }
}

TEST_F(PNGFromTools, ReoptimisedFilesKeepTheirColours) {
  struct Case {
    TDIBFormat format;
    const char* tool;
    const char* command;
  };
  const Case cases[] = {
      {df24Bit, "optipng", "optipng -quiet -o3 -out %OUT %IN"},
      {df8Bit, "optipng", "optipng -quiet -o3 -out %OUT %IN"},
      {df1Bit, "optipng", "optipng -quiet -o3 -out %OUT %IN"},
      {df24Bit, "pngcrush", "pngcrush -q -m 0 %IN %OUT"},
      {df4Bit, "pngcrush", "pngcrush -q -reduce %IN %OUT"},
  };
  int index = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    if (!HaveTool(c.tool)) GTEST_SKIP() << "needs the tool " << c.tool;
    auto original = MakePatternImage(c.format, 61, 23, 600);
    std::string in = dir_.Path("in" + std::to_string(index) + ".png");
    std::string out = dir_.Path("out" + std::to_string(index++) + ".png");
    WriteFileBytes(in, SavePNG(*original));
    std::string command = c.command;
    command.replace(command.find("%IN"), 3, in);
    command.replace(command.find("%OUT"), 4, out);
    ASSERT_TRUE(RunTool(command));
    auto image = LoadPNG(ReadFileBytes(out));
    EXPECT_EQ(image->XResolution(), 600);
    ExpectSameColours(*original, *image);
  }
}

TEST(PNG, NoPhysMeansNoResolution) {
  auto image = MakePatternImage(df24Bit, 4, 4, 300);
  std::vector<std::uint8_t> file = SavePNG(*image);
  std::vector<std::uint8_t> phys = PngChunk(file, "pHYs");
  // Renaming the chunk to a private ancillary type hides it from readers.
  for (std::size_t i = 8; i + 4 <= file.size(); ++i) {
    if (std::memcmp(file.data() + i, "pHYs", 4) == 0) {
      std::memcpy(file.data() + i, "pHYz", 4);
      break;
    }
  }
  auto copy = LoadPNG(file);  // a bad CRC on an ancillary chunk is only a warning
  EXPECT_EQ(copy->XResolution(), 0);
  EXPECT_EQ(copy->YResolution(), 0);
}

TEST(PNG, BrokenFilesAreReportedAndLeaveTheImageEmpty) {
  auto image = MakePatternImage(df24Bit, 30, 20, 0);
  const std::vector<std::uint8_t> good = SavePNG(*image);
  std::vector<std::uint8_t> truncated(good.begin(),
                                      good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2));
  std::vector<std::uint8_t> badCrc = good;
  badCrc[29] ^= 1;  // the IHDR CRC
  std::vector<std::uint8_t> badDepth = good;
  std::vector<std::uint8_t> header = PngChunk(good, "IHDR");
  header[8] = 3;  // truecolour of depth 3 does not exist
  PatchPngChunk(badDepth, "IHDR", header);
  struct Case {
    std::vector<std::uint8_t> file;
    std::string message;
    const char* why;
  };
  const Case cases[] = {
      {truncated, "Unexpected end of PNG data", "cut in the middle of IDAT"},
      {badCrc, "IHDR: CRC error", "damaged header"},
      {badDepth, "Invalid IHDR data", "impossible bit depth"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    TDIB target;
    target.Allocate(2, 2, df8Bit, 0, 0);
    TMemoryStream stream(c.file);
    EXPECT_EQ(FailureOf([&] { target.LoadPNGFromStream(stream); }), c.message);
    EXPECT_EQ(target.Handle(), 0u);
  }
}

TEST(PNG, DecompressionBombIsRefusedBeforeAllocating) {
  auto image = MakePatternImage(df24Bit, 2, 2, 0);
  std::vector<std::uint8_t> file = SavePNG(*image);
  std::vector<std::uint8_t> header = PngChunk(file, "IHDR");
  PutU32BE(header, 0, 1000000);
  PutU32BE(header, 4, 1000000);  // three terabytes of rows claimed by a tiny file
  PatchPngChunk(file, "IHDR", header);
  EXPECT_EQ(PNGFailure(file), kImageTooLarge);
}

TEST(PNG, StreamFailuresReachTheCallerUnchanged) {
  auto image = MakePatternImage(df24Bit, 40, 40, 0);
  std::vector<std::uint8_t> file = SavePNG(*image);
  TBudgetStream output({}, 100, ENOSPC);
  try {
    image->SavePNGToStream(output);
    FAIL() << "no exception";
  } catch (const EOSError& error) {
    EXPECT_EQ(error.ErrorCode(), ENOSPC);
  }
  TBudgetStream input(file, 100, ENOSPC);
  TDIB copy;
  try {
    copy.LoadPNGFromStream(input);
    FAIL() << "no exception";
  } catch (const EOSError& error) {
    EXPECT_EQ(error.ErrorCode(), ENOSPC);
  }
}

TEST(PNG, EmptyImageIsNotWritten) {
  TDIB empty;
  TMemoryStream stream;
  EXPECT_EQ(FailureOf([&] { empty.SavePNGToStream(stream); }), "There is no image to save");
}

}  // namespace
