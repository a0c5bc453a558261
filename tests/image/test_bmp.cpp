// Bitmap files: our writer and reader agree on every format; files made by other tools read
// with their colours; and files whose headers lie are refused without touching memory
// outside what the file holds.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "image/dibunit.h"
#include "image/streams.h"
#include "platform/errors.h"
#include "tests/image/codec_fixtures.h"

namespace {

std::vector<std::uint8_t> SaveBMP(TDIB& image) {
  return SaveToBytes(image, &TDIB::SaveBMPToStream);
}

std::unique_ptr<TDIB> LoadBMP(const std::vector<std::uint8_t>& bytes) {
  return LoadFromBytes(bytes, &TDIB::LoadBMPFromStream);
}

std::string BMPFailure(const std::vector<std::uint8_t>& bytes) {
  return ReadFailure(bytes, &TDIB::LoadBMPFromStream);
}

// Offsets in a file with a 40-byte info header.
constexpr std::size_t kBfSize = 2, kBfOffBits = 10, kBiSize = 14, kBiWidth = 18, kBiHeight = 22,
                      kBiBitCount = 28, kBiCompression = 30, kBiClrUsed = 46, kTable = 54;

TEST(BMP, RoundTripKeepsEveryFormat) {
  struct Case {
    TDIBFormat format;
    TDIBFormat readBack;
    const char* why;
  };
  const Case cases[] = {
      {df1Bit, df1Bit, "bits packed most significant first, own colour table"},
      {df4Bit, df4Bit, "even pixel in the high nibble"},
      {df8Bit, df8Bit, "256-entry colour table"},
      {df15Bit, df16Bit, "Allocate writes 16 into the header of a 15-bit image"},
      {df16Bit, df16Bit, "raw words"},
      {df24Bit, df24Bit, "blue, green, red"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    // Odd widths leave padding at the end of every row.
    auto original = MakePatternImage(c.format, 13, 5, 300);
    auto copy = LoadBMP(SaveBMP(*original));
    ExpectSameImage(*MakePatternImage(c.readBack, 13, 5, 300), *copy);
  }
}

TEST(BMP, FileIsThePackedBitmapBehindAFileHeader) {
  TDIB image;
  image.Allocate(10, 3, df1Bit, 300, 300);
  std::vector<std::uint8_t> file = SaveBMP(image);
  ASSERT_EQ(file.size(), 74u);
  EXPECT_EQ(U32LE(file, kBfSize), 74u);
  EXPECT_EQ(U32LE(file, kBfOffBits), 62u);
  EXPECT_EQ(0, std::memcmp(file.data() + 14, image.Block(), 60));
}

TEST(BMP, SavingLeavesTheImageAsItWas) {
  auto image = MakePatternImage(df8Bit, 7, 4, 96);
  auto before = image->Duplicate();
  SaveBMP(*image);
  ExpectSameImage(*before, *image);
}

// A bottom-up 40-byte-header file turned top-down: height negated, row order reversed.
std::vector<std::uint8_t> TopDown(const std::vector<std::uint8_t>& file) {
  std::vector<std::uint8_t> result = file;
  std::int32_t height = static_cast<std::int32_t>(U32LE(file, kBiHeight));
  std::size_t offset = U32LE(file, kBfOffBits);
  std::size_t stride = (file.size() - offset) / static_cast<std::size_t>(height);
  for (std::int32_t i = 0; i < height; ++i) {
    std::copy_n(file.begin() + static_cast<std::ptrdiff_t>(offset + i * stride), stride,
                result.begin() + static_cast<std::ptrdiff_t>(offset + (height - 1 - i) * stride));
  }
  PutU32LE(result, kBiHeight, static_cast<std::uint32_t>(-height));
  return result;
}

TEST(BMP, TopDownFilesAreFlipped) {
  for (TDIBFormat format : {df1Bit, df4Bit, df8Bit, df24Bit}) {
    SCOPED_TRACE(static_cast<int>(format));
    auto original = MakePatternImage(format, 11, 6, 150);
    auto copy = LoadBMP(TopDown(SaveBMP(*original)));
    ExpectSameImage(*original, *copy);
    EXPECT_GT(copy->InfoHeader()->biHeight, 0);
  }
}

// A V5 file turned into a V4 one: the 16 bytes of colour-profile fields dropped.
std::vector<std::uint8_t> V5ToV4(const std::vector<std::uint8_t>& file) {
  std::vector<std::uint8_t> result(file.size() - 16);
  std::copy_n(file.begin(), 14 + 108, result.begin());
  std::copy(file.begin() + 14 + 124, file.end(), result.begin() + 14 + 108);
  PutU32LE(result, kBiSize, 108);
  PutU32LE(result, kBfOffBits, U32LE(file, kBfOffBits) - 16);
  PutU32LE(result, kBfSize, static_cast<std::uint32_t>(result.size()));
  return result;
}

class BMPFromTools : public ::testing::Test {
 protected:
  void SetUp() override {
    reference_ = MakePatternImage(df24Bit, 21, 9, 0);
    WritePNM(*reference_, dir_.Path("reference.ppm"));
  }
  std::unique_ptr<TDIB> Load(const std::string& name) {
    return LoadBMP(ReadFileBytes(dir_.Path(name)));
  }
  TScratchDir dir_;
  std::unique_ptr<TDIB> reference_;
};

TEST_F(BMPFromTools, TrueColourHeaderVersions) {
  ZW_REQUIRE_TOOL("convert");
  ASSERT_TRUE(RunTool("convert " + dir_.Path("reference.ppm") + " BMP3:" + dir_.Path("v3.bmp")));
  ASSERT_TRUE(RunTool("convert " + dir_.Path("reference.ppm") + " BMP:" + dir_.Path("v5.bmp")));
  ASSERT_TRUE(RunTool("convert " + dir_.Path("reference.ppm") +
                      " -alpha set -type TrueColorAlpha BMP:" + dir_.Path("v5_32.bmp")));
  std::vector<std::uint8_t> v5 = ReadFileBytes(dir_.Path("v5.bmp"));
  std::vector<std::uint8_t> v5x32 = ReadFileBytes(dir_.Path("v5_32.bmp"));
  ASSERT_EQ(U32LE(v5, kBiSize), 124u);
  ASSERT_EQ(v5x32[kBiBitCount], 32);
  ASSERT_EQ(U32LE(v5x32, kBiCompression), 3u) << "32-bit with colour masks";

  struct Case {
    std::vector<std::uint8_t> file;
    const char* why;
  };
  const Case cases[] = {
      {ReadFileBytes(dir_.Path("v3.bmp")), "40-byte header, 24 bits"},
      {v5, "V5 header, 24 bits"},
      {V5ToV4(v5), "V4 header, 24 bits"},
      {v5x32, "V5 header, 32 bits with plain masks: the fourth byte is dropped"},
      {V5ToV4(v5x32), "V4 header, 32 bits"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    auto image = LoadBMP(c.file);
    EXPECT_EQ(image->Format(), df24Bit);
    EXPECT_EQ(image->InfoHeader()->biSize, 40u);
    ExpectSameColours(*reference_, *image);
  }
}

TEST_F(BMPFromTools, PaletteFiles) {
  ZW_REQUIRE_TOOL("ppmtobmp");
  auto few = MakeFewColourImage({0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x123456}, 19, 7);
  WritePNM(*few, dir_.Path("few.ppm"));
  ASSERT_TRUE(RunTool("ppmtobmp -bpp=4 " + dir_.Path("few.ppm") + " > " + dir_.Path("4.bmp")));
  ASSERT_TRUE(RunTool("ppmtobmp -bpp=8 " + dir_.Path("few.ppm") + " > " + dir_.Path("8.bmp")));
  for (const char* name : {"4.bmp", "8.bmp"}) {
    SCOPED_TRACE(name);
    auto image = Load(name);
    EXPECT_EQ(image->Format(), name[0] == '4' ? df4Bit : df8Bit);
    ExpectSameColours(*few, *image);
  }
}

TEST_F(BMPFromTools, OneBitWithWhiteFirstKeepsItsColourTable) {
  ZW_REQUIRE_TOOL("ppmtobmp");
  auto page = MakeFewColourImage({0xFFFFFF, 0x000000, 0xFFFFFF}, 17, 5);
  WritePNM(*page, dir_.Path("page.ppm"));
  WriteFileBytes(dir_.Path("map.ppm"), {'P', '6', '\n', '2', ' ', '1', '\n', '2', '5', '5', '\n',
                                        255, 255, 255, 0, 0, 0});
  ASSERT_TRUE(RunTool("ppmtobmp -bpp=1 -mapfile=" + dir_.Path("map.ppm") + " " +
                      dir_.Path("page.ppm") + " > " + dir_.Path("1.bmp")));
  auto image = Load("1.bmp");
  ASSERT_EQ(image->Format(), df1Bit);
  EXPECT_EQ(image->GetPaletteEntry(0) & 0xFFFFFF, 0xFFFFFFu) << "white first, as in the file";
  EXPECT_EQ(image->WhiteIndex(), 0);
  EXPECT_EQ(image->BlackIndex(), 1);
  EXPECT_TRUE(image->HasStandardPalette());
  ExpectSameColours(*page, *image);
}

TEST(BMP, ShortColourTableIsCompletedWithBlack) {
  auto image = MakePatternImage(df8Bit, 4, 2, 0);
  std::vector<std::uint8_t> file = SaveBMP(*image);
  PutU32LE(file, kBiClrUsed, 2);  // only two entries listed; the file still holds 256
  auto copy = LoadBMP(file);
  ASSERT_EQ(copy->PaletteCount(), 256) << "every pixel value must name an entry";
  EXPECT_EQ(copy->GetPaletteEntry(1), image->GetPaletteEntry(1));
  EXPECT_EQ(copy->GetPaletteEntry(2), 0u);
}

TEST(BMP, RowsAreFoundAtBfOffBits) {
  auto image = MakePatternImage(df24Bit, 5, 3, 72);
  std::vector<std::uint8_t> file = SaveBMP(*image);
  file.insert(file.begin() + kTable, {0xAA, 0xBB, 0xCC, 0xDD});  // a gap before the rows
  PutU32LE(file, kBfOffBits, kTable + 4);
  PutU32LE(file, kBfSize, static_cast<std::uint32_t>(file.size()));
  ExpectSameImage(*image, *LoadBMP(file));
}

TEST(BMP, HarmlessSloppinessIsTolerated) {
  auto image = MakePatternImage(df8Bit, 6, 3, 0);
  std::vector<std::uint8_t> file = SaveBMP(*image);
  file.erase(file.end() - 2, file.end());  // the last row's padding is missing
  PutU32LE(file, kBfSize, 0);              // some writers leave these two at zero
  PutU32LE(file, 34, 0);                   // biSizeImage
  ExpectSameImage(*image, *LoadBMP(file));
}

TEST(BMP, DishonestHeadersAreRefused) {
  auto image = MakePatternImage(df8Bit, 6, 4, 0);
  const std::vector<std::uint8_t> good = SaveBMP(*image);
  auto patched = [&](std::size_t offset, std::uint32_t value) {
    std::vector<std::uint8_t> file = good;
    PutU32LE(file, offset, value);
    return file;
  };
  auto patched16 = [&](std::size_t offset, std::uint16_t value) {
    std::vector<std::uint8_t> file = good;
    PutU16LE(file, offset, value);
    return file;
  };
  std::vector<std::uint8_t> truncated(good.begin(), good.end() - 3);
  PutU32LE(truncated, kBfSize, 0);  // a zero bfSize is tolerated, missing pixels are not
  std::vector<std::uint8_t> noTable(good.begin(), good.begin() + kTable + 8);
  PutU32LE(noTable, kBfSize, 0);
  PutU32LE(noTable, kBfOffBits, 0);  // rows right after a table the file has no room for
  // Every refusal is the fixed text with its reason beside it; the reason names the cause.
  struct Case {
    std::vector<std::uint8_t> file;
    const char* reason;
    const char* why;
  };
  const Case cases[] = {
      {{'B', 'A', 0, 0}, "no \"BM\" signature", "no BM signature"},
      {{'B', 'M', 1, 2, 3}, "bad size", "shorter than a file header"},
      {patched(kBfSize, static_cast<std::uint32_t>(good.size() + 1)), "bad size",
       "bfSize beyond the file"},
      {patched(kBfOffBits, static_cast<std::uint32_t>(good.size())), "bad offset",
       "bfOffBits puts the rows past the end"},
      {patched(kBfOffBits, 60), "bad offset", "rows would overlap the colour table"},
      {patched(kBiSize, 0xFFFFFFF0u), "bad size", "header size beyond the file"},
      {patched(kBiWidth, 0), "bad size", "no columns"},
      {patched(kBiWidth, 0x80000000u), "bad size", "negative width"},
      {patched(kBiHeight, 0), "bad size", "no rows"},
      {patched(kBiHeight, 0x80000000u), "bad size", "a height that cannot be negated"},
      {patched(kBiHeight, 5), "truncated rows", "one row more than the file holds"},
      {patched(kBiWidth, 9), "truncated rows", "wider rows than the file holds"},
      {patched16(kBiBitCount, 7), "bad bit count", "no such bit count"},
      {patched16(kBiBitCount, 32), "truncated rows", "32-bit rows do not fit the file"},
      {truncated, "truncated rows", "last row cut short"},
      {noTable, "bad palette count", "colour table longer than the file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    const std::string message = BMPFailure(c.file);
    EXPECT_EQ(message.rfind(std::string(kInvalidBitmap) + " (" + c.reason, 0), 0u) << message;
  }
}

TEST(BMP, DecompressionBombIsRefusedBeforeAllocating) {
  auto image = MakePatternImage(df24Bit, 2, 2, 0);
  std::vector<std::uint8_t> file = SaveBMP(*image);
  PutU32LE(file, kBiWidth, 100000);
  PutU32LE(file, kBiHeight, 100000);  // 30 GB of rows claimed by a 70-byte file
  EXPECT_EQ(BMPFailure(file), kImageTooLarge);
}

TEST(BMP, PlainColourMasksReadAsThePlainFile) {
  auto image = MakePatternImage(df16Bit, 4, 2, 0);
  std::vector<std::uint8_t> masks555 = SaveBMP(*image);
  PutU32LE(masks555, kBiCompression, 3);
  masks555.insert(masks555.begin() + kTable, 12, 0);
  PutU32LE(masks555, kTable, 0x7C00);
  PutU32LE(masks555, kTable + 4, 0x03E0);
  PutU32LE(masks555, kTable + 8, 0x001F);
  PutU32LE(masks555, kBfOffBits, kTable + 12);
  PutU32LE(masks555, kBfSize, static_cast<std::uint32_t>(masks555.size()));
  ExpectSameImage(*image, *LoadBMP(masks555));
}

TEST(BMP, ExoticVariantsAreRefusedEachWithItsMessage) {
  auto gray = MakePatternImage(df8Bit, 4, 2, 0);
  const std::vector<std::uint8_t> good = SaveBMP(*gray);
  auto variant = [&](std::uint32_t headerSize, std::uint16_t bits, std::uint32_t compression) {
    std::vector<std::uint8_t> file = good;
    PutU32LE(file, kBiSize, headerSize);
    PutU16LE(file, kBiBitCount, bits);
    PutU32LE(file, kBiCompression, compression);
    return file;
  };
  struct Case {
    std::vector<std::uint8_t> file;
    const char* message;
    const char* why;
  };
  const Case cases[] = {
      {variant(40, 24, 4), "Bitmap files holding a JPEG image are not supported", "JPEG inside"},
      {variant(124, 24, 5), "Bitmap files holding a PNG image are not supported", "PNG inside"},
      {variant(64, 1, 3), "Huffman-coded bitmap files are not supported", "OS/2 Huffman 1-D"},
      {variant(64, 24, 4), "Run-length coded 24-bit bitmap files are not supported",
       "OS/2 24-bit runs"},
      {variant(40, 64, 0), "Bitmap files of 64 bits per pixel are not supported", "64-bit"},
      {variant(40, 32, 11), "Compressed bitmap files are not supported (compression 11)",
       "CMYK compression of some printers"},
      {variant(20, 8, 0), "Bitmap header of 20 bytes is not supported", "no such header"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(BMPFailure(c.file), c.message);
  }
}

TEST(BMP, FailedReadLeavesTheImageEmpty) {
  auto image = MakePatternImage(df8Bit, 4, 4, 0);
  TMemoryStream text(std::vector<std::uint8_t>{'B', 'M', 'x'});
  EXPECT_THROW(image->LoadBMPFromStream(text), EError);
  EXPECT_EQ(image->Width(), 0);
  EXPECT_EQ(image->Handle(), 0u);
}

}  // namespace
