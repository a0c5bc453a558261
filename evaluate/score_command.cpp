// Running the score command.
#include "evaluate/score_command.h"

#include <optional>

#include "evaluate/page_scoring.h"
#include "evaluate/score_table.h"

namespace {

void ReportFailure(std::FILE* err, const std::string& input, const std::string& reason) {
  std::fprintf(err, "%s: %s: %s\n", kEvalProgramName, input.c_str(), reason.c_str());
}

}  // namespace

int RunScore(const TEvalCommandLine& c, std::FILE* out, std::FILE* err) {
  const TPagePairs pairs = FindPagePairs(c.Inputs, c.TruthFolder);
  for (const TInputError& error : pairs.Errors) ReportFailure(err, error.Input, error.Reason);
  const std::optional<TThresholdSettings> settings =
      c.Algos.empty() ? std::nullopt : std::optional(ScoreSettings(c));
  std::vector<TScoredPage> scored;
  bool failed = !pairs.Errors.empty();
  for (const TPagePair& pair : pairs.Pairs) {
    try {
      scored.push_back(
          {pair.Name, settings ? ScoreMethod(pair, *settings) : ScoreResultFile(pair)});
    } catch (const std::exception& error) {
      ReportFailure(err, pair.Page, error.what());
      failed = true;
    }
  }
  if (scored.empty()) {
    std::fprintf(err, "%s: no page was scored\n", kEvalProgramName);
    return 1;
  }
  std::fputs(ScoreTable(scored, c.Csv).c_str(), out);
  return failed ? 1 : 0;
}
