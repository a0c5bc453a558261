// Finding the best settings in the results of a tuning run.
#include "evaluate/tune_summary.h"

#include "evaluate/page_scoring.h"

namespace {

bool Beats(const TPageScore& score, const std::optional<TSettingScore>& best) {
  return !best || score.FMeasure > best->Mean.FMeasure;
}

std::string NoteOf(const TRunResult& result) {
  if (result.Outcome == TRunOutcome::roGray) return "leaves the pages gray: no method to tune";
  return result.Error;
}

// The mean over the pages of one setting, or none when a page did not score.
std::optional<TPageScore> MeanOfSetting(const TMethodRuns& runs, std::size_t setting,
                                        std::size_t pages, std::string& note) {
  std::vector<TPageScore> scores;
  for (std::size_t p = 0; p < pages; ++p) {
    const TRunResult& result = runs.Results[setting * pages + p];
    if (result.Outcome != TRunOutcome::roScored) {
      if (note.empty()) note = NoteOf(result);
      return std::nullopt;
    }
    scores.push_back(result.Score);
  }
  return MeanScore(scores);
}

TMethodSummary SummariseMethod(const TMethodRuns& runs, std::size_t pages) {
  TMethodSummary summary{runs.Algo, runs.Settings.size(), 0, std::nullopt, ""};
  for (std::size_t s = 0; s < runs.Settings.size(); ++s) {
    const auto mean = MeanOfSetting(runs, s, pages, summary.Note);
    if (!mean) {
      ++summary.Incomplete;
    } else if (Beats(*mean, summary.Best)) {
      summary.Best = TSettingScore{runs.Settings[s], *mean};
    }
  }
  return summary;
}

void UpdatePageBests(const TMethodRuns& runs, std::vector<TPageBest>& bests) {
  const std::size_t pages = bests.size();
  for (std::size_t s = 0; s < runs.Settings.size(); ++s) {
    for (std::size_t p = 0; p < pages; ++p) {
      const TRunResult& result = runs.Results[s * pages + p];
      if (result.Outcome == TRunOutcome::roScored && Beats(result.Score, bests[p].Best)) {
        bests[p].Best = TSettingScore{runs.Settings[s], result.Score};
      }
    }
  }
}

}  // namespace

TTuningSummary SummariseTuning(const std::vector<std::string>& pageNames,
                               const std::vector<TMethodRuns>& methods) {
  TTuningSummary summary;
  for (const std::string& name : pageNames) summary.Pages.push_back({name, std::nullopt});
  for (const TMethodRuns& runs : methods) {
    summary.Methods.push_back(SummariseMethod(runs, pageNames.size()));
    const auto& best = summary.Methods.back().Best;
    if (best && Beats(best->Mean, summary.Overall)) summary.Overall = best;
    UpdatePageBests(runs, summary.Pages);
  }
  double sum = 0;
  for (const TPageBest& page : summary.Pages) sum += page.Best ? page.Best->Mean.FMeasure : 0;
  if (!summary.Pages.empty()) summary.TunedFMeasure = sum / summary.Pages.size();
  return summary;
}
