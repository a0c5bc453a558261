// JPEG files: what our reader decodes is what libjpeg's own djpeg decodes from the same file,
// pixel for pixel, for baseline, progressive and gray files; the density gives the
// resolution; files libjpeg refuses fail with libjpeg's message; a failing stream reaches the
// caller as it was; and a huge picture is refused before anything is allocated.
#include <gtest/gtest.h>

#include <cerrno>

#include "image/dibunit.h"
#include "image/streams.h"
#include "platform/errors.h"
#include "tests/image/codec_fixtures.h"

namespace {

std::unique_ptr<TDIB> LoadJPEG(const std::vector<std::uint8_t>& bytes) {
  return LoadFromBytes(bytes, &TDIB::LoadJPEGFromStream);
}

std::string JPEGFailure(const std::vector<std::uint8_t>& bytes) {
  return ReadFailure(bytes, &TDIB::LoadJPEGFromStream);
}

class JPEGFromTools : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HaveTool("cjpeg") || !HaveTool("djpeg")) GTEST_SKIP() << "needs the tools cjpeg, djpeg";
    reference_ = MakePatternImage(df24Bit, 45, 29, 0);
    WritePNM(*reference_, dir_.Path("reference.ppm"));
    TDIB gray;
    gray.Allocate(45, 29, df8Bit, 0, 0);
    for (std::int32_t y = 0; y < 29; ++y) {
      for (std::int32_t x = 0; x < 45; ++x) gray.SetPixel(x, y, (x * 9 + y * 4) & 255);
    }
    WritePNM(gray, dir_.Path("reference.pgm"));
  }
  // Makes name.jpg with cjpeg and returns it; djpeg's decoding of it goes to name.pnm.
  std::vector<std::uint8_t> Make(const std::string& name, const std::string& options,
                                 const std::string& source) {
    std::string jpeg = dir_.Path(name + ".jpg");
    EXPECT_TRUE(RunTool("cjpeg " + options + " -outfile " + jpeg + " " + dir_.Path(source)));
    EXPECT_TRUE(RunTool("djpeg -pnm -outfile " + dir_.Path(name + ".pnm") + " " + jpeg));
    return ReadFileBytes(jpeg);
  }
  TScratchDir dir_;
  std::unique_ptr<TDIB> reference_;
};

TEST_F(JPEGFromTools, DecodesExactlyAsLibjpegDoes) {
  struct Case {
    const char* options;
    const char* source;
    TDIBFormat format;
    const char* why;
  };
  const Case cases[] = {
      {"-quality 90", "reference.ppm", df24Bit, "baseline colour, 4:2:0"},
      {"-quality 75 -progressive", "reference.ppm", df24Bit, "progressive colour"},
      {"-quality 95 -sample 1x1 -optimize", "reference.ppm", df24Bit, "no subsampling"},
      {"-quality 85 -restart 1", "reference.ppm", df24Bit, "restart markers"},
      {"-quality 80 -grayscale", "reference.ppm", df8Bit, "gray made from colour"},
      {"-quality 80 -progressive", "reference.pgm", df8Bit, "progressive gray"},
  };
  int index = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    std::string name = "j" + std::to_string(index++);
    auto image = LoadJPEG(Make(name, c.options, c.source));
    auto expected = ReadPNM(dir_.Path(name + ".pnm"));
    EXPECT_EQ(image->Format(), c.format);
    if (c.format == df8Bit) {
      EXPECT_TRUE(image->HasStandardPalette()) << "identity gray ramp";
    }
    ExpectSameColours(*expected, *image);
  }
}

TEST_F(JPEGFromTools, ResolutionFromTheDensity) {
  ZW_REQUIRE_TOOL("convert");
  struct Case {
    const char* options;
    std::int32_t xDpi, yDpi;
    const char* why;
  };
  const Case cases[] = {
      {"-density 300 -units PixelsPerInch", 300, 300, "dots per inch as stored"},
      {"-density 118 -units PixelsPerCentimeter", 300, 300, "Round(118 x 2.54) = 300"},
      {"-density 200x100 -units PixelsPerInch", 200, 100, "each direction on its own"},
  };
  int index = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    std::string jpeg = dir_.Path("d" + std::to_string(index++) + ".jpg");
    ASSERT_TRUE(RunTool("convert " + dir_.Path("reference.ppm") + " " + c.options + " " + jpeg));
    auto image = LoadJPEG(ReadFileBytes(jpeg));
    EXPECT_EQ(image->XResolution(), c.xDpi);
    EXPECT_EQ(image->YResolution(), c.yDpi);
  }
  // cjpeg writes density 1:1 with no unit: an aspect ratio, not a resolution.
  auto plain = LoadJPEG(Make("plain", "", "reference.ppm"));
  EXPECT_EQ(plain->XResolution(), 0);
}

TEST_F(JPEGFromTools, CMYKFailsWithLibjpegsMessage) {
  ZW_REQUIRE_TOOL("convert");
  std::string jpeg = dir_.Path("cmyk.jpg");
  ASSERT_TRUE(RunTool("convert " + dir_.Path("reference.ppm") + " -colorspace CMYK " + jpeg));
  EXPECT_EQ(JPEGFailure(ReadFileBytes(jpeg)), "Unsupported color conversion request");
}

TEST_F(JPEGFromTools, DamagedFilesFailWithLibjpegsMessage) {
  const std::vector<std::uint8_t> good = Make("good", "-quality 90", "reference.ppm");
  std::vector<std::uint8_t> truncated(good.begin(), good.end() - 200);
  std::vector<std::uint8_t> noImage(good.begin(), good.begin() + 20);
  struct Case {
    std::vector<std::uint8_t> file;
    std::string message;
    const char* why;
  };
  const Case cases[] = {
      {{'H', 'e', 'l', 'l', 'o'}, "Not a JPEG file: starts with 0x48 0x65", "a text file"},
      {{}, "Empty input file", "nothing at all"},
      {truncated, "Premature end of JPEG file", "a warning counts as a failure"},
      {noImage, "Premature end of JPEG file", "headers cut before the frame"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(JPEGFailure(c.file), c.message);
  }
}

// The frame header's height and width, patched in place.
void SetFrameSize(std::vector<std::uint8_t>& file, std::uint16_t width, std::uint16_t height) {
  for (std::size_t i = 2; i + 9 < file.size(); ++i) {
    if (file[i] == 0xFF && (file[i + 1] == 0xC0 || file[i + 1] == 0xC2)) {
      file[i + 5] = static_cast<std::uint8_t>(height >> 8);
      file[i + 6] = static_cast<std::uint8_t>(height);
      file[i + 7] = static_cast<std::uint8_t>(width >> 8);
      file[i + 8] = static_cast<std::uint8_t>(width);
      return;
    }
  }
  ADD_FAILURE() << "no frame header";
}

TEST_F(JPEGFromTools, DecompressionBombIsRefusedBeforeAllocating) {
  for (const char* options : {"", "-progressive"}) {
    SCOPED_TRACE(options);
    std::vector<std::uint8_t> file = Make("bomb", options, "reference.ppm");
    SetFrameSize(file, 65000, 65000);  // twelve gigabytes of rows claimed by a tiny file
    TDIB image;
    image.Allocate(3, 3, df8Bit, 0, 0);
    EXPECT_EQ(FailureOf([&] {
                TMemoryStream stream(file);
                image.LoadJPEGFromStream(stream);
              }),
              kImageTooLarge);
    EXPECT_EQ(image.Width(), 3) << "the image is left as it was";
  }
}

TEST_F(JPEGFromTools, StreamFailureReachesTheCallerUnchanged) {
  TBudgetStream stream(Make("s", "-quality 90", "reference.ppm"), 100, EIO);
  TDIB image;
  try {
    image.LoadJPEGFromStream(stream);
    FAIL() << "no exception";
  } catch (const EOSError& error) {
    EXPECT_EQ(error.ErrorCode(), EIO);
  }
}

}  // namespace
