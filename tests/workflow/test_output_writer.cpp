// Writing outputs: the format a name gives or a caller chooses, replacing or appending TIFF
// pages, compression, and multi-page TIFF outputs written in one step.
#include <gtest/gtest.h>

#include <filesystem>
#include <string_view>

#include "batch_fixtures.h"
#include "platform/errors.h"
#include "temp_folder.h"
#include "workflow/output_writer.h"
#include "workflow/tiff_pages.h"

namespace {

using namespace std::string_view_literals;

bool StartsWith(const std::string& fileName, std::string_view signature) {
  return ReadText(fileName).substr(0, signature.size()) == signature;
}

// A white bi-level page, which Group 4 shrinks to almost nothing.
std::unique_ptr<TDIB> WhitePage() {
  auto image = std::make_unique<TDIB>();
  image->Allocate(400, 300, df8Bit, 300, 300);
  for (std::int32_t y = 0; y < 300; ++y) {
    for (std::int32_t x = 0; x < 400; ++x) image->SetPixel(x, y, 255);
  }
  ApplyThresholding(*image, {});
  return image;
}

TEST(OutputWriter, FormatsOfNames) {
  struct TCase {
    const char* name;
    std::optional<TOutputFormat> format;
    const char* why;
  } cases[] = {
      {"/o/scan.tif", ofTIFF, "TIFF"},
      {"/o/SCAN.TIF", ofTIFF, "case ignored"},
      {"/o/scan.Bmp", ofBMP, "bitmap"},
      {"/o/scan.png", ofPNG, "PNG"},
      {"/o/scan.tiff", std::nullopt, "the saver knows .tif only; a caller chooses the format"},
      {"/o/scan.jpg", std::nullopt, "never written"},
      {"/o/scan", std::nullopt, "no extension"},
      {"/o/tif", std::nullopt, "only the letters"},
  };
  for (const auto& c : cases) EXPECT_EQ(OutputFormatOfName(c.name), c.format) << c.why;
}

TEST(OutputWriter, AChosenFormatIsWrittenWhateverTheName) {
  TTempFolder folder;
  struct TCase {
    const char* name;
    std::int32_t format;
    std::string_view signature;
    const char* why;
  } cases[] = {
      {"a.tiff", ofTIFF, "II*\0"sv, "the operator's name for a TIFF file"},
      {"b.tif", ofPNG, "\x89PNG"sv, "the format, not the extension, decides"},
      {"c", ofBMP, "BM"sv, "no extension"},
  };
  for (const auto& c : cases) {
    WriteOutput(*GrayPage(1), folder / c.name, c.format, true, true);
    EXPECT_TRUE(StartsWith(folder / c.name, c.signature)) << c.why;
    EXPECT_EQ(FilePixels(folder / c.name), Pixels(*GrayPage(1))) << c.why;
  }
  EXPECT_THROW(WriteOutput(*GrayPage(1), folder / "d.tif", 3, true, false), EError);
  EXPECT_FALSE(std::filesystem::exists(folder / "d.tif")) << "an unknown format writes nothing";
}

TEST(OutputWriter, AnUnknownExtensionWritesNothing) {
  TTempFolder folder;
  EXPECT_FALSE(SaveOutput(*GrayPage(1), folder / "a.jpg", true, false));
  EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
}

TEST(OutputWriter, TiffOutputsAreReplacedOrGetAFurtherPage) {
  TTempFolder folder;
  const std::string name = folder / "a.tif";
  // Uncompressed: the automatic choice for gray pages is lossy.
  ASSERT_TRUE(SaveOutput(*GrayPage(1), name, true, true));
  ASSERT_TRUE(SaveOutput(*GrayPage(2), name, false, true));
  ASSERT_EQ(TIFFPageCount(name), 2);
  EXPECT_EQ(FilePixels(name, 1), Pixels(*GrayPage(2)));
  ASSERT_TRUE(SaveOutput(*GrayPage(3), name, true, true));
  EXPECT_EQ(TIFFPageCount(name), 1);
  EXPECT_EQ(FilePixels(name), Pixels(*GrayPage(3)));
}

TEST(OutputWriter, UncompressedMeansEveryByteOfThePage) {
  TTempFolder folder;
  const auto page = WhitePage();
  SaveOutput(*page, folder / "g4.tif", true, false);
  SaveOutput(*page, folder / "raw.tif", true, true);
  const auto rawBytes = static_cast<std::uintmax_t>(400 / 8 * 300);
  EXPECT_LT(std::filesystem::file_size(folder / "g4.tif"), rawBytes);
  EXPECT_GE(std::filesystem::file_size(folder / "raw.tif"), rawBytes);
}

TEST(OutputWriter, PagesOfOneTiffAreWrittenInOneStep) {
  TTempFolder folder;
  const std::string name = folder / "m.tif";
  GrayPage(1)->SaveTIFFToFile(name, false, tcNone, 16);
  TTIFFOutputPages pages(name, false, true);
  pages.Add(*GrayPage(2));
  pages.Add(*GrayPage(3));
  EXPECT_EQ(TIFFPageCount(name), 1) << "nothing reaches the file before Save";
  pages.Save();
  ASSERT_EQ(TIFFPageCount(name), 3) << "the existing page comes first";
  EXPECT_EQ(FilePixels(name, 0), Pixels(*GrayPage(1)));
  EXPECT_EQ(FilePixels(name, 2), Pixels(*GrayPage(3)));

  TTIFFOutputPages replacing(name, true, false);
  replacing.Add(*GrayPage(4));
  replacing.Save();
  EXPECT_EQ(TIFFPageCount(name), 1);
}

}  // namespace
