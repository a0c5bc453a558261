// The one-file job: read the pages of an input file, binarize each with a settings record and
// write the result safely to its output. The batch command runs it for every input; the
// desktop program can run it for a single file.
//
// One page goes to the output file. The pages of a multi-page input go into one TIFF output,
// or to numbered BMP or PNG files ("scan-0001.png", ...) when the output is not a TIFF file.
// A page that is bi-level already goes out as it is.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "binarize/threshold_settings.h"

struct TFileJob {
  std::string Input;
  std::string Output;      // its extension chooses the format (see output_writer.h)
  std::int32_t Pages = 1;  // the pages of Input to binarize, from the first; at least one
  TThresholdSettings Settings;
  bool Overwrite = true;  // false: an existing TIFF output receives the pages as further ones
  bool Uncompressed = false;
};

// The step a job is in; when the job fails, the step that failed.
enum class TJobStep { jsRead, jsBinarize, jsWrite };

// What a job has done so far; after a failure it tells where the job stopped.
struct TJobProgress {
  TJobStep Step = TJobStep::jsRead;
  std::string WriteFile;  // the file being written, in the step jsWrite
  std::int32_t Pages = 0;
  std::int32_t BilevelPages = 0;  // pages that were bi-level already
  double ReadSeconds = 0;
  double BinarizeSeconds = 0;
  double WriteSeconds = 0;
};

// Whether the pages of the job go to numbered files rather than to Output itself.
bool NumbersPages(const TFileJob& job);

// The files the job writes, in page order: Output alone, or the numbered file of every page.
std::vector<std::string> JobOutputs(const TFileJob& job);

// Runs the job. A failure propagates as it was raised, with progress telling the step; pages
// already written stay, except those of a multi-page TIFF output, which is written in one go.
void RunFileJob(const TFileJob& job, TJobProgress& progress);
