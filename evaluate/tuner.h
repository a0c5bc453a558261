// The tuner's engine: every setting of a list on every page, in parallel. Pages are read and
// grayed once; each run binarizes its own copy of a page, so the runs share nothing but the
// pages they read.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "binarize/threshold_settings.h"
#include "evaluate/metrics.h"
#include "evaluate/page_pairs.h"

struct TTuningPage {
  std::string Name;
  std::unique_ptr<TDIB> Gray;  // as ReadGrayPage gives it
  TInkMask Truth;
};

// Reads every pair's page and ground truth once. A pair that cannot be read, or whose ground
// truth differs in size from its page, goes to errors and is left out.
std::vector<TTuningPage> LoadTuningPages(const std::vector<TPagePair>& pairs,
                                         std::vector<TInputError>& errors);

enum class TRunOutcome {
  roScored,
  roGray,    // the setting's method left the page gray: no method for its number
  roFailed,  // the method raised an error, kept in Error
};

struct TRunResult {
  TRunOutcome Outcome = TRunOutcome::roFailed;
  TPageScore Score;
  std::string Error;
};

// Told about the runs as they finish, from the worker threads one at a time.
class TTuningObserver {
 public:
  virtual ~TTuningObserver() = default;
  virtual void RunsDone(std::size_t done, std::size_t total) = 0;
};

// The result of settings[s] on pages[p] at index s x pages.size() + p. Runs on jobs threads
// (at least one). A run's failure is kept in its result and never stops the others.
std::vector<TRunResult> RunSettings(const std::vector<TTuningPage>& pages,
                                    const std::vector<TThresholdSettings>& settings,
                                    std::int32_t jobs, TTuningObserver* observer);
