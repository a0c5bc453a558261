// The batch runner: plan, worker threads and the report of every file.
#include "cli/batch_runner.h"

#include <sched.h>

#include <atomic>
#include <filesystem>
#include <mutex>
#include <set>
#include <system_error>
#include <thread>

#include "cli/batch_plan.h"
#include "platform/errors.h"
#include "workflow/file_job.h"
#include "workflow/input_list.h"
#include "workflow/tiff_pages.h"

namespace {

namespace fs = std::filesystem;

std::string Reason(const std::exception& error) {
  // The system's text alone: the context an EOSError carries is a file name the report
  // already gives.
  if (const auto* os = dynamic_cast<const EOSError*>(&error)) {
    return SystemErrorText(os->ErrorCode());
  }
  return error.what();
}

bool Exists(const std::string& fileName) {
  std::error_code error;
  return fs::exists(fileName, error);
}

// Serializes the observer and counts the outcomes.
class TReportSink {
 public:
  explicit TReportSink(TBatchObserver& observer) : observer_(observer) {}
  void Report(const TFileReport& report) {
    std::lock_guard lock(mutex_);
    switch (report.Outcome) {
      case TFileOutcome::foWritten:
        ++summary_.Written;
        break;
      case TFileOutcome::foSkipped:
        ++summary_.Skipped;
        break;
      case TFileOutcome::foFailed:
        ++summary_.Failed;
        break;
    }
    summary_.Pages += report.Pages;
    observer_.FileDone(report);
  }
  TBatchSummary Summary() const { return summary_; }

 private:
  TBatchObserver& observer_;
  std::mutex mutex_;
  TBatchSummary summary_;
};

// The text of the step a job failed in.
std::string StepText(const TJobProgress& progress) {
  switch (progress.Step) {
    case TJobStep::jsRead:
      return "cannot read";
    case TJobStep::jsBinarize:
      return "cannot binarize";
    case TJobStep::jsWrite:
      break;
  }
  return "cannot write " + progress.WriteFile;
}

TFileJob MakeJob(const TBatchRequest& request, const std::string& input,
                 const std::string& output) {
  TFileJob job;
  job.Input = input;
  job.Output = output;
  job.Pages = request.AllPages ? TIFFPageCount(input) : 1;
  job.Settings = request.Settings;
  job.Overwrite = request.Overwrite;
  job.Uncompressed = request.Uncompressed;
  return job;
}

// The one-file job of an input with its report.
class TReportedJob {
 public:
  TReportedJob(const TBatchRequest& request, const std::set<std::string>& inputs,
               const std::string& input, const std::string& output)
      : inputs_(inputs), job_(MakeJob(request, input, output)) {
    report_.Input = input;
    report_.Output = output;
  }

  bool OutputsExist() const {
    for (const auto& output : JobOutputs(job_)) {
      if (!Exists(output)) return false;
    }
    return true;
  }

  TFileReport Run() {
    TJobProgress progress;
    try {
      RefuseToReplaceInput(progress);
      RunFileJob(job_, progress);
      report_.Outcome = TFileOutcome::foWritten;
    } catch (const std::exception& error) {
      report_.Outcome = TFileOutcome::foFailed;
      report_.Error = StepText(progress) + ": " + Reason(error);
    }
    report_.Pages = progress.Pages;
    report_.BilevelPages = progress.BilevelPages;
    report_.ReadSeconds = progress.ReadSeconds;
    report_.BinarizeSeconds = progress.BinarizeSeconds;
    report_.WriteSeconds = progress.WriteSeconds;
    return report_;
  }

  TFileReport Skipped() {
    report_.Outcome = TFileOutcome::foSkipped;
    return report_;
  }

 private:
  // The input folder may be the output folder: an output must never overwrite an input,
  // its own (scan.tif) or another one (scan.tif as the output of scan.png).
  void RefuseToReplaceInput(TJobProgress& progress) const {
    for (const auto& output : JobOutputs(job_)) {
      if (inputs_.count(FileIdentity(output)) != 0) {
        progress.Step = TJobStep::jsWrite;
        progress.WriteFile = output;
        throw EError("the output would replace an input file");
      }
    }
  }

  const std::set<std::string>& inputs_;
  TFileJob job_;
  TFileReport report_;
};

// The inputs of one output file, in list order. Whether an output exists is decided before
// any of them is written, so that --skip-existing means "existed when the run came to it".
void ProcessGroup(const TBatchRequest& request, const std::set<std::string>& inputs,
                  const TOutputGroup& group, TReportSink& sink) {
  std::vector<TReportedJob> jobs;
  std::vector<bool> skip;
  for (const auto& input : group.Inputs) {
    jobs.emplace_back(request, inputs, input, group.Output);
    skip.push_back(request.SkipExisting && jobs.back().OutputsExist());
  }
  for (std::size_t i = 0; i < jobs.size(); ++i) {
    sink.Report(skip[i] ? jobs[i].Skipped() : jobs[i].Run());
  }
}

}  // namespace

std::int32_t DefaultJobCount() {
  cpu_set_t set;
  if (::sched_getaffinity(0, sizeof set, &set) == 0) return std::max(1, CPU_COUNT(&set));
  return static_cast<std::int32_t>(std::max(1u, std::thread::hardware_concurrency()));
}

TBatchSummary RunBatch(const TBatchRequest& request, TBatchObserver& observer) {
  const TInputList inputs = CollectInputs(request.Inputs);
  const auto groups = GroupByOutput(inputs.Files, request.OutputFolder, request.OutputFormat);
  const auto [first, last] = ShardRange(groups.size(), request.ShardIndex, request.ShardCount);
  std::size_t files = inputs.Errors.size();
  for (std::size_t g = first; g < last; ++g) files += groups[g].Inputs.size();

  if (first < last) {
    std::error_code error;
    fs::create_directories(request.OutputFolder, error);
    if (error) throw EOSError(error.value(), request.OutputFolder);
  }

  TReportSink sink(observer);
  observer.Started(files);
  for (const auto& bad : inputs.Errors) {
    TFileReport report;
    report.Input = bad.Input;
    report.Outcome = TFileOutcome::foFailed;
    report.Error = bad.Reason;
    sink.Report(report);
  }

  std::atomic<std::size_t> next{first};
  const auto work = [&] {
    for (std::size_t g = next++; g < last; g = next++)
      ProcessGroup(request, inputs.Identities, groups[g], sink);
  };
  const auto workers =
      std::min<std::size_t>(static_cast<std::size_t>(std::max(1, request.Jobs)), last - first);
  {
    std::vector<std::jthread> threads;
    for (std::size_t i = 1; i < workers; ++i) threads.emplace_back(work);
    work();
  }
  return sink.Summary();
}
