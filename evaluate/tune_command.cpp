// Running the tune command.
#include "evaluate/tune_command.h"

#include <chrono>
#include <thread>

#include "evaluate/method_names.h"
#include "evaluate/tune_progress.h"
#include "evaluate/tune_report.h"
#include "evaluate/tuning_grid.h"

namespace {

std::vector<std::int32_t> MethodsToTune(const TEvalCommandLine& c) {
  return c.Algos.empty() ? AllAlgos() : c.Algos;
}

std::int32_t JobCount(const TEvalCommandLine& c) {
  if (c.Jobs) return *c.Jobs;
  return std::max<std::int32_t>(1, static_cast<std::int32_t>(std::thread::hardware_concurrency()));
}

std::vector<TMethodRuns> RunMethods(const TEvalCommandLine& c,
                                    const std::vector<TTuningPage>& pages,
                                    TTuneProgress* progress) {
  std::vector<TMethodRuns> methods;
  for (const std::int32_t algo : MethodsToTune(c)) {
    TMethodRuns runs{algo, TuningGrid(algo), {}};
    if (progress != nullptr) {
      progress->Step(MethodLabel(algo) + ", " + std::to_string(runs.Settings.size()) + " settings");
    }
    runs.Results = RunSettings(pages, runs.Settings, JobCount(c), progress);
    methods.push_back(std::move(runs));
  }
  if (progress != nullptr) progress->Finish();
  return methods;
}

}  // namespace

int RunTune(const TEvalCommandLine& c, std::FILE* out, std::FILE* err, bool errIsTerminal) {
  const auto start = std::chrono::steady_clock::now();
  TPagePairs pairs = FindPagePairs(c.Inputs, c.TruthFolder);
  const std::vector<TTuningPage> pages = LoadTuningPages(pairs.Pairs, pairs.Errors);
  for (const TInputError& error : pairs.Errors) {
    std::fprintf(err, "%s: %s: %s\n", kEvalProgramName, error.Input.c_str(), error.Reason.c_str());
  }
  if (pages.empty()) {
    std::fprintf(err, "%s: no page to tune on\n", kEvalProgramName);
    return 1;
  }
  TTuneProgress progress(err, errIsTerminal);
  const auto methods = RunMethods(c, pages, c.Quiet ? nullptr : &progress);
  std::vector<std::string> names;
  for (const TTuningPage& page : pages) names.push_back(page.Name);
  std::fputs(TuningReport(SummariseTuning(names, methods), c.Csv).c_str(), out);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (!c.Quiet) std::fprintf(err, "%s: tuned in %.1f s\n", kEvalProgramName, seconds);
  return pairs.Errors.empty() ? 0 : 1;
}
