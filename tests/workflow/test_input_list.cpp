// The image files of a batch: mask order, name order, folders, names given twice, inputs that
// cannot be read, and the batch list of a folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "temp_folder.h"
#include "workflow/input_list.h"

namespace {

// scan1.png, scan2.tif, scan3.jpg; b.TIF, a.tif and C.tif to sort; x.bmp; notes.txt, which
// no mask takes; a folder sub.tif that a mask takes.
class InputList : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* name :
         {"scan1.png", "scan2.tif", "scan3.jpg", "b.TIF", "a.tif", "C.tif", "x.bmp", "notes.txt"}) {
      folder.Write(name, "");
    }
    std::filesystem::create_directory(folder / "sub.tif");
  }

  std::vector<std::string> Named(std::initializer_list<const char*> names) const {
    std::vector<std::string> files;
    for (const char* name : names) files.push_back(folder / name);
    return files;
  }

  TTempFolder folder;
};

TEST_F(InputList, AFolderGivesItsImagesMaskByMaskAndByName) {
  const TInputList list = CollectInputs({folder.Path()});
  EXPECT_EQ(list.Files,
            Named({"a.tif", "b.TIF", "C.tif", "scan2.tif", "scan3.jpg", "x.bmp", "scan1.png"}))
      << "folders are not images";
  EXPECT_TRUE(list.Errors.empty());
}

TEST_F(InputList, TheBatchListKeepsEveryEntryAndNeverFails) {
  struct TCase {
    std::string folder;
    std::vector<std::string> files;
    const char* why;
  } cases[] = {
      {folder.Path(),
       Named(
           {"a.tif", "b.TIF", "C.tif", "scan2.tif", "sub.tif", "scan3.jpg", "x.bmp", "scan1.png"}),
       "entries of every kind, as the folder scan lists them"},
      {folder / "",
       Named(
           {"a.tif", "b.TIF", "C.tif", "scan2.tif", "sub.tif", "scan3.jpg", "x.bmp", "scan1.png"}),
       "the separator is added"},
      {folder / "none", {}, "a missing folder gives an empty list"},
  };
  for (const auto& c : cases) EXPECT_EQ(ScanImageFolder(c.folder), c.files) << c.why;
}

TEST_F(InputList, AFileNamedTwiceIsListedOnceAtItsFirstPlace) {
  const TInputList list =
      CollectInputs({folder / "x.bmp", folder.Path(), folder.Path() + "./a.tif", folder / "x.bmp"});
  EXPECT_EQ(list.Files,
            Named({"x.bmp", "a.tif", "b.TIF", "C.tif", "scan2.tif", "scan3.jpg", "scan1.png"}));
}

TEST_F(InputList, InputsThatCannotBeReadAreReportedAndTheOthersGoOn) {
  const TInputList list = CollectInputs({folder / "gone.png", folder / "notes.txt"});
  EXPECT_EQ(list.Files, Named({"notes.txt"})) << "a file named directly is taken as it is";
  ASSERT_EQ(list.Errors.size(), 1u);
  EXPECT_EQ(list.Errors[0].Input, folder / "gone.png");
  EXPECT_EQ(list.Errors[0].Reason, "No such file or directory");
}

TEST_F(InputList, EveryPathToAFileHasOneIdentity) {
  std::filesystem::create_symlink(folder / "a.tif", folder / "link.tif");
  struct TCase {
    std::string path;
    const char* why;
  } cases[] = {
      {folder.Path() + "./a.tif", "a dot"},
      {folder.Path() + "sub.tif/../a.tif", "a way back up"},
      {folder / "link.tif", "a link"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FileIdentity(c.path), FileIdentity(folder / "a.tif")) << c.why;
  }
  EXPECT_EQ(FileIdentity(folder.Path() + "./new.tif"), FileIdentity(folder / "new.tif"))
      << "also for a file that does not exist yet";
}

}  // namespace
