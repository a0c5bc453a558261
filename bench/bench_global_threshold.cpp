// Speed of the fixed threshold, the histogram and each automatic rule on the A4 sample page.
// Operations that change the image run on a fresh copy per iteration, made outside the timing.
// When OpenCV is found, the BM_Pair rows put the threshold and Otsu's method beside it.
#include <benchmark/benchmark.h>

#include "bench/bench_pages.h"
#include "binarize/global_threshold.h"
#include "platform/cpu_features.h"

#ifdef ZW_HAVE_OPENCV
#include <opencv2/imgproc.hpp>
#endif

namespace {

// The vector instruction set the timed loops use, named in every report.
const bool kSimdNamed = [] {
  benchmark::AddCustomContext("simd", SimdName(ActiveSimd()));
  return true;
}();

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

#ifdef ZW_HAVE_OPENCV
// The gray page as an OpenCV matrix of its own.
cv::Mat GrayPageMat() {
  const TDIB& page = BenchGrayPage();
  return cv::Mat(page.Height(), page.Width(), CV_8UC1, page.Row(page.Height() - 1),
                 static_cast<std::size_t>(page.Stride()))
      .clone();
}

// The floor of any pass over the page: copying it.
void BM_PairThreshold_OpenCV(benchmark::State& state) {
  const cv::Mat page = GrayPageMat();
  cv::Mat out(page.size(), page.type());
  for (auto _ : state) {
    page.copyTo(out);
    benchmark::DoNotOptimize(out.data);
  }
  ReportPagePixels(state, BenchGrayPage());
}

// Otsu's level from the histogram, then the two-valued page (8-bit: no packing).
void BM_PairOtsu_OpenCV(benchmark::State& state) {
  const cv::Mat page = GrayPageMat();
  cv::Mat out;
  for (auto _ : state) {
    benchmark::DoNotOptimize(cv::threshold(page, out, 0, 255, cv::THRESH_BINARY | cv::THRESH_OTSU));
    benchmark::DoNotOptimize(out.data);
  }
  ReportPagePixels(state, BenchGrayPage());
}
#endif

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

// The pairs timed against OpenCV: the level and the 1-bit packing against a copy of the page,
// and Otsu's whole method against OpenCV's.
BENCHMARK(BM_ThresholdGrayConvert)->Name("BM_PairThreshold_Ours")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AutoThresholdGray)->Name("BM_PairOtsu_Ours")->Arg(0)->Unit(benchmark::kMillisecond);
#ifdef ZW_HAVE_OPENCV
BENCHMARK(BM_PairThreshold_OpenCV)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PairOtsu_OpenCV)->Unit(benchmark::kMillisecond);
#endif
