// The read-ahead loader and the background saver: what they read and write, who frees the
// image blocks, and that a failed save is kept for the operator instead of vanishing.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/image_loader.h"
#include "app/save_queue.h"
#include "image/dibunit.h"
#include "temp_folder.h"
#include "workflow/batch_options.h"
#include "workflow/tiff_pages.h"

namespace {

// A small bi-level page, as a block the caller owns.
TMemoryHandle BilevelBlock(std::int32_t width = 24, std::int32_t height = 16) {
  TDIB image;
  image.Allocate(width, height, df1Bit, 300, 300);
  image.SetPaletteEntry(1, 0xFFFFFF);
  image.Fill(0xF0);
  image.OwnsHandle = false;
  return image.GetHandle();
}

std::string WriteBilevelTIFF(const TTempFolder& folder, const std::string& name) {
  TDIB image;
  image.AssignHandle(BilevelBlock());
  const std::string fileName = folder / name;
  image.SaveTIFFToFile(fileName, false, tcAuto, 16);
  return fileName;
}

}  // namespace

TEST(ImageLoader, HandsTheImageOverAsABlock) {
  TTempFolder folder;
  auto loader = MakeWorker<TImageLoader>(WriteBilevelTIFF(folder, "page.tif"));
  loader->Start();
  loader->WaitFor();
  TDIB image;
  image.AssignHandle(loader->TakeImage());
  EXPECT_EQ(image.Width(), 24);
  EXPECT_EQ(loader->TakeImage(), 0u) << "the image is given out once";
}

TEST(ImageLoader, FailedReadLeavesNoImage) {
  TTempFolder folder;
  auto loader = MakeWorker<TImageLoader>(folder.Write("broken.tif", "II*\0garbage"));
  loader->Start();
  loader->WaitFor();
  EXPECT_TRUE(loader->Failed());
  EXPECT_EQ(loader->TakeImage(), 0u);
}

TEST(ImageLoader, AnUntakenImageIsFreedWithTheLoader) {
  TTempFolder folder;
  TMemoryHandle image = 0;
  {
    auto loader = MakeWorker<TImageLoader>(WriteBilevelTIFF(folder, "page.tif"));
    loader->Start();
    loader->WaitFor();
    image = loader->TakeImage();
    auto second = MakeWorker<TImageLoader>(WriteBilevelTIFF(folder, "next.tif"));
    second->Start();  // discarded unread, as a read-ahead the operator never used
  }
  EXPECT_TRUE(BlockIsValid(image)) << "a taken image belongs to the taker";
  BlockFree(image);
}

TEST(SaveTargetName, FormatChoosesTheExtension) {
  struct Case {
    std::int32_t format;
    const char* name;
    const char* expected;
    const char* reason;
  } cases[] = {
      {0, "out/page.jpg", "out/page.tif", "TIFF"},
      {1, "out/page.jpg", "out/page.bmp", "bitmap"},
      {2, "out/page", "out/page.png", "a name without extension gets one"},
      {-1, "out/page.PNG", "out/page.PNG", "no format: the name is kept as it is"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SaveTargetName({c.name, c.format, true, false, std::nullopt}), c.expected)
        << c.reason;
  }
}

TEST(SaveQueue, WritesAppendsAndReplaces) {
  TTempFolder folder;
  const std::string name = folder / "page.tif";
  TSaveQueue saves;
  saves.Start({name, 0, true, false, std::nullopt}, BilevelBlock(), 1);
  saves.Start({name, 0, false, false, std::nullopt}, BilevelBlock(), 1);  // waits for the first
  saves.WaitForSave();
  EXPECT_EQ(TIFFPageCount(name), 2) << "overwrite off adds a page to an existing TIFF";
  saves.Start({name, 0, true, false, std::nullopt}, BilevelBlock(), 1);
  saves.WaitForSave();
  EXPECT_EQ(TIFFPageCount(name), 1) << "overwrite on replaces the file";
  EXPECT_TRUE(saves.TakeFailures().empty());
}

TEST(SaveQueue, FailuresAreKeptUntilTaken) {
  TTempFolder folder;
  TSaveQueue saves;
  saves.Start({folder / "missing/page.tif", 0, true, false, std::nullopt}, BilevelBlock(), 7);
  saves.Start({folder / "page.jpg", -1, true, false, std::nullopt}, BilevelBlock(), 8);
  saves.WaitForSave();
  const std::vector<TSaveFailure> failures = saves.TakeFailures();
  ASSERT_EQ(failures.size(), 2u) << "a second failure does not hide the first";
  EXPECT_EQ(failures[0].FileName, folder / "missing/page.tif");
  EXPECT_EQ(failures[0].ImageSerial, 7u);
  EXPECT_EQ(failures[1].Reason, "its extension is none of .tif, .bmp and .png")
      << "a save that writes nothing is a failed save";
  EXPECT_FALSE(std::filesystem::exists(folder / "page.jpg"));
  EXPECT_TRUE(saves.TakeFailures().empty()) << "each failure is given out once";
}

TEST(SaveQueue, AChosenFormatIsWrittenWhateverTheExtension) {
  TTempFolder folder;
  TSaveQueue saves;
  saves.Start({folder / "page.jpeg", -1, true, false, ofTIFF}, BilevelBlock(), 1);
  saves.WaitForSave();
  EXPECT_TRUE(saves.TakeFailures().empty());
  EXPECT_EQ(TIFFPageCount(folder / "page.jpeg"), 1) << "a TIFF under the name the operator chose";
}

TEST(SaveFailureText, NamesFileAndReason) {
  const TSaveFailure failure{"out/page.tif", "No space left on device", 3};
  EXPECT_EQ(SaveFailureText(failure, true),
            "out/page.tif could not be written: No space left on device");
  EXPECT_EQ(SaveFailureText(failure, false),
            "out/page.tif could not be written: No space left on device\n"
            "The result of that page was not saved.");
}
