// The real zonewright-cli program: exit statuses and messages for good runs, failing files,
// missing and unwritable folders and bad options, and the stored settings as defaults.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "batch_fixtures.h"
#include "cli/command_runner.h"
#include "temp_folder.h"
#include "workflow/tiff_pages.h"

namespace {

using TResult = TCommandResult;

class Command : public testing::Test {
 protected:
  void SetUp() override {
    GrayPage(1)->SaveTIFFToFile(in / "a.tif", false, tcLZW, 16);
    GrayPage(2)->SavePNGToFile(in / "b.png");
  }

  // Runs the program with the arguments; the settings store is the test's own, empty
  // unless the test writes it.
  TResult Run(const std::vector<std::string>& arguments) const {
    return RunCommand(arguments, settings, work);
  }

  TTempFolder in, out, work;
  std::string settings = work / "settings.reg";
};

TEST_F(Command, RunsOnAFolder) {
  const TResult r = Run({in.Path(), "-o", out / "o"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(std::filesystem::exists(out / "o/a.tif"));
  EXPECT_TRUE(std::filesystem::exists(out / "o/b.tif"));
  EXPECT_NE(r.err.find("-> " + out / "o/b.tif"), std::string::npos)
      << "plain lines when standard error is no terminal: " << r.err;
  EXPECT_NE(r.err.find("2 written, 0 skipped, 0 failed"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find('\r'), std::string::npos) << "no progress bar in a file";
}

TEST_F(Command, QuietShowsNothingWhenAllIsWell) {
  const TResult r = Run({in.Path(), "-o", out.Path(), "-q"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
}

TEST_F(Command, VerboseShowsTheTimes) {
  const TResult r = Run({in / "a.tif", "-o", out.Path(), "--verbose"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.err.find("1 page, read "), std::string::npos) << r.err;
  EXPECT_NE(r.err.find(" ms, binarize "), std::string::npos) << r.err;
  EXPECT_NE(r.err.find(" ms, write "), std::string::npos) << r.err;
}

TEST_F(Command, AFailingFileGivesStatusOneAndItsNameAndReason) {
  in.Write("bad.tif", "II*\0 broken");
  const TResult r = Run({in.Path(), "-o", out.Path(), "-q"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind("zonewright-cli: " + in / "bad.tif" + ": cannot read: ", 0), 0u) << r.err;
  EXPECT_TRUE(std::filesystem::exists(out / "a.tif")) << "the others go on";
}

TEST_F(Command, AMissingInputFolderGivesStatusOne) {
  const TResult r = Run({in / "nowhere", "-o", out.Path(), "-q"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "zonewright-cli: " + in / "nowhere" + ": No such file or directory\n");
}

TEST_F(Command, AnOutputFolderThatCannotBeMadeGivesStatusOne) {
  const std::string file = out.Write("file", "");
  const TResult r = Run({in.Path(), "-o", file + "/o"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "zonewright-cli: " + file + "/o/: Not a directory\n");
}

TEST_F(Command, AReadOnlyOutputFolderGivesStatusOne) {
  if (::geteuid() == 0) GTEST_SKIP() << "rights do not hold back the superuser";
  ASSERT_EQ(::chmod(out.Path().c_str(), 0555), 0);
  const TResult r = Run({in.Path(), "-o", out.Path(), "-q"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find(in / "a.tif" + ": cannot write " + out / "a.tif" + ": Permission denied"),
            std::string::npos)
      << r.err;
}

TEST_F(Command, BadUsageGivesStatusTwoAndAHint) {
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{},
        {in.Path(), "--bogus"},
        {in.Path(), "--jobs", "x"},
        {in.Path(), "--settings", work / "missing.reg"}}) {
    const TResult r = Run(arguments);
    EXPECT_EQ(r.status, 2) << testing::PrintToString(arguments);
    EXPECT_NE(r.err.find("Try 'zonewright-cli --help'"), std::string::npos) << r.err;
  }
}

TEST_F(Command, HelpGoesToStandardOutput) {
  const TResult r = Run({"--help"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.rfind("Usage: zonewright-cli", 0), 0u);
  EXPECT_NE(r.out.find("--shard K/N"), std::string::npos);
}

TEST_F(Command, TheStoredBatchOptionsAreTheDefaults) {
  work.Write("settings.reg",
             "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Vardemont Technologies\\Zonewright\\"
             "Batch]\n\"Output Folder\"=\"" +
                 out / "stored" +
                 "\"\n"
                 "\"Output Format\"=dword:00000002\n");
  const TResult r = Run({in / "a.tif", "-q"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(std::filesystem::exists(out / "stored/a.png"));
  const std::string other = work.Write("other.reg", "REGEDIT4\n");
  EXPECT_EQ(Run({in / "a.tif", "-q", "--settings", other, "-o", out / "x"}).status, 0);
  EXPECT_TRUE(std::filesystem::exists(out / "x/a.tif")) << "--settings reads another store";
}

TEST_F(Command, ResumesWithSkipExisting) {
  EXPECT_EQ(Run({in.Path(), "-o", out.Path(), "-q", "--append"}).status, 0);
  const TResult r = Run({in.Path(), "-o", out.Path(), "--append", "--skip-existing"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.err.find("0 written, 2 skipped"), std::string::npos) << r.err;
  EXPECT_EQ(TIFFPageCount(out / "a.tif"), 1);
}

}  // namespace
