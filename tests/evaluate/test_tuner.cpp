// The tuner's engine on small generated pages: the same results on one thread and on many,
// the same scores as the score command, and settings that fail or leave pages gray kept apart
// without stopping the others.
#include <gtest/gtest.h>

#include <set>

#include "evaluate/page_scoring.h"
#include "evaluate/tuner.h"
#include "evaluate/tuning_grid.h"
#include "tests/batch_fixtures.h"
#include "tests/temp_folder.h"

namespace {

// A colour page (so that graying once must match what each method does) and its ground truth.
TPagePair WriteColourPage(const TTempFolder& folder, const std::string& name, std::int32_t seed) {
  const auto gray = GrayPage(seed, 48, 36);
  TDIB colour;
  colour.Allocate(gray->Width(), gray->Height(), df24Bit, 150, 150);
  for (std::int32_t y = 0; y < gray->Height(); ++y) {
    for (std::int32_t x = 0; x < gray->Width(); ++x) {
      const std::int32_t v = gray->GetPixel(x, y);
      colour.SetPixel(x, y, v << 16 | ((v * 7 + x) & 0xFF) << 8 | ((v + y * 3) & 0xFF));
    }
  }
  colour.SavePNGToFile(folder / (name + ".png"));
  const auto truth = gray->Duplicate();
  ApplyThresholding(*truth, TThresholdSettings{taStandard, 0, 0, 120});
  truth->SavePNGToFile(folder / (name + "_gt.png"));
  return {name, folder / (name + ".png"), folder / (name + "_gt.png")};
}

std::vector<TThresholdSettings> EveryMethodsGrid() {
  std::vector<TThresholdSettings> settings;
  for (std::int32_t algo = 0; algo <= taBackgroundNormalized; ++algo) {
    const auto grid = TuningGrid(algo);
    settings.insert(settings.end(), grid.begin(), grid.end());
  }
  return settings;
}

TEST(Tuner, GrayedOnceScoresAsTheFileDoes) {
  const TTempFolder folder;
  const std::vector<TPagePair> pairs = {WriteColourPage(folder, "a", 1),
                                        WriteColourPage(folder, "b", 4)};
  std::vector<TInputError> errors;
  const auto pages = LoadTuningPages(pairs, errors);
  ASSERT_TRUE(errors.empty());
  const auto settings = EveryMethodsGrid();
  const auto results = RunSettings(pages, settings, 3, nullptr);
  std::set<std::int32_t> scoredMethods;
  for (std::size_t s = 0; s < settings.size(); ++s) {
    for (std::size_t p = 0; p < pairs.size(); ++p) {
      const TRunResult& result = results[s * pairs.size() + p];
      if (result.Outcome != TRunOutcome::roScored) continue;
      scoredMethods.insert(settings[s].Algo);
      SCOPED_TRACE("algo " + std::to_string(settings[s].Algo) + " setting " + std::to_string(s));
      const TPageScore direct = ScoreMethod(pairs[p], settings[s]);
      EXPECT_EQ(result.Score.FMeasure, direct.FMeasure);
      EXPECT_EQ(result.Score.DRD, direct.DRD);
    }
  }
  EXPECT_EQ(scoredMethods.size(), std::size_t{taBackgroundNormalized}) << "all but PEI";
}

TEST(Tuner, OneThreadAndManyAgree) {
  const TTempFolder folder;
  std::vector<TInputError> errors;
  const auto pages =
      LoadTuningPages({WriteColourPage(folder, "a", 2), WriteColourPage(folder, "b", 5)}, errors);
  const auto settings = EveryMethodsGrid();
  const auto one = RunSettings(pages, settings, 1, nullptr);
  const auto many = RunSettings(pages, settings, 4, nullptr);
  ASSERT_EQ(one.size(), many.size());
  for (std::size_t i = 0; i < one.size(); ++i) {
    EXPECT_EQ(one[i].Outcome, many[i].Outcome) << i;
    EXPECT_EQ(one[i].Score.FMeasure, many[i].Score.FMeasure) << i;
    EXPECT_EQ(one[i].Score.DRD, many[i].Score.DRD) << i;
  }
}

TEST(Tuner, OutcomesKeepFailuresApart) {
  const TTempFolder folder;
  std::vector<TInputError> errors;
  const auto pages = LoadTuningPages({WriteColourPage(folder, "a", 3)}, errors);
  struct TCase {
    const char* Reason;
    TThresholdSettings Settings;
    TRunOutcome Outcome;
    const char* Error;
  } cases[] = {
      {"PEI has no algorithm", {taPEI}, TRunOutcome::roGray, ""},
      {"a number without a method is dispatched to nothing", {99}, TRunOutcome::roGray, ""},
      {"Dynamic with a Method beyond its modes does nothing",
       {taDynamic, 7},
       TRunOutcome::roGray,
       ""},
      {"MinMax refuses a window larger than the page",
       {taDynamic, 0, 10, -1, 999, 999},
       TRunOutcome::roFailed,
       "Bad AreaW or AreaH value"},
      {"a usual setting scores", {taAuto, 0}, TRunOutcome::roScored, ""},
  };
  std::vector<TThresholdSettings> settings;
  for (const TCase& c : cases) settings.push_back(c.Settings);
  const auto results = RunSettings(pages, settings, 2, nullptr);
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(cases[i].Reason);
    EXPECT_EQ(results[i].Outcome, cases[i].Outcome);
    EXPECT_EQ(results[i].Error, cases[i].Error);
  }
}

TEST(Tuner, UnreadableAndMismatchedPagesAreLeftOut) {
  const TTempFolder folder;
  const TPagePair good = WriteColourPage(folder, "good", 1);
  GrayPage(1, 20, 10)->SavePNGToFile(folder / "wide.png");
  GrayPage(1, 10, 20)->SavePNGToFile(folder / "wide_gt.png");
  folder.Write("broken.png", "not a picture");
  std::vector<TInputError> errors;
  const auto pages = LoadTuningPages({{"broken", folder / "broken.png", good.Truth},
                                      good,
                                      {"wide", folder / "wide.png", folder / "wide_gt.png"}},
                                     errors);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(pages[0].Name, "good");
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0].Input, folder / "broken.png");
  EXPECT_EQ(errors[1].Reason, "the result is 20 x 10 pixels but its ground truth is 10 x 20");
}

TEST(TuningGrid, EveryMethodHasSettingsOfItsOwnNumber) {
  for (std::int32_t algo = 0; algo <= taBackgroundNormalized + 1; ++algo) {
    SCOPED_TRACE(algo);
    const auto grid = TuningGrid(algo);
    ASSERT_FALSE(grid.empty());
    for (const TThresholdSettings& s : grid) EXPECT_EQ(s.Algo, algo);
  }
}

}  // namespace
