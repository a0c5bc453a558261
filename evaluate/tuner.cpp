// Running a list of settings on every page with a pool of threads.
#include "evaluate/tuner.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>

#include "evaluate/page_scoring.h"
#include "platform/errors.h"

namespace {

TRunResult RunOne(const TTuningPage& page, const TThresholdSettings& settings) {
  TRunResult result;
  try {
    const auto copy = page.Gray->Duplicate();
    ApplyThresholding(*copy, settings);
    if (copy->Format() != df1Bit) {
      result.Outcome = TRunOutcome::roGray;
      return result;
    }
    result.Score = ScorePage(InkMaskOf(*copy), page.Truth);
    result.Outcome = TRunOutcome::roScored;
  } catch (const std::exception& error) {
    result.Error = error.what();
  }
  return result;
}

// The shared state of one RunSettings call: the next run to take and the count of runs done.
struct TRunQueue {
  const std::vector<TTuningPage>& Pages;
  const std::vector<TThresholdSettings>& Settings;
  std::vector<TRunResult>& Results;
  TTuningObserver* Observer;
  std::atomic<std::size_t> Next{0};
  std::size_t Done = 0;
  std::mutex ObserverLock;

  void Work() {
    for (std::size_t run = Next++; run < Results.size(); run = Next++) {
      Results[run] = RunOne(Pages[run % Pages.size()], Settings[run / Pages.size()]);
      const std::lock_guard<std::mutex> guard(ObserverLock);
      ++Done;
      if (Observer != nullptr) Observer->RunsDone(Done, Results.size());
    }
  }
};

}  // namespace

std::vector<TTuningPage> LoadTuningPages(const std::vector<TPagePair>& pairs,
                                         std::vector<TInputError>& errors) {
  std::vector<TTuningPage> pages;
  for (const TPagePair& pair : pairs) {
    try {
      TTuningPage page{pair.Name, ReadGrayPage(pair.Page), ReadInkMask(pair.Truth)};
      CheckSameSize(TInkMask{page.Gray->Width(), page.Gray->Height(), {}}, page.Truth);
      pages.push_back(std::move(page));
    } catch (const std::exception& error) {
      errors.push_back({pair.Page, error.what()});
    }
  }
  return pages;
}

std::vector<TRunResult> RunSettings(const std::vector<TTuningPage>& pages,
                                    const std::vector<TThresholdSettings>& settings,
                                    std::int32_t jobs, TTuningObserver* observer) {
  std::vector<TRunResult> results(pages.size() * settings.size());
  if (results.empty()) return results;
  TRunQueue queue{pages, settings, results, observer, {0}, 0, {}};
  const auto threads = static_cast<std::size_t>(std::max(jobs, 1));
  {
    std::vector<std::jthread> workers;  // joined at the end of this block, before results leave
    for (std::size_t i = 1; i < std::min(threads, results.size()); ++i) {
      workers.emplace_back([&queue] { queue.Work(); });
    }
    queue.Work();
  }
  return results;
}
