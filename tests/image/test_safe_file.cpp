// Safe saving: the target is replaced only by a complete file; a save that fails leaves the
// old file byte for byte and no temporary file behind; appending starts from a copy; the
// rights of an existing file and symbolic links survive.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "image/dibunit.h"
#include "image/safe_file.h"
#include "platform/errors.h"
#include "tests/image/codec_fixtures.h"

namespace {

std::size_t FileCount(const std::string& folder) {
  std::size_t count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    (void)entry;
    ++count;
  }
  return count;
}

void WriteText(TStream& stream, const std::string& text) {
  stream.Write(text.data(), text.size());
}

std::string TextOf(const std::string& fileName) {
  std::vector<std::uint8_t> bytes = ReadFileBytes(fileName);
  return {bytes.begin(), bytes.end()};
}

TEST(SafeFile, SuccessReplacesTheTargetAndLeavesNothingElse) {
  TScratchDir dir;
  std::string target = dir.Path("page.bmp");
  WriteFileBytes(target, {'o', 'l', 'd', ' ', 'c', 'o', 'n', 't', 'e', 'n', 't'});
  WriteFileSafely(target, false, [](TStream& stream) { WriteText(stream, "new"); });
  EXPECT_EQ(TextOf(target), "new") << "no trace of the longer old content";
  EXPECT_EQ(FileCount(dir.Folder()), 1u);
}

TEST(SafeFile, FailureLeavesTheOldFileAsItWas) {
  TScratchDir dir;
  std::string target = dir.Path("page.png");
  WriteFileBytes(target, {'o', 'l', 'd'});
  struct Case {
    std::function<void(TStream&)> write;
    const char* why;
  };
  const Case cases[] = {
      {[](TStream& stream) {
         WriteText(stream, "partial");
         throw EError("encoder failed");
       },
       "the writer fails half way"},
      {[](TStream&) { throw EOSError(ENOSPC, "disk"); }, "the disk is full"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_THROW(WriteFileSafely(target, false, c.write), EError);
    EXPECT_EQ(TextOf(target), "old");
    EXPECT_EQ(FileCount(dir.Folder()), 1u) << "the temporary file is gone";
  }
}

TEST(SafeFile, FailedImageSaveKeepsTheOldFile) {
  TScratchDir dir;
  std::string target = dir.Path("result.png");
  auto image = MakePatternImage(df8Bit, 5, 5, 0);
  image->SavePNGToFile(target);
  std::vector<std::uint8_t> before = ReadFileBytes(target);
  TDIB empty;
  EXPECT_THROW(empty.SavePNGToFile(target), EError);
  EXPECT_THROW(empty.SaveBMPToFile(target), EError);
  EXPECT_EQ(ReadFileBytes(target), before);
  EXPECT_EQ(FileCount(dir.Folder()), 1u);
}

TEST(SafeFile, StartFromExistingGivesACopyToAppendTo) {
  TScratchDir dir;
  std::string target = dir.Path("pages.tif");
  WriteFileBytes(target, {'o', 'n', 'e'});
  WriteFileSafely(target, true, [](TStream& stream) {
    EXPECT_EQ(stream.Position(), 0);
    EXPECT_EQ(stream.Size(), 3);
    stream.Seek(0, soEnd);
    WriteText(stream, "+two");
  });
  EXPECT_EQ(TextOf(target), "one+two");
  // Without an existing file the stream starts empty.
  std::string fresh = dir.Path("fresh.tif");
  WriteFileSafely(fresh, true, [](TStream& stream) { EXPECT_EQ(stream.Size(), 0); });
  EXPECT_EQ(TextOf(fresh), "");
}

TEST(SafeFile, RightsOfAnExistingFileAreKept) {
  TScratchDir dir;
  std::string target = dir.Path("kept.bmp");
  WriteFileBytes(target, {'x'});
  ASSERT_EQ(chmod(target.c_str(), 0640), 0);
  WriteFileSafely(target, false, [](TStream& stream) { WriteText(stream, "y"); });
  struct stat status {};
  ASSERT_EQ(stat(target.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);
}

TEST(SafeFile, NewFileGetsTheUsualRights) {
  TScratchDir dir;
  std::string target = dir.Path("new.bmp");
  mode_t previous = umask(022);
  WriteFileSafely(target, false, [](TStream& stream) { WriteText(stream, "y"); });
  umask(previous);
  struct stat status {};
  ASSERT_EQ(stat(target.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0644u) << "not the private rights of a temporary file";
}

TEST(SafeFile, SymbolicLinkStaysALink) {
  TScratchDir dir;
  std::string real = dir.Path("real.png");
  std::string link = dir.Path("link.png");
  WriteFileBytes(real, {'o', 'l', 'd'});
  ASSERT_EQ(symlink(real.c_str(), link.c_str()), 0);
  WriteFileSafely(link, false, [](TStream& stream) { WriteText(stream, "new"); });
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(TextOf(real), "new");
}

TEST(SafeFile, MissingFolderNamesTheTarget) {
  TScratchDir dir;
  std::string target = dir.Path("absent/page.bmp");
  try {
    WriteFileSafely(target, false, [](TStream&) {});
    FAIL() << "no exception";
  } catch (const EOSError& error) {
    EXPECT_EQ(error.ErrorCode(), ENOENT);
    EXPECT_EQ(std::string(error.what()).rfind(target + ": ", 0), 0u) << error.what();
  }
}

}  // namespace
