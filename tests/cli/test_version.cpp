// The real zonewright-cli program asked for its version: the answer, when it is given instead
// of a run, and when the words are not the option at all.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <string>
#include <vector>

#include "temp_folder.h"

extern char** environ;

namespace {

struct TAnswer {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs the command with its settings store pointed at a file that does not exist, so that
// the operator's stored settings play no part.
TAnswer Ask(const TTempFolder& work, const std::vector<std::string>& arguments) {
  std::vector<std::string> texts = {ZW_CLI_PATH};
  texts.insert(texts.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (auto& text : texts) argv.push_back(text.data());
  argv.push_back(nullptr);
  std::vector<std::string> environment = {"ZONEWRIGHT_SETTINGS=" + work / "none.reg"};
  for (char** e = environ; *e != nullptr; ++e) {
    if (std::string(*e).rfind("ZONEWRIGHT_SETTINGS=", 0) != 0) environment.emplace_back(*e);
  }
  std::vector<char*> envp;
  for (auto& text : environment) envp.push_back(text.data());
  envp.push_back(nullptr);

  const std::string outFile = work / "stdout", errFile = work / "stderr";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  TAnswer answer;
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) == 0) {
    int status = 0;
    waitpid(pid, &status, 0);
    answer.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  posix_spawn_file_actions_destroy(&actions);
  answer.out = ReadText(outFile);
  answer.err = ReadText(errFile);
  return answer;
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
