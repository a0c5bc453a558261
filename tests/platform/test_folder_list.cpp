// Folder listing with wildcard masks and the program's own folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/errors.h"
#include "platform/folder_list.h"
#include "temp_folder.h"

namespace {

TEST(FolderList, MasksMatchWholeNamesIgnoringCase) {
  struct TCase {
    const char* name;
    const char* mask;
    bool matches;
    const char* why;
  } cases[] = {
      {"scan.tif", "*.tif", true, "plain"},
      {"SCAN.TIF", "*.tif", true, "scanners write upper case"},
      {"scan.Tif", "*.TIF", true, "case ignored on both sides"},
      {"scan.tiff", "*.tif", false, "the whole name must match"},
      {"scan.tif.bak", "*.tif", false, "the extension is at the end"},
      {".tif", "*.tif", true, "a star matches nothing too"},
      {"a.b.tif", "*.tif", true, "the star spans dots"},
      {"scan1.png", "scan?.png", true, "a question mark is one character"},
      {"scan.png", "scan?.png", false, "and not none"},
      {"abcabd", "*abd", true, "the star gives back what it took"},
      {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaab", "*a*a*a*a*a*a*a*c", false, "no exponential search"},
      {"x", "", false, "an empty mask matches only an empty name"},
      {"anything", "*", true, "a lone star"},
      {"\xc3\xa9t\xc3\xa9.JPG", "*.jpg", true, "names beyond ASCII"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MatchesMask(c.name, c.mask), c.matches) << c.name << " / " << c.mask << ": " << c.why;
  }
}

TEST(FolderList, ListsMatchingEntriesSortedByName) {
  TTempFolder folder;
  for (const char* name : {"b.tif", "A.TIF", "c.jpg", "a.tif", "C.tif", "notes.txt"}) {
    folder.Write(name, "");
  }
  std::filesystem::create_directory(folder / "dir.tif");
  EXPECT_EQ(ListFolder(folder.Path(), "*.tif"),
            (std::vector<std::string>{"A.TIF", "a.tif", "b.tif", "C.tif", "dir.tif"}));
  EXPECT_EQ(ListFolder(folder.Path(), "*.png"), std::vector<std::string>{});
}

TEST(FolderList, MissingFolderThrowsWithTheSystemText) {
  TTempFolder folder;
  try {
    ListFolder(folder / "missing", "*.tif");
    FAIL() << "no exception";
  } catch (const EOSError& error) {
    EXPECT_EQ(error.ErrorCode(), ENOENT);
    EXPECT_NE(std::string(error.what()).find("missing"), std::string::npos) << error.what();
  }
}

TEST(FolderList, TrailingDelimiter) {
  EXPECT_EQ(IncludeTrailingPathDelimiter("/a"), "/a/");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/a/"), "/a/");
  EXPECT_EQ(IncludeTrailingPathDelimiter(""), "/");
}

TEST(FolderList, ProgramFolderHoldsTheRunningProgram) {
  const std::string folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), kPathDelimiter);
  EXPECT_TRUE(std::filesystem::exists(folder + "tests_platform")) << folder;
}

}  // namespace
