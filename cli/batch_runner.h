// The batch runner: binarizes the images named by a request into an output folder, several
// files at a time, optionally only one machine's share of them. A file that fails is
// reported and the others go on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "binarize/threshold_settings.h"
#include "workflow/batch_options.h"

struct TBatchRequest {
  std::vector<std::string> Inputs;  // files and folders
  std::string OutputFolder;         // with a trailing separator
  TThresholdSettings Settings;
  std::int32_t OutputFormat = ofTIFF;
  bool Uncompressed = false;
  bool Overwrite = true;
  bool SkipExisting = false;  // leave inputs whose output exists alone
  bool AllPages = false;      // every page of a multi-page TIFF, not only the first
  std::int32_t Jobs = 1;
  std::int32_t ShardIndex = 1;  // 1 .. ShardCount
  std::int32_t ShardCount = 1;
};

enum class TFileOutcome { foWritten, foSkipped, foFailed };

struct TFileReport {
  std::string Input;
  std::string Output;  // empty for an input that named nothing to read
  TFileOutcome Outcome = TFileOutcome::foWritten;
  std::string Error;  // what failed and the system's text
  std::int32_t Pages = 0;
  std::int32_t BilevelPages = 0;  // pages that were bi-level already and went out as they were
  double ReadSeconds = 0;
  double BinarizeSeconds = 0;
  double WriteSeconds = 0;
};

struct TBatchSummary {
  std::size_t Written = 0;
  std::size_t Skipped = 0;
  std::size_t Failed = 0;
  std::int64_t Pages = 0;
};

// Receives the course of a run. Calls come from the worker threads, one at a time.
class TBatchObserver {
 public:
  virtual ~TBatchObserver() = default;
  virtual void Started(std::size_t files) = 0;
  virtual void FileDone(const TFileReport& report) = 0;
};

// The number of processors this process may run on.
std::int32_t DefaultJobCount();

// Runs the request. Creates the output folder when missing; throws EOSError when it cannot.
TBatchSummary RunBatch(const TBatchRequest& request, TBatchObserver& observer);
