// The score command end to end on small generated pages: results scored as they are, a method
// run on the pages, and the failures it must report rather than score.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "evaluate/eval_command.h"
#include "evaluate/eval_command_line.h"
#include "tests/evaluate/command_fixtures.h"
#include "tests/temp_folder.h"

namespace {

TEST(ScoreCommand, MethodThatMadeTheTruthScoresPerfectly) {
  const TTempFolder folder;
  WritePageWithTruth(folder, "p1", 1);
  WritePageWithTruth(folder, "p2", 2);
  const TRun run = RunEval({"score", "--algo", "0", "--brightness", "128", "--csv", folder.Path()});
  EXPECT_EQ(run.Status, 0) << run.Err;
  EXPECT_EQ(run.Out,
            "page,fmeasure,psnr,drd\n"
            "p1,100.000000,inf,0.000000\n"
            "p2,100.000000,inf,0.000000\n"
            "mean,100.000000,inf,0.000000\n");
}

TEST(ScoreCommand, ResultFilesAgainstATruthFolder) {
  const TTempFolder folder;
  std::filesystem::create_directories(folder / "truth");
  std::filesystem::create_directories(folder / "out");
  WritePageWithTruth(folder, "truth/p1", 1);
  const auto result = GrayPage(1);
  ApplyThresholding(*result, TThresholdSettings{taStandard, 0, 0, 100});
  result->SavePNGToFile(folder / "out/p1.png");
  const TRun run = RunEval({"score", "--gt", folder / "truth", folder / "out/p1.png"});
  EXPECT_EQ(run.Status, 0) << run.Err;
  EXPECT_NE(run.Out.find("mean (1 page)"), std::string::npos) << run.Out;
  EXPECT_EQ(run.Out.find("inf"), std::string::npos) << "another level must differ: " << run.Out;
}

TEST(ScoreCommand, FailuresAreReportedNotScored) {
  struct TCase {
    const char* Reason;
    std::vector<std::string> Options;
    const char* Message;
  } cases[] = {
      {"PEI leaves the page gray: scoring it at 128 would invent a result",
       {"--algo", "5"},
       "leaves the page gray"},
      {"a window larger than the page fails in MinMax",
       {"--algo", "2", "--area", "999x999"},
       "Bad AreaW or AreaH value"},
  };
  const TTempFolder folder;
  WritePageWithTruth(folder, "p1", 3);
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Reason);
    std::vector<std::string> arguments{"score"};
    arguments.insert(arguments.end(), c.Options.begin(), c.Options.end());
    arguments.push_back(folder / "p1.png");
    const TRun run = RunEval(arguments);
    EXPECT_EQ(run.Status, 1);
    EXPECT_NE(run.Err.find(c.Message), std::string::npos) << run.Err;
    EXPECT_EQ(run.Out, "");
  }
}

TEST(ScoreCommand, MismatchedSizeAndMissingTruthFailThatPageOnly) {
  const TTempFolder folder;
  WritePageWithTruth(folder, "good", 1);
  GrayPage(2, 40, 30)->SavePNGToFile(folder / "small.png");
  GrayPage(2, 30, 40)->SavePNGToFile(folder / "small_gt.png");
  GrayPage(3)->SavePNGToFile(folder / "lonely.png");
  const TRun run = RunEval({"score", "--algo", "0", "--brightness", "128", folder.Path()});
  EXPECT_EQ(run.Status, 1);
  EXPECT_NE(run.Err.find("small.png: the result is 40 x 30 pixels but its ground truth is 30 x 40"),
            std::string::npos)
      << run.Err;
  EXPECT_NE(run.Err.find("lonely.png: no ground truth"), std::string::npos) << run.Err;
  EXPECT_NE(run.Out.find("good"), std::string::npos);
  EXPECT_NE(run.Out.find("mean (1 page)"), std::string::npos);
}

TEST(EvalCommandLine, BadCommandLinesAreRefused) {
  struct TCase {
    const char* Reason;
    std::vector<std::string> Arguments;
    const char* Message;
  } cases[] = {
      {"no command", {"page.png"}, "unknown command 'page.png'"},
      {"only options", {"--csv"}, "no command"},
      {"no input", {"score"}, "no input"},
      {"a method out of range", {"score", "--algo", "12", "p"}, "'12' is no method"},
      {"score runs one method", {"score", "--algo", "1,2", "p"}, "score runs one method"},
      {"settings without a method would be ignored",
       {"score", "--contrast", "5", "p"},
       "need --algo"},
      {"tune searches the settings itself",
       {"tune", "--area", "5x5", "p"},
       "--area is not an option of tune"},
      {"an option before the command is checked too",
       {"--jobs", "2", "score", "p"},
       "--jobs is not an option of score"},
      {"jobs must be positive", {"tune", "-j", "0", "p"}, "outside 1..1024"},
      {"an area needs two numbers", {"score", "--algo", "3", "--area", "31", "p"}, "is not WxH"},
      {"an empty method in a list", {"tune", "--algo", "1,,2", "p"}, "'' is no method"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Reason);
    const TRun run = RunEval(c.Arguments);
    EXPECT_EQ(run.Status, 2);
    EXPECT_NE(run.Err.find(c.Message), std::string::npos) << run.Err;
  }
}

TEST(EvalCommandLine, SettingsLeftOutTakeTheRecordDefaults) {
  const TEvalCommandLine c =
      ParseEvalCommandLine({"score", "--algo=NIBLACK", "--contrast", "16", "--area", "31x21", "p"});
  TThresholdSettings expected;
  expected.Algo = 3;
  expected.Contrast = 16;
  expected.AreaWidth = 31;
  expected.AreaHeight = 21;
  EXPECT_EQ(ScoreSettings(c), expected);
}

}  // namespace
