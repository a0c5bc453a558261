// The evaluator's command line:
//
//   zonewright-eval score [options] INPUT...   scores result images, or a method run on pages
//   zonewright-eval tune [options] INPUT...    searches each method's settings on pages
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "binarize/threshold_settings.h"
#include "platform/errors.h"

inline constexpr const char* kEvalProgramName = "zonewright-eval";

// A bad command line: the caller shows the message and exits with status 2.
class EEvalUsageError : public EError {
 public:
  using EError::EError;
};

enum class TEvalCommand { ecNone, ecScore, ecTune };

struct TEvalCommandLine {
  TEvalCommand Command = TEvalCommand::ecNone;
  std::vector<std::string> Inputs;
  std::optional<std::string> TruthFolder;
  std::vector<std::int32_t> Algos;  // score: at most one; tune: the methods searched
  std::optional<std::int32_t> Method, Contrast, Brightness, AreaWidth, AreaHeight;
  std::optional<std::int32_t> Jobs;
  bool Csv = false;
  bool Quiet = false;
  bool Help = false;
  bool Version = false;
};

// Throws EEvalUsageError for a missing or unknown command, an unknown option, a missing or
// malformed value, an option the command does not take, or no input (which --help and
// --version need none of).
TEvalCommandLine ParseEvalCommandLine(const std::vector<std::string>& arguments);

// The settings a score run uses: the options given over the settings record's defaults, so
// that a measurement never depends on what the desktop program stored.
TThresholdSettings ScoreSettings(const TEvalCommandLine& commandLine);

std::string EvalUsageText();
