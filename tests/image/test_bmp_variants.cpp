// Bitmap variants that scanners and older programs write: run-length coded 8- and 4-bit
// pixels, the OS/2 headers, and 16- and 32-bit pixels with colour masks. Each reads as the
// same picture stored plainly; runs that would leave their row or the image, and masks that
// make no sense, are refused with their reason. Fixtures come from ImageMagick where it writes
// the variant, from byte arrays where no tool does.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>

#include "image/dibunit.h"
#include "tests/image/codec_fixtures.h"

namespace {

using TBytes = std::vector<std::uint8_t>;

constexpr std::size_t kBiCompression = 30;

std::unique_ptr<TDIB> LoadBMP(const TBytes& bytes) {
  return LoadFromBytes(bytes, &TDIB::LoadBMPFromStream);
}

std::string BMPFailure(const TBytes& bytes) {
  return ReadFailure(bytes, &TDIB::LoadBMPFromStream);
}

void Append32(TBytes& bytes, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> 8 * i));
}

void Append16(TBytes& bytes, std::uint16_t value) {
  bytes.push_back(static_cast<std::uint8_t>(value));
  bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

// A file with a 40-byte header (or headerSize bytes, the rest zero), `extra` bytes after it
// (masks, the colour table) and the pixel data; bfOffBits points at the pixel data.
TBytes BuildBitmap(std::int32_t width, std::int32_t height, std::uint16_t bits,
                   std::uint32_t compression, const TBytes& extra, const TBytes& pixels,
                   std::uint32_t headerSize = 40) {
  TBytes file{'B', 'M'};
  const auto offset = static_cast<std::uint32_t>(14 + headerSize + extra.size());
  Append32(file, static_cast<std::uint32_t>(offset + pixels.size()));
  Append32(file, 0);
  Append32(file, offset);
  Append32(file, headerSize);
  Append32(file, static_cast<std::uint32_t>(width));
  Append32(file, static_cast<std::uint32_t>(height));
  Append16(file, 1);
  Append16(file, bits);
  Append32(file, compression);
  file.resize(14 + headerSize, 0);
  file.insert(file.end(), extra.begin(), extra.end());
  file.insert(file.end(), pixels.begin(), pixels.end());
  return file;
}

// A gray colour table of n entries: entry i is (i, i, i) x 16, so indices show as levels.
TBytes GrayTable(int entries) {
  TBytes table;
  for (int i = 0; i < entries; ++i) Append32(table, static_cast<std::uint32_t>(i * 16 * 0x010101));
  return table;
}

// The palette index of every pixel, top row first.
std::vector<std::vector<int>> Indices(const TDIB& image) {
  std::vector<std::vector<int>> rows(static_cast<std::size_t>(image.Height()));
  for (std::int32_t y = 0; y < image.Height(); ++y) {
    for (std::int32_t x = 0; x < image.Width(); ++x) rows[y].push_back(image.GetPixel(x, y));
  }
  return rows;
}

struct TRunCase {
  std::uint16_t bits;  // 8 for RLE8, 4 for RLE4
  std::int32_t width, height;
  TBytes runs;
  std::vector<std::vector<int>> expected;  // top row first
  const char* why;
};

TEST(BMPRuns, CodesGiveTheirPixels) {
  const TRunCase cases[] = {
      {8,
       4,
       2,
       {3, 7, 1, 9, 0, 0, 2, 5, 2, 6, 0, 1},
       {{5, 5, 6, 6}, {7, 7, 7, 9}},
       "runs fill the bottom row first; end of line, end of bitmap"},
      {8,
       5,
       1,
       {0, 3, 1, 2, 3, 0, 2, 4, 0, 1},
       {{1, 2, 3, 4, 4}},
       "three literal pixels padded to an even byte count, then a run"},
      {8,
       4,
       3,
       {1, 8, 0, 2, 2, 1, 1, 9, 0, 1},
       {{0, 0, 0, 0}, {0, 0, 0, 9}, {8, 0, 0, 0}},
       "a delta right 2 and up 1 skips pixels, which keep index 0"},
      {8,
       3,
       2,
       {1, 4, 0, 0, 0, 1},
       {{0, 0, 0}, {4, 0, 0}},
       "end of line and end of bitmap early: the rest stays 0"},
      {8,
       2,
       2,
       {2, 1, 0, 0, 2, 3, 0, 0},
       {{3, 3}, {1, 1}},
       "data that ends after the last row's end of line needs no end-of-bitmap code"},
      {4, 5, 1, {5, 0x12, 0, 1}, {{1, 2, 1, 2, 1}}, "a 4-bit run alternates its two nibbles"},
      {8, 3, 1, {4, 6, 0, 1}, {{6, 6, 6}}, "a run into the row's padding drops the extra pixel"},
      {4,
       3,
       1,
       {0, 8, 0x12, 0x34, 0x56, 0x78, 0, 1},
       {{1, 2, 3}},
       "literal nibbles of the whole stored row, padding included"},
      {4,
       6,
       1,
       {0, 5, 0x34, 0x56, 0x70, 0, 1, 0xAA, 0, 1},
       {{3, 4, 5, 6, 7, 10}},
       "five literal nibbles take three bytes and one of padding"},
      {4,
       4,
       1,
       {0, 3, 0x9A, 0xB0, 1, 0xC0, 0, 1},
       {{9, 10, 11, 12}},
       "three literal nibbles take two bytes, no padding"},
  };
  for (const TRunCase& c : cases) {
    SCOPED_TRACE(c.why);
    const TBytes file = BuildBitmap(c.width, c.height, c.bits, c.bits == 8 ? 1 : 2,
                                    GrayTable(c.bits == 8 ? 256 : 16), c.runs);
    const auto image = LoadBMP(file);
    EXPECT_EQ(image->Format(), c.bits == 8 ? df8Bit : df4Bit);
    EXPECT_EQ(Indices(*image), c.expected);
    EXPECT_EQ(image->GetPaletteEntry(3), 3u * 16 * 0x010101) << "the file's colour table";
  }
}

TEST(BMPRuns, RunsThatLeaveTheImageAreRefused) {
  struct TCase {
    std::uint16_t bits;
    std::uint32_t compression;  // 1 RLE8, 2 RLE4
    std::int32_t width, height;
    TBytes runs;
    const char* reason;
    const char* why;
  } const cases[] = {
      {8, 1, 4, 1, {5, 7, 0, 1}, "run past the end of row 0", "a run one pixel too long"},
      {8, 1, 4, 1, {2, 7, 3, 7, 0, 1}, "run past the end of row 0", "the second run overflows"},
      {8,
       1,
       4,
       1,
       {0, 5, 1, 2, 3, 4, 5, 0, 0, 1},
       "run past the end of row 0",
       "literals too many"},
      {4, 2, 3, 1, {9, 0x11, 0, 1}, "run past the end of row 0", "4-bit run past the stored row"},
      {8, 1, 2, 1, {2, 1, 0, 0, 1, 5, 0, 1}, "run past the last row", "pixels after the top row"},
      {8, 1, 2, 2, {0, 2, 0, 9, 1, 1, 0, 1}, "run past the last row", "a delta above the image"},
      {8, 1, 4, 1, {0, 2, 5, 0, 0, 1}, "delta past the end of row 0", "a delta beyond the row"},
      {8, 1, 3, 1, {1, 7, 0, 2, 4, 0, 0, 1}, "delta past the end of row 0", "and its padding"},
      {8, 1, 4, 1, {2, 7, 0}, "truncated rows", "the data ends inside a code"},
      {8, 1, 4, 1, {0, 4, 1, 2}, "truncated rows", "literal pixels cut short"},
      {8, 1, 4, 2, {4, 7, 0, 0}, "truncated rows", "the data ends before the image is complete"},
      {4, 1, 4, 1, {4, 7, 0, 1}, "bad bit count", "RLE8 declared for 4-bit pixels"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    const TBytes file =
        BuildBitmap(c.width, c.height, c.bits, c.compression, GrayTable(1 << c.bits), c.runs);
    const std::string message = BMPFailure(file);
    EXPECT_EQ(message.rfind(std::string(kInvalidBitmap) + " (" + c.reason, 0), 0u) << message;
  }
  const TBytes topDown = BuildBitmap(2, -1, 8, 1, GrayTable(256), {2, 1, 0, 1});
  EXPECT_EQ(BMPFailure(topDown).rfind(std::string(kInvalidBitmap) + " (bad size", 0), 0u)
      << "run-length rows are always stored bottom-up";
}

// Masked words: 16 bits 5-6-5 and 32 bits 10-10-10, built from colours every channel width
// represents exactly, so that the widened result is the picture itself.
struct TMaskCase {
  std::uint16_t bits;
  std::uint32_t masks[3];  // red, green, blue
  bool inHeader;           // in a 56-byte header rather than after a 40-byte one
  const char* why;
};

std::uint32_t Level(std::uint32_t value, int channelBits) {
  const std::uint32_t top = (1u << channelBits) - 1;
  return static_cast<std::uint32_t>(std::lround(value * 255.0 / top));
}

TEST(BMPMasks, AnyContiguousMasksWidenToTrueColour) {
  const TMaskCase cases[] = {
      {16, {0xF800, 0x07E0, 0x001F}, false, "5-6-5, masks after the 40-byte header"},
      {16, {0xF800, 0x07E0, 0x001F}, true, "5-6-5, masks inside a 56-byte header"},
      {16, {0x0F00, 0x00F0, 0x000F}, false, "4-4-4 with the top bits unused"},
      {32, {0x3FF00000, 0x000FFC00, 0x000003FF}, false, "10-10-10, more than 8 bits"},
      {32, {0x0000FF00, 0x00FF0000, 0xFF000000}, true, "8-8-8 in the upper bytes"},
      {16, {0x001F, 0x03E0, 0x7C00}, false, "red in the low bits"},
  };
  constexpr std::int32_t kWidth = 5, kHeight = 3;
  for (const TMaskCase& c : cases) {
    SCOPED_TRACE(c.why);
    TDIB picture;
    picture.Allocate(kWidth, kHeight, df24Bit, 0, 0);
    TBytes pixels;
    for (std::int32_t row = 0; row < kHeight; ++row) {  // bottom row first
      const std::int32_t y = kHeight - 1 - row;
      for (std::int32_t x = 0; x < kWidth; ++x) {
        std::uint32_t word = 0;
        std::uint32_t colour = 0;  // 0xBBGGRR for SetPixel
        for (int channel = 0; channel < 3; ++channel) {
          const std::uint32_t mask = c.masks[channel];
          const int shift = std::countr_zero(mask), width = std::popcount(mask);
          const std::uint32_t value =
              static_cast<std::uint32_t>(x * 7 + y * 5 + channel * 3) % (1u << width);
          word |= value << shift;
          colour |= Level(value, width) << 8 * channel;
        }
        picture.SetPixel(x, y, static_cast<std::int32_t>(colour));
        for (int i = 0; i < c.bits / 8; ++i)
          pixels.push_back(static_cast<std::uint8_t>(word >> 8 * i));
      }
      while (pixels.size() % 4 != 0) pixels.push_back(0);
    }
    TBytes masks;
    for (std::uint32_t mask : c.masks) Append32(masks, mask);
    TBytes file;
    if (c.inHeader) {
      file = BuildBitmap(kWidth, kHeight, c.bits, 3, {}, pixels, 56);
      std::memcpy(file.data() + 54, masks.data(), 12);
    } else {
      file = BuildBitmap(kWidth, kHeight, c.bits, 3, masks, pixels);
    }
    const auto image = LoadBMP(file);
    EXPECT_EQ(image->Format(), df24Bit);
    ExpectSameColours(picture, *image);
  }
}

TEST(BMPMasks, MasksThatMakeNoSenseAreRefused) {
  struct TCase {
    std::uint16_t bits;
    std::uint32_t masks[3];
    const char* reason;
    const char* why;
  } const cases[] = {
      {16, {0xF800, 0x07E0, 0x0015}, "bad colour masks", "blue mask with a hole"},
      {16, {0xF800, 0x0000, 0x001F}, "bad colour masks", "no green at all"},
      {16, {0x1F0000, 0x07E0, 0x001F}, "bad colour masks", "red beyond the 16-bit word"},
      {24, {0xFF0000, 0xFF00, 0xFF}, "bad bit count", "masks need 16 or 32 bits"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    TBytes masks;
    for (std::uint32_t mask : c.masks) Append32(masks, mask);
    const TBytes file = BuildBitmap(2, 1, c.bits, 3, masks, TBytes(8, 0x5A));
    const std::string message = BMPFailure(file);
    EXPECT_EQ(message.rfind(std::string(kInvalidBitmap) + " (" + c.reason, 0), 0u) << message;
  }
}

TEST(BMPHeaders, OS2TwoHeaderReadsAsThePlainFile) {
  for (TDIBFormat format : {df1Bit, df4Bit, df8Bit, df24Bit}) {
    SCOPED_TRACE(int(format));
    const auto image = MakePatternImage(format, 7, 3, 300);
    const TBytes plain = SaveToBytes(*image, &TDIB::SaveBMPToStream);
    // The 64-byte header is the 40-byte one with 24 bytes of fields after it.
    TBytes os2 = plain;
    os2.insert(os2.begin() + 54, 24, 0);
    PutU32LE(os2, 14, 64);
    PutU32LE(os2, 10, U32LE(plain, 10) + 24);
    PutU32LE(os2, 2, static_cast<std::uint32_t>(os2.size()));
    ExpectSameImage(*LoadBMP(plain), *LoadBMP(os2));
  }
}

// ImageMagick writes run-length coded 8-bit files, the old 12-byte header and masked words.
struct TToolCase {
  const char* options;  // ImageMagick's options and output prefix
  std::vector<std::uint32_t> colours;
  const char* why;
};

// 8-bit levels that a channel of `bits` bits keeps exactly whether the writer rounds or
// truncates: round(k x 255 / top), for the k that truncating brings back to k.
std::vector<std::uint32_t> ToolSafeLevels(int bits) {
  const std::uint32_t top = (1u << bits) - 1;
  std::vector<std::uint32_t> levels;
  for (std::uint32_t k = 0; k <= top; ++k) {
    const std::uint32_t level = Level(k, bits);
    if (level * top / 255 == k) levels.push_back(level);
  }
  return levels;
}

// A dozen colours (0xRRGGBB) of such levels.
std::vector<std::uint32_t> MaskableColours(int redBlueBits, int greenBits) {
  const auto outer = ToolSafeLevels(redBlueBits);
  const auto green = ToolSafeLevels(greenBits);
  std::vector<std::uint32_t> colours;
  for (std::size_t i = 0; i < 12; ++i) {
    colours.push_back(outer[i * 5 % outer.size()] << 16 | green[i * 7 % green.size()] << 8 |
                      outer[i * 3 % outer.size()]);
  }
  return colours;
}

TEST(BMPTools, VariantsReadAsThePictureStoredPlainly) {
  ZW_REQUIRE_TOOL("convert");
  TScratchDir dir;
  // Colours whose channels 5 or 6 bits keep exactly, so that masked files must give them back
  // unchanged: red and blue of 5 bits, green of 6 (five) or 5 bits (fiveAll).
  const std::vector<std::uint32_t> five = MaskableColours(5, 6);
  const std::vector<std::uint32_t> fiveAll = MaskableColours(5, 5);
  const std::vector<std::uint32_t> many = [] {
    std::vector<std::uint32_t> colours;
    for (std::uint32_t i = 0; i < 200; ++i) colours.push_back(i * 0x010305 % 0x1000000);
    return colours;
  }();
  const TToolCase cases[] = {
      {"-type Palette -compress RLE bmp3:", many, "RLE8 with 200 colours"},
      {"-type Palette -compress RLE bmp3:", {0x102030, 0xF0E0D0, 0x808080}, "RLE8, few colours"},
      {"-type Palette bmp2:", many, "OS/2 1.x header, 8 bits, 3-byte colour table"},
      {"-type Palette bmp2:", {0x102030, 0xF0E0D0, 0x808080, 0x00FF00}, "OS/2 1.x, 4 bits"},
      {"-type TrueColor bmp2:", many, "OS/2 1.x header, 24 bits"},
      {"-type TrueColor -define bmp:subtype=RGB565 bmp:", five, "5-6-5 masks, V5 header"},
      {"-type TrueColor -define bmp:subtype=RGB555 bmp:", fiveAll, "5-5-5 masks, V5 header"},
      {"-type TrueColorAlpha -define bmp:subtype=ARGB8888 bmp:", many, "8-8-8-8 with alpha"},
  };
  int index = 0;
  for (const TToolCase& c : cases) {
    SCOPED_TRACE(c.why);
    const auto picture = MakeFewColourImage(c.colours, 37, 11);
    const std::string source = dir.Path("source" + std::to_string(index) + ".ppm");
    const std::string variant = dir.Path("variant" + std::to_string(index++) + ".bmp");
    WritePNM(*picture, source);
    ASSERT_TRUE(RunTool("convert " + source + " " + c.options + variant));
    const auto image = LoadBMP(ReadFileBytes(variant));
    ExpectSameColours(*picture, *image);
  }
}

TEST(BMPTools, RunLengthFileReadsAsItsUncompressedTwin) {
  ZW_REQUIRE_TOOL("convert");
  TScratchDir dir;
  const auto picture = MakePatternImage(df8Bit, 45, 13, 300);
  const std::string source = dir.Path("source.bmp");
  WriteFileBytes(source, SaveToBytes(*picture, &TDIB::SaveBMPToStream));
  const std::string runs = dir.Path("runs.bmp");
  ASSERT_TRUE(RunTool("convert " + source + " -compress RLE bmp3:" + runs));
  const TBytes file = ReadFileBytes(runs);
  ASSERT_EQ(U32LE(file, kBiCompression), 1u) << "the tool wrote run-length codes";
  ExpectSameColours(*picture, *LoadBMP(file));
}

}  // namespace
