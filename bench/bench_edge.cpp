// Speed of edge thresholding and of the connected-component search on the A4 sample page.
// EdgeThreshold runs at the stored defaults (Contrast 128 as sensitivity, Brightness 128 as
// maximum spot size) and with the automatic sensitivity and spot size 5; its stages are timed
// on their own. The component search runs on the page thresholded at 128 and on a black page.
#include <benchmark/benchmark.h>

#include "bench/bench_pages.h"
#include "binarize/connected_components.h"
#include "binarize/edge_threshold.h"
#include "binarize/global_threshold.h"

namespace {

const TDIB& BlackPage() {
  static const auto page = [] {
    auto black = std::make_unique<TDIB>();
    black->Allocate(BenchGrayPage().Width(), BenchGrayPage().Height(), df1Bit, 300, 300);
    return black;
  }();
  return *page;
}

void BM_EdgeThreshold(benchmark::State& state, std::int32_t sensitivity, std::int32_t spot) {
  OnFreshCopy(state, BenchGrayPage(),
              [&](TDIB& image) { EdgeThreshold(image, sensitivity, spot, true, 0, 255); });
}

void BM_Padded(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(Padded(BenchGrayPage(), 2)->Bits());
  ReportPagePixels(state, BenchGrayPage());
}

void BM_EdgeStrength(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(EdgeStrength(BenchGrayPage())->Bits());
  ReportPagePixels(state, BenchGrayPage());
}

void BM_FindBlobs(benchmark::State& state, const TDIB& (*page)()) {
  for (auto _ : state) {
    TBlobList blobs;
    FindBlobs(page(), 0, 0, 0, &blobs);
    benchmark::DoNotOptimize(blobs.Count());
  }
  ReportPagePixels(state, page());
}

void BM_RemoveSpots(benchmark::State& state, std::int32_t size) {
  OnFreshCopy(state, BenchBilevelPage(), [&](TDIB& image) { RemoveSpots(image, size, size); });
}

}  // namespace

BENCHMARK_CAPTURE(BM_EdgeThreshold, defaults_128_128, 128, 128)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_EdgeThreshold, automatic_spot5, -1, 5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_EdgeThreshold, no_spot_removal, 20, 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Padded)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EdgeStrength)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FindBlobs, thresholded_page, BenchBilevelPage)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FindBlobs, black_page, BlackPage)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RemoveSpots, spans_5, 5)->Unit(benchmark::kMillisecond);
