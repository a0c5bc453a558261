// The view's JPEG reader on files cjpeg makes: it shows exactly what the image library's JPEG
// reader decodes, reports its progress, and refuses what is no JPEG or an image it lacks.
#include <gtest/gtest.h>

#include "image/streams.h"
#include "tests/image/codec_fixtures.h"
#include "tests/viewer/test_tiff_graphic_support.h"
#include "viewer/jpeg_graphic.h"

namespace {

class JpegGraphic : public ::testing::Test {
 protected:
  void SetUp() override { ZW_REQUIRE_TOOL("cjpeg"); }
  std::vector<std::uint8_t> Make(TPicture kind, const std::string& options) {
    const auto picture = MakePicture(kind, 45, 29);
    const std::string source = dir_.Path(kind == TPicture::TrueColour ? "p.ppm" : "p.pgm");
    WritePNM(*picture, source);
    const std::string jpeg = dir_.Path("p.jpg");
    EXPECT_TRUE(RunTool("cjpeg " + options + " -outfile " + jpeg + " " + source));
    return ReadFileBytes(jpeg);
  }
  TScratchDir dir_;
};

TEST_F(JpegGraphic, ShowsWhatTheImageLibraryDecodes) {
  const struct {
    TPicture picture;
    const char* options;
    TGraphicFormat format;
    const char* reason;
  } cases[] = {
      {TPicture::TrueColour, "-quality 90", gfTrueColor, "baseline colour"},
      {TPicture::TrueColour, "-progressive", gfTrueColor, "progressive colour"},
      {TPicture::Gray256, "-quality 80", gfGray256, "gray"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    const auto file = Make(c.picture, c.options);
    TMemoryStream forLibrary(file);
    TDIB expected;
    expected.LoadJPEGFromStream(forLibrary);
    TMemoryStream stream(file);
    TJpegGraphic graphic;
    graphic.ReadImage(stream, 1);
    EXPECT_EQ(graphic.ImageFormat(), c.format);
    ExpectGraphicColours(expected, graphic);
  }
}

TEST_F(JpegGraphic, ReportsProgressFromZeroToHundred) {
  TJpegGraphic graphic;
  EXPECT_EQ(ProgressOf(graphic, Make(TPicture::TrueColour, "")), (std::vector<int>{0, 50, 100}));
}

TEST_F(JpegGraphic, RefusesAnotherImageAndOtherData) {
  const auto file = Make(TPicture::Gray256, "");
  TMemoryStream stream(file);
  TJpegGraphic graphic;
  EXPECT_EQ(FailureOf([&] { graphic.ReadImage(stream, 2); }), "Image 2 does not exist");
  TMemoryStream cut(std::vector<std::uint8_t>(file.begin(), file.begin() + 100));
  EXPECT_THROW(graphic.ReadImage(cut, 1), EError);
}

}  // namespace
