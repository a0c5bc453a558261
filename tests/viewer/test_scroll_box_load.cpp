// Reading files into a real view: the reader chosen by extension, the progress reports, the
// last page of a multi-page output, and a failed read that leaves nothing on screen.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image/dibunit.h"
#include "tests/temp_folder.h"
#include "tests/viewer/test_scroll_box_fixture.h"
#include "viewer/view_file_reader.h"

namespace {

using scroll_box_test::PatternView;
using scroll_box_test::ShownView;

// Writes a 24-bit image of width x height, filled with value, in the given way.
void WriteImage(const std::string& fileName, std::int32_t width, std::int32_t height,
                std::uint8_t value, bool tiffAppend = false) {
  TDIB image;
  image.Allocate(width, height, df24Bit, 96, 96);
  image.Fill(value);
  if (fileName.ends_with(".tif")) {
    image.SaveTIFFToFile(fileName, tiffAppend, tcNone, 0);
  } else {
    image.SaveBMPToFile(fileName);
  }
}

struct TExtensionCase {
  const char* FileName;
  const char* Expected;
  const char* Reason;
};

const TExtensionCase kExtensionCases[] = {
    {"/a/page.tif", "TIF", "upper-cased, without the dot"},
    {"/a/page.Jpeg", "JPEG", "any case"},
    {"/a.b/page", "PAGE", "no extension: the whole name, not the folder's"},
    {"archive.tar.TIFF", "TIFF", "only the last extension"},
};

TEST(ScrollBoxLoad, TheReaderIsChosenByTheExtension) {
  for (const TExtensionCase& c : kExtensionCases) {
    EXPECT_EQ(ReaderExtension(c.FileName), c.Expected) << c.Reason;
  }
}

TEST(ScrollBoxLoad, ABitmapIsReadWithItsFourProgressReports) {
  TTempFolder folder;
  const std::string name = folder / "page.bmp";
  WriteImage(name, 30, 20, 200);
  auto view = ShownView(200, 100);
  std::vector<int> progress;
  std::vector<std::string> order;
  view->OnReadWriteProgress = [&](const void*, std::uint8_t percent) {
    progress.push_back(percent);
  };
  view->OnNewGraphic = [&](TDibGraphic&) { order.push_back("new"); };
  view->OnRedraw = [&](TDibGraphic&) { order.push_back("redraw"); };
  view->LoadFromFile(name, 1);
  EXPECT_EQ(progress, (std::vector<int>{0, 25, 90, 100}));
  EXPECT_EQ(order, (std::vector<std::string>{"new", "redraw"}));
  EXPECT_EQ(view->Graphic().Width(), 30);
  EXPECT_EQ(view->DisplayGraphic().Height(), 20);
  EXPECT_EQ(view->FileName(), name);
}

TEST(ScrollBoxLoad, IndexZeroShowsTheLastPageOfAnOutputFile) {
  TTempFolder folder;
  const std::string name = folder / "result.tif";
  WriteImage(name, 10, 10, 0);
  WriteImage(name, 20, 15, 255, true);
  auto view = ShownView(200, 100);
  view->LoadFromFile(name, 0);
  EXPECT_EQ(view->Graphic().Width(), 20);
  EXPECT_EQ(view->Graphic().Height(), 15);
  view->LoadFromFile(name, 1);
  EXPECT_EQ(view->Graphic().Width(), 10) << "a page chosen by number";
}

TEST(ScrollBoxLoad, AFailedReadLeavesTheViewEmptyAndTheNameAsItWas) {
  TTempFolder folder;
  const std::string good = folder / "good.bmp";
  WriteImage(good, 30, 20, 200);
  const std::string bad = folder.Write("bad.bmp", "BM this is no bitmap");
  auto view = ShownView(200, 100);
  view->SetMouseMode(mmRubberband);
  view->LoadFromFile(good, 1);
  EXPECT_ANY_THROW(view->LoadFromFile(bad, 1));
  EXPECT_TRUE(view->Graphic().Empty());
  EXPECT_TRUE(view->DisplayGraphic().Empty()) << "the old picture is not shown as this one";
  EXPECT_EQ(view->FileName(), good);
}

TEST(ScrollBoxLoad, AnEmptyNameClearsTheViewAndItsBand) {
  auto view = PatternView(200, 100, 50, 40);
  view->SetMouseMode(mmRubberband);
  scroll_box_test::DragMouse(*view, {5, 5}, {30, 30});
  ASSERT_TRUE(view->Rubberband()->HasSelection());
  int newGraphics = 0;
  view->OnNewGraphic = [&](TDibGraphic&) { ++newGraphics; };
  view->SetFileName("");
  EXPECT_TRUE(view->Graphic().Empty());
  EXPECT_TRUE(view->DisplayGraphic().Empty());
  EXPECT_FALSE(view->Rubberband()->HasSelection());
  EXPECT_EQ(newGraphics, 1);
}

}  // namespace
