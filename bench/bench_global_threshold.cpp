// Speed of the fixed threshold, the histogram and each automatic rule on the A4 sample page.
// Operations that change the image run on a fresh copy per iteration, made outside the timing.
#include <benchmark/benchmark.h>

#include "bench/bench_pages.h"
#include "binarize/global_threshold.h"

namespace {

// The threshold's cost does not depend on the values, so gray pages reuse one copy.
void BM_ThresholdGray(benchmark::State& state) {
  auto copy = BenchGrayPage().Duplicate();
  for (auto _ : state) {
    Threshold(*copy, 127, false, 0, 255);
    benchmark::DoNotOptimize(copy->Bits());
  }
  ReportPagePixels(state, *copy);
}

void BM_ThresholdGrayConvert(benchmark::State& state) {
  OnFreshCopy(state, BenchGrayPage(), [](TDIB& image) { Threshold(image, 127, true, 0, 255); });
  ReportPagePixels(state, BenchGrayPage());
}

void BM_ThresholdColour(benchmark::State& state) {
  OnFreshCopy(state, BenchColourPage(), [](TDIB& image) { Threshold(image, 127, false, 0, 255); });
  ReportPagePixels(state, BenchColourPage());
}

void BM_GetHistogram(benchmark::State& state, const TDIB& page) {
  THistogram histogram;
  for (auto _ : state) {
    GetHistogram(page, histogram);
    benchmark::DoNotOptimize(histogram.data());
  }
  ReportPagePixels(state, page);
}

void BM_GetHistogramGray(benchmark::State& state) {
  BM_GetHistogram(state, BenchGrayPage());
}
void BM_GetHistogramColour(benchmark::State& state) {
  BM_GetHistogram(state, BenchColourPage());
}

// The rules alone, on the page's histogram: their cost is in the 256 bins only.
void BM_HistogramRules(benchmark::State& state) {
  THistogram histogram;
  GetHistogram(BenchGrayPage(), histogram);
  for (auto _ : state) {
    benchmark::DoNotOptimize(OtsuThreshold(histogram));
    benchmark::DoNotOptimize(LloydThreshold(histogram));
    benchmark::DoNotOptimize(RidlerCalvardThreshold(histogram));
    benchmark::DoNotOptimize(StandardDeviationThreshold(histogram, 0.0));
  }
}

void BM_UniformErrorThreshold(benchmark::State& state) {
  const TDIB& page = BenchGrayPage();
  for (auto _ : state) benchmark::DoNotOptimize(UniformErrorThreshold(page));
  ReportPagePixels(state, page);
}

// The whole method as the settings run it: level, threshold and conversion to 1 bit.
void BM_AutoThreshold(benchmark::State& state, const TDIB& page) {
  const auto method = static_cast<TAutoThresholdMethod>(state.range(0));
  OnFreshCopy(state, page, [method](TDIB& image) { AutoThreshold(image, method, true, 0, 255); });
  ReportPagePixels(state, page);
}

void BM_AutoThresholdGray(benchmark::State& state) {
  BM_AutoThreshold(state, BenchGrayPage());
}
void BM_AutoThresholdColour(benchmark::State& state) {
  BM_AutoThreshold(state, BenchColourPage());
}

}  // namespace

BENCHMARK(BM_ThresholdGray)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ThresholdGrayConvert)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ThresholdColour)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetHistogramGray)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetHistogramColour)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HistogramRules)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UniformErrorThreshold)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AutoThresholdGray)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AutoThresholdColour)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);
