// Dispatching the evaluator's commands.
#include "evaluate/eval_command.h"

#include "evaluate/eval_command_line.h"
#include "evaluate/score_command.h"
#include "evaluate/tune_command.h"

int RunEvalCommand(const std::vector<std::string>& arguments, std::FILE* out, std::FILE* err,
                   bool errIsTerminal) {
  TEvalCommandLine c;
  try {
    c = ParseEvalCommandLine(arguments);
  } catch (const EEvalUsageError& error) {
    std::fprintf(err, "%s: %s\nTry '%s --help' for more information.\n", kEvalProgramName,
                 error.what(), kEvalProgramName);
    return 2;
  }
  if (c.Help) {
    std::fputs(EvalUsageText().c_str(), out);
    return 0;
  }
  if (c.Version) {
    std::fprintf(out, "%s %s\n", kEvalProgramName, ZW_VERSION);
    return 0;
  }
  try {
    if (c.Command == TEvalCommand::ecScore) return RunScore(c, out, err);
    return RunTune(c, out, err, errIsTerminal);
  } catch (const std::exception& error) {
    std::fprintf(err, "%s: %s\n", kEvalProgramName, error.what());
    return 1;
  }
}
