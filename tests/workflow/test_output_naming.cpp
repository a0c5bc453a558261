// Output names of the batch: folder, input name, extension of the format, page numbers.
#include <gtest/gtest.h>

#include "workflow/output_naming.h"

namespace {

TEST(OutputNaming, OutputFileNames) {
  struct TCase {
    const char* input;
    std::int32_t format;
    const char* expected;
    const char* why;
  } cases[] = {
      {"/in/scan.jpg", 0, "/out/scan.tif", "TIFF"},
      {"/in/scan.jpg", 1, "/out/scan.bmp", "BMP"},
      {"/in/scan.jpg", 2, "/out/scan.png", "PNG"},
      {"/in/scan.jpg", 3, "/out/scan.tif", "another format keeps .tif, a TIFF output"},
      {"/in/scan.jpg", -1, "/out/scan.tif", "also below"},
      {"/in/SCAN.TIF", 2, "/out/SCAN.png", "the name keeps its case"},
      {"/in/a.b.c.jpg", 0, "/out/a.b.c.tif", "only the last extension goes"},
      {"/in/scan", 1, "/out/scan.bmp", "no extension: one is added"},
      {"/in.d/scan", 0, "/out/scan.tif", "a dot in a folder is no extension"},
      {"scan.png", 0, "/out/scan.tif", "a bare name"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(OutputFileName("/out/", c.input, c.format), c.expected) << c.why;
  }
}

TEST(OutputNaming, PageFileNames) {
  EXPECT_EQ(PageFileName("/out/scan.png", 0), "/out/scan-0001.png");
  EXPECT_EQ(PageFileName("/out/scan.png", 11), "/out/scan-0012.png");
  EXPECT_EQ(PageFileName("/out/scan.png", 12344), "/out/scan-12345.png");
  EXPECT_EQ(PageFileName("/o.d/scan", 0), "/o.d/scan-0001");
}

}  // namespace
