// Picking the best settings from a tuning run's results, on results made up by hand.
#include <gtest/gtest.h>

#include "evaluate/tune_report.h"
#include "evaluate/tune_summary.h"

namespace {

TRunResult Scored(double f) {
  return {TRunOutcome::roScored, {f, 10, 1}, ""};
}
TRunResult Failed(const char* error) {
  return {TRunOutcome::roFailed, {}, error};
}
TRunResult Gray() {
  return {TRunOutcome::roGray, {}, ""};
}

TThresholdSettings Setting(std::int32_t algo, std::int32_t contrast) {
  TThresholdSettings s;
  s.Algo = algo;
  s.Contrast = contrast;
  return s;
}

// Two pages; method 3 with three settings, method 8 with two, PEI with one.
std::vector<TMethodRuns> Runs() {
  return {
      {3,
       {Setting(3, 10), Setting(3, 20), Setting(3, 30)},
       {Scored(80), Scored(60), Scored(90), Scored(40), Scored(99), Failed("too small")}},
      {8, {Setting(8, 10), Setting(8, 20)}, {Scored(75), Scored(75), Scored(50), Scored(95)}},
      {5, {Setting(5, 0)}, {Gray(), Gray()}},
  };
}

TEST(TuneSummary, BestPerMethodOverallAndPerPage) {
  const TTuningSummary summary = SummariseTuning({"p1", "p2"}, Runs());
  struct TCase {
    const char* Reason;
    std::size_t Method;
    std::int32_t Contrast;  // of the best setting; -1: none
    double MeanF;
    std::size_t Incomplete;
  } cases[] = {
      {"contrast 10 (mean 70) beats 20 (65); 30 failed on a page and cannot compete", 0, 10, 70, 1},
      {"equal means: the earlier setting stays", 1, 10, 75, 0},
      {"a method that leaves pages gray has no best", 2, -1, 0, 1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Reason);
    const TMethodSummary& m = summary.Methods[c.Method];
    EXPECT_EQ(m.Incomplete, c.Incomplete);
    ASSERT_EQ(m.Best.has_value(), c.Contrast >= 0);
    if (!m.Best) continue;
    EXPECT_EQ(m.Best->Settings.Contrast, c.Contrast);
    EXPECT_DOUBLE_EQ(m.Best->Mean.FMeasure, c.MeanF);
  }
  EXPECT_EQ(summary.Methods[0].Note, "too small");
  EXPECT_NE(summary.Methods[2].Note.find("gray"), std::string::npos);
  ASSERT_TRUE(summary.Overall);
  EXPECT_EQ(summary.Overall->Settings, Setting(8, 10));
  // Page 1: 99 from method 3's incomplete setting still counts for the page; page 2: 95.
  ASSERT_TRUE(summary.Pages[0].Best && summary.Pages[1].Best);
  EXPECT_EQ(summary.Pages[0].Best->Settings, Setting(3, 30));
  EXPECT_EQ(summary.Pages[1].Best->Settings, Setting(8, 20));
  EXPECT_DOUBLE_EQ(summary.TunedFMeasure, (99 + 95) / 2.0);
}

TEST(TuneSummary, NothingScoredLeavesNoBest) {
  const TTuningSummary summary =
      SummariseTuning({"p1"}, {{5, {Setting(5, 0)}, {Gray()}}, {11, {Setting(11, 0)}, {Gray()}}});
  EXPECT_FALSE(summary.Overall);
  EXPECT_FALSE(summary.Pages[0].Best);
  EXPECT_EQ(summary.TunedFMeasure, 0);
}

TEST(TuneReport, SettingsShowTheFieldsTheMethodReads) {
  struct TCase {
    const char* Reason;
    TThresholdSettings Settings;
    const char* Options;
  } cases[] = {
      {"standard reads the level only", {taStandard, 2, 3, 150, 9, 9}, "--algo 0 --brightness 150"},
      {"auto reads the rule only", {taAuto, 3, 4, 5, 6, 7}, "--algo 1 --method 3"},
      {"niblack: contrast and window, unequal sides kept",
       {taAdvancedDynamic, 0, 20, 1, 61, 41},
       "--algo 3 --contrast 20 --area 61x41"},
      {"a number without a method shows every field",
       {42, 1, 2, 3, 4, 5},
       "--algo 42 --method 1 --contrast 2 --brightness 3 --area 4x5"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Reason);
    EXPECT_EQ(SettingOptions(c.Settings), c.Options);
  }
}

}  // namespace
