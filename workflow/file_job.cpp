// The read-binarize-write job of one input file.
#include "workflow/file_job.h"

#include <algorithm>
#include <chrono>
#include <optional>

#include "image/dibunit.h"
#include "platform/errors.h"
#include "workflow/output_naming.h"
#include "workflow/output_writer.h"

namespace {

constexpr const char* kNoOutputFormat = "the name has no .tif, .bmp or .png extension";

// Seconds spent in action, added to seconds.
template <typename TAction>
void Timed(double& seconds, TAction&& action) {
  const auto start = std::chrono::steady_clock::now();
  action();
  seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void EnterWrite(TJobProgress& progress, const std::string& fileName) {
  progress.Step = TJobStep::jsWrite;
  progress.WriteFile = fileName;
}

// Every page's output name has the job's format, or nothing could be written: refuse before
// reading, so that a job never reports success without a file.
std::int32_t FormatOf(const TFileJob& job, TJobProgress& progress) {
  const auto format = OutputFormatOfName(job.Output);
  if (!format) {
    EnterWrite(progress, job.Output);
    throw EError(kNoOutputFormat);
  }
  return *format;
}

void BinarizePage(const TFileJob& job, std::int32_t page, TDIB& image, TJobProgress& progress) {
  progress.Step = TJobStep::jsRead;
  Timed(progress.ReadSeconds, [&] { image.LoadFromFile(job.Input, page); });
  progress.Step = TJobStep::jsBinarize;
  Timed(progress.BinarizeSeconds, [&] {
    if (!ApplyThresholding(image, job.Settings)) ++progress.BilevelPages;
  });
}

}  // namespace

bool NumbersPages(const TFileJob& job) {
  return job.Pages > 1 && OutputFormatOfName(job.Output) != ofTIFF;
}

std::vector<std::string> JobOutputs(const TFileJob& job) {
  if (!NumbersPages(job)) return {job.Output};
  std::vector<std::string> outputs;
  for (std::int32_t page = 0; page < job.Pages; ++page) {
    outputs.push_back(PageFileName(job.Output, page));
  }
  return outputs;
}

void RunFileJob(const TFileJob& job, TJobProgress& progress) {
  const std::int32_t format = FormatOf(job, progress);
  const std::vector<std::string> outputs = JobOutputs(job);
  std::optional<TTIFFOutputPages> tiffPages;
  if (job.Pages > 1 && outputs.size() == 1) {
    EnterWrite(progress, job.Output);
    tiffPages.emplace(job.Output, job.Overwrite, job.Uncompressed);
  }
  for (std::int32_t page = 0; page < std::max(job.Pages, 1); ++page) {
    TDIB image;
    BinarizePage(job, page, image, progress);
    const std::string& output = outputs[outputs.size() == 1 ? 0 : page];
    EnterWrite(progress, output);
    Timed(progress.WriteSeconds, [&] {
      if (tiffPages) {
        tiffPages->Add(image);
      } else {
        WriteOutput(image, output, format, job.Overwrite, job.Uncompressed);
      }
    });
    ++progress.Pages;
  }
  if (tiffPages) Timed(progress.WriteSeconds, [&] { tiffPages->Save(); });
}
