// The real zonewright-cli program asked for its version: the answer, when it is given instead
// of a run, and when the words are not the option at all.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/command_runner.h"
#include "temp_folder.h"

namespace {

using TAnswer = TCommandResult;

// Runs the command with its settings store pointed at a file that does not exist, so that
// the operator's stored settings play no part.
TAnswer Ask(const TTempFolder& work, const std::vector<std::string>& arguments) {
  return RunCommand(arguments, work / "none.reg", work);
}

const std::string kVersionLine = std::string("zonewright-cli ") + ZW_VERSION + "\n";

TEST(Version, AnswersInsteadOfARun) {
  TTempFolder work;
  struct Case {
    std::vector<std::string> arguments;
    const char* reason;
  };
  const Case cases[] = {
      {{"--version"}, "needs no input and no output folder"},
      {{"in.tif", "-o", work / "out", "--version"}, "answers instead of binarizing"},
      {{"--version", "--settings", work / "missing.reg"}, "reads no stored settings"},
      {{"--version", "--version"}, "said twice, answered once"},
  };
  for (const Case& c : cases) {
    const TAnswer a = Ask(work, c.arguments);
    EXPECT_EQ(a.status, 0) << c.reason << "\n" << a.err;
    EXPECT_EQ(a.out, kVersionLine) << c.reason;
    EXPECT_EQ(a.err, "") << c.reason;
    EXPECT_FALSE(std::filesystem::exists(work / "out")) << c.reason;
  }
}

TEST(Version, OnlyTheOptionItselfAsksForIt) {
  TTempFolder work;
  struct Case {
    std::vector<std::string> arguments;
    int status;
    const char* expectedError;
    const char* reason;
  };
  const Case cases[] = {
      {{"-o", work / "out", "--", "--version"},
       1,
       "zonewright-cli: --version: ",
       "after -- it names an input file, which is read"},
      {{"--version=1"}, 2, "--version takes no value", "the option takes no value"},
      {{"--version", "--bogus"}, 2, "unknown option '--bogus'", "a bad command line is still bad"},
      {{"-V"}, 2, "unknown option '-V'", "no short form"},
  };
  for (const Case& c : cases) {
    const TAnswer a = Ask(work, c.arguments);
    EXPECT_EQ(a.status, c.status) << c.reason;
    EXPECT_EQ(a.out, "") << c.reason;
    EXPECT_NE(a.err.find(c.expectedError), std::string::npos) << c.reason << "\n" << a.err;
  }
}

TEST(Version, TheUsageNamesTheOption) {
  TTempFolder work;
  const TAnswer a = Ask(work, {"--help"});
  EXPECT_EQ(a.status, 0);
  EXPECT_NE(a.out.find("\n  --version "), std::string::npos) << a.out;
}

}  // namespace
