// Counting the pages of a TIFF file, and the answer for files that are no TIFF.
#include <gtest/gtest.h>

#include "batch_fixtures.h"
#include "temp_folder.h"
#include "workflow/tiff_pages.h"

namespace {

TEST(TiffPages, CountsPagesAndTakesAnythingElseAsOne) {
  TTempFolder folder;
  for (std::int32_t page = 0; page < 3; ++page) {
    GrayPage(page)->SaveTIFFToFile(folder / "three.tif", page > 0, tcNone, 16);
  }
  GrayPage(1)->SavePNGToFile(folder / "a.png");
  struct TCase {
    std::string file;
    std::int32_t pages;
    const char* why;
  } cases[] = {
      {folder / "three.tif", 3, "every directory"},
      {folder / "a.png", 1, "no TIFF: read as one image"},
      {folder.Write("bad.tif", std::string("II*\0\xff\xff\xff\x7f", 8)), 1,
       "a first directory beyond the end"},
      {folder / "missing.tif", 1, "the reader reports the failure"},
  };
  for (const auto& c : cases) EXPECT_EQ(TIFFPageCount(c.file), c.pages) << c.why;
}

}  // namespace
