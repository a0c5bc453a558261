// Speed of the batch command's whole path on the A4 sample page: reading a scanned TIFF,
// binarizing it with each method, writing the Group 4 TIFF. Then batch throughput over a
// folder of pages with one and with two parallel jobs (pages per second); the second should
// reach about twice the first on two processors.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "bench/bench_pages.h"
#include "cli/batch_runner.h"
#include "workflow/output_writer.h"

namespace {

constexpr std::int32_t kFolderPages = 8;

// A folder for the run's files, removed at exit.
class TBenchFolder {
 public:
  TBenchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zw-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~TBenchFolder() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
  }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

const TBenchFolder& Folder() {
  static const TBenchFolder folder;
  return folder;
}

// The gray page as a scanner writes it, LZW-compressed, written once.
const std::string& ScannedPage() {
  static const std::string name = [] {
    const std::string file = Folder() / "scan.tif";
    BenchGrayPage().Duplicate()->SaveTIFFToFile(file, false, tcLZW, 16);
    return file;
  }();
  return name;
}

// A folder of kFolderPages such scans, written once.
const std::string& ScannedFolder() {
  static const std::string name = [] {
    const std::string folder = Folder() / "scans/";
    std::filesystem::create_directories(folder);
    for (std::int32_t i = 0; i < kFolderPages; ++i) {
      std::filesystem::copy_file(ScannedPage(), folder + "page" + std::to_string(i) + ".tif");
    }
    return folder;
  }();
  return name;
}

void BM_BatchPath(benchmark::State& state) {
  TThresholdSettings settings;
  settings.Algo = static_cast<std::int32_t>(state.range(0));
  const std::string input = ScannedPage();
  const std::string output = Folder() / ("out-" + std::to_string(settings.Algo) + ".tif");
  for (auto _ : state) {
    TDIB image;
    image.LoadFromFile(input, 0);
    ApplyThresholding(image, settings);
    SaveOutput(image, output, true, false);
  }
  state.SetItemsProcessed(state.iterations());
  state.SetLabel("pages");
}
BENCHMARK(BM_BatchPath)->ArgName("algo")->DenseRange(0, 7)->Unit(benchmark::kMillisecond);

class TSilent : public TBatchObserver {
 public:
  void Started(std::size_t) override {}
  void FileDone(const TFileReport&) override {}
};

void BM_BatchJobs(benchmark::State& state) {
  TBatchRequest request;
  request.Inputs = {ScannedFolder()};
  request.OutputFolder = Folder() / ("jobs-" + std::to_string(state.range(1)) + "/");
  request.Settings.Algo = static_cast<std::int32_t>(state.range(1));
  request.Jobs = static_cast<std::int32_t>(state.range(0));
  std::int64_t pages = 0;
  for (auto _ : state) {
    TSilent silent;
    pages += RunBatch(request, silent).Pages;
  }
  state.counters["pages_per_second"] =
      benchmark::Counter(static_cast<double>(pages), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_BatchJobs)
    ->ArgNames({"jobs", "algo"})
    ->ArgsProduct({{1, 2}, {taStandard, taAdvancedDynamic}})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
