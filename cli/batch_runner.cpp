// The batch runner: plan, worker threads, and the read-binarize-write path of one file.
#include "cli/batch_runner.h"

#include <sched.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <optional>
#include <set>
#include <system_error>
#include <thread>

#include "cli/batch_plan.h"
#include "platform/errors.h"
#include "workflow/input_list.h"
#include "workflow/output_naming.h"
#include "workflow/output_writer.h"
#include "workflow/tiff_pages.h"

namespace {

namespace fs = std::filesystem;

// Seconds spent in action.
template <typename TAction>
double Timed(TAction&& action) {
  const auto start = std::chrono::steady_clock::now();
  action();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::string Reason(const std::exception& error) {
  // The system's text alone: the context an EOSError carries is a file name the report
  // already gives.
  if (const auto* os = dynamic_cast<const EOSError*>(&error)) {
    return SystemErrorText(os->ErrorCode());
  }
  return error.what();
}

bool IsTIFFOutput(std::int32_t outputFormat) {
  return outputFormat != ofBMP && outputFormat != ofPNG;
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

class TFileJob {
 public:
  TFileJob(const TBatchRequest& request, const std::set<std::string>& inputs,
           const std::string& input, const std::string& output)
      : request_(request), inputs_(inputs) {
    report_.Input = input;
    report_.Output = output;
    pages_ = request.AllPages ? TIFFPageCount(input) : 1;
    // The pages of a multi-page input go to one TIFF, or to numbered BMP or PNG files.
    numbered_ = pages_ > 1 && !IsTIFFOutput(request.OutputFormat);
  }

  bool OutputsExist() const {
    for (std::int32_t page = 0; page < (numbered_ ? pages_ : 1); ++page) {
      if (!Exists(PageOutput(page))) return false;
    }
    return true;
  }

  TFileReport Run() {
    try {
      RefuseToReplaceInput();
      Process();
      report_.Outcome = TFileOutcome::foWritten;
    } catch (const std::exception& error) {
      report_.Outcome = TFileOutcome::foFailed;
      report_.Error = stage_ + ": " + Reason(error);
    }
    return report_;
  }

  TFileReport Skipped() {
    report_.Outcome = TFileOutcome::foSkipped;
    return report_;
  }

 private:
  std::string PageOutput(std::int32_t page) const {
    return numbered_ ? PageFileName(report_.Output, page) : report_.Output;
  }

  // The input folder may be the output folder: an output must never overwrite an input,
  // its own (scan.tif) or another one (scan.tif as the output of scan.png).
  void RefuseToReplaceInput() {
    for (std::int32_t page = 0; page < (numbered_ ? pages_ : 1); ++page) {
      if (inputs_.count(FileIdentity(PageOutput(page))) != 0) {
        stage_ = "cannot write " + PageOutput(page);
        throw EError("the output would replace an input file");
      }
    }
  }

  void Process() {
    std::optional<TTIFFOutputPages> tiffPages;
    if (pages_ > 1 && !numbered_) {
      stage_ = "cannot write " + report_.Output;
      tiffPages.emplace(report_.Output, request_.Overwrite, request_.Uncompressed);
    }
    for (std::int32_t page = 0; page < pages_; ++page) {
      TDIB image;
      stage_ = "cannot read";
      report_.ReadSeconds += Timed([&] { image.LoadFromFile(report_.Input, page); });
      stage_ = "cannot binarize";
      report_.BinarizeSeconds += Timed([&] {
        if (!ApplyThresholding(image, request_.Settings)) ++report_.BilevelPages;
      });
      stage_ = "cannot write " + PageOutput(page);
      report_.WriteSeconds += Timed([&] {
        if (tiffPages) {
          tiffPages->Add(image);
        } else {
          SaveOutput(image, PageOutput(page), request_.Overwrite, request_.Uncompressed);
        }
      });
      ++report_.Pages;
    }
    if (tiffPages) report_.WriteSeconds += Timed([&] { tiffPages->Save(); });
  }

  const TBatchRequest& request_;
  const std::set<std::string>& inputs_;
  TFileReport report_;
  std::int32_t pages_ = 1;
  bool numbered_ = false;
  std::string stage_;
};

// The inputs of one output file, in list order. Whether an output exists is decided before
// any of them is written, so that --skip-existing means "existed when the run came to it".
void ProcessGroup(const TBatchRequest& request, const std::set<std::string>& inputs,
                  const TOutputGroup& group, TReportSink& sink) {
  std::vector<TFileJob> jobs;
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
