// The tune command end to end: on pages whose ground truth is a fixed level, the standard
// method's grid must find that level, and methods without a result must be reported, not
// scored.
#include <gtest/gtest.h>

#include "tests/evaluate/command_fixtures.h"

namespace {

TEST(TuneCommand, FindsTheLevelThatMadeTheTruth) {
  const TTempFolder folder;
  WritePageWithTruth(folder, "p1", 1, 120);
  WritePageWithTruth(folder, "p2", 2, 120);
  const TRun run =
      RunEval({"tune", "--algo", "standard,pei", "--csv", "-q", "-j", "2", folder.Path()});
  EXPECT_EQ(run.Status, 0) << run.Err;
  EXPECT_EQ(run.Err, "");
  const std::string perfect = ",100.000000,inf,0.000000,--algo 0 --brightness 120,";
  for (const std::string& row :
       {"method,0 standard" + perfect + "\n", "overall,best single setting" + perfect + "\n",
        "page,p1" + perfect + "\n", "page,p2" + perfect + "\n",
        std::string("tuned,each page's best,100.000000,,,,\n"),
        std::string("method,5 pei,,,,,(1 of 1 settings left out: leaves the pages gray: no "
                    "method to tune)\n")}) {
    EXPECT_NE(run.Out.find(row), std::string::npos) << row << "\nin\n" << run.Out;
  }
}

TEST(TuneCommand, ProgressGoesToStandardError) {
  const TTempFolder folder;
  WritePageWithTruth(folder, "p1", 1);
  const TRun run = RunEval({"tune", "--algo", "auto", folder.Path()});
  EXPECT_EQ(run.Status, 0) << run.Err;
  EXPECT_NE(run.Err.find("1 auto, 5 settings: 5/5 runs (100%)"), std::string::npos) << run.Err;
  EXPECT_NE(run.Out.find("Tuned mean F-measure"), std::string::npos);
}

TEST(TuneCommand, NoPageToTuneOnFails) {
  const TTempFolder folder;
  GrayPage(1)->SavePNGToFile(folder / "lonely.png");
  const TRun run = RunEval({"tune", "--algo", "0", folder.Path()});
  EXPECT_EQ(run.Status, 1);
  EXPECT_NE(run.Err.find("lonely.png: no ground truth"), std::string::npos) << run.Err;
  EXPECT_NE(run.Err.find("no page to tune on"), std::string::npos) << run.Err;
  EXPECT_EQ(run.Out, "");
}

}  // namespace
