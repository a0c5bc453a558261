// The batch command's command line: options and inputs, checked and turned into a request.
//
//   zonewright-cli [options] INPUT... -o OUTDIR
//
// Options left out take the stored settings and batch options.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/batch_runner.h"
#include "platform/errors.h"
#include "workflow/batch_options.h"

// A bad command line: the caller shows the message and exits with status 2.
class EUsageError : public EError {
 public:
  using EError::EError;
};

struct TCommandLine {
  std::vector<std::string> Inputs;
  std::optional<std::string> OutputFolder;
  std::optional<std::string> SettingsFile;
  std::optional<std::int32_t> Algo, Method, Contrast, Brightness, AreaWidth, AreaHeight;
  std::optional<std::int32_t> OutputFormat;
  std::optional<bool> Uncompressed;
  std::optional<bool> Overwrite;
  std::optional<std::int32_t> Jobs;
  std::int32_t ShardIndex = 1;
  std::int32_t ShardCount = 1;
  bool SkipExisting = false;
  bool AllPages = false;
  bool Verbose = false;
  bool Quiet = false;
  bool Help = false;
  bool Version = false;
};

// Throws EUsageError for an unknown option, a missing or malformed value, or no input (which
// --help and --version need none of).
TCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The options over the stored settings and batch options. Throws EUsageError when no output
// folder results.
TBatchRequest MakeRequest(const TCommandLine& commandLine, const TThresholdSettings& settings,
                          const TBatchOptions& options);

std::string UsageText();

// The whole command: parse, read the settings, run, report. Returns the exit status: 0 when
// every file was written or skipped, 1 when any failed, 2 for a bad command line.
int RunCommand(const std::vector<std::string>& arguments, std::FILE* out, std::FILE* err,
               bool errIsTerminal);
