// What a tuning run found: the best setting of each method by mean F-measure over the pages,
// the best setting over all methods, and each page's best setting of any method.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "evaluate/tuner.h"

struct TSettingScore {
  TThresholdSettings Settings;
  TPageScore Mean;  // over the pages
};

struct TMethodSummary {
  std::int32_t Algo = 0;
  std::size_t Settings = 0;           // grid size
  std::size_t Incomplete = 0;         // settings that failed or left a page gray on some page
  std::optional<TSettingScore> Best;  // none when no setting scored every page
  std::string Note;                   // why settings were left out: the first failure, or gray
};

struct TPageBest {
  std::string Name;
  std::optional<TSettingScore> Best;  // Mean holds the page's own scores
};

struct TTuningSummary {
  std::vector<TMethodSummary> Methods;
  std::optional<TSettingScore> Overall;
  std::vector<TPageBest> Pages;
  double TunedFMeasure = 0;  // the mean over pages of each page's best F-measure
};

// One method's settings on every page: the results of RunSettings for them.
struct TMethodRuns {
  std::int32_t Algo = 0;
  std::vector<TThresholdSettings> Settings;
  std::vector<TRunResult> Results;  // settings x pages, as RunSettings orders them
};

// Only settings that scored every page compete for a method's best and the overall best; ties
// go to the earlier method and setting. Every scored run competes for its page's best.
TTuningSummary SummariseTuning(const std::vector<std::string>& pageNames,
                               const std::vector<TMethodRuns>& methods);
