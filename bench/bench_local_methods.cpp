// Speed of the window filters and the local binarization methods on the A4 gray page, at the
// settings dialog's defaults (7 x 7 window, automatic contrast and brightness where the method
// has them, Niblack contrast 16, background tracking contrast 80 and brightness 128) and at a
// 51 x 51 window. When OpenCV is found, its nearest counterparts run on the same page, on one
// thread; the BM_Pair rows put each of our methods beside its counterpart.
#include <benchmark/benchmark.h>

#include "bench/bench_pages.h"
#include "binarize/adaptive_threshold.h"
#include "binarize/background_tracking.h"
#include "binarize/dynamic_threshold.h"
#include "binarize/niblack_threshold.h"
#include "binarize/simd/difference_rows.h"
#include "binarize/window_filters.h"

#ifdef ZW_HAVE_OPENCV
#include <opencv2/imgproc.hpp>
#if __has_include(<opencv2/ximgproc.hpp>)
#include <opencv2/ximgproc.hpp>
#define ZW_HAVE_OPENCV_XIMGPROC 1
#endif
#endif

namespace {

// How the automatic contrast's small differences are counted, named in every report.
const bool kDifferenceCountingNamed = [] {
  const bool lanes = &DifferenceKernels() == &kAvx512Vbmi2DifferenceKernels;
  benchmark::AddCustomContext("small_differences", lanes ? "vbmi2 lanes" : "memory");
  return true;
}();

// A filter with equal window sides, timed by the shared window loop.
template <class TFilter>
void TimeFilter(benchmark::State& state, TFilter filter) {
  TimeWindowFilter(state, [filter](const TDIB& page, TDIB& out, std::int32_t area) {
    filter(page, out, area, area);
  });
}

void BM_LocalMean(benchmark::State& state) {
  TimeFilter(state, LocalMean);
}
void BM_LocalMinimum(benchmark::State& state) {
  TimeFilter(state, LocalMinimum);
}
void BM_LocalMaximum(benchmark::State& state) {
  TimeFilter(state, LocalMaximum);
}
void BM_WindowMinimum(benchmark::State& state) {
  TimeFilter(state, WindowMinimum);
}
void BM_WindowMaximum(benchmark::State& state) {
  TimeFilter(state, WindowMaximum);
}
void BM_NiblackBinarize(benchmark::State& state) {
  TimeFilter(state, [](const TDIB& page, TDIB& out, std::int32_t areaW, std::int32_t areaH) {
    NiblackBinarize(page, out, areaW, areaH, -0.16);
  });
}

void BM_SobelMagnitude(benchmark::State& state) {
  const TDIB& page = BenchGrayPage();
  auto destination = page.Duplicate();
  for (auto _ : state) {
    SobelMagnitude(page, *destination);
    benchmark::DoNotOptimize(destination->Bits());
  }
  ReportPagePixels(state, BenchGrayPage());
}

void BM_GetDifferenceHistogram(benchmark::State& state) {
  THistogram histogram;
  for (auto _ : state) {
    GetDifferenceHistogram(BenchGrayPage(), histogram);
    benchmark::DoNotOptimize(histogram.data());
  }
  ReportPagePixels(state, BenchGrayPage());
}

// A whole method as the dispatch calls it: in place, ending in a 1-bit page.
template <class TMethod>
void TimeMethod(benchmark::State& state, TMethod method) {
  const auto area = static_cast<std::int32_t>(state.range(0));
  OnFreshCopy(state, BenchGrayPage(), [&](TDIB& image) { method(image, area); });
  ReportPagePixels(state, BenchGrayPage());
}

void BM_DynamicMinMax(benchmark::State& state) {
  TimeMethod(state, [](TDIB& image, std::int32_t area) {
    DynamicThresholdMinMax(image, area, area, -1, -1, true, 0, 255);
  });
}
void BM_DynamicAverage(benchmark::State& state) {
  TimeMethod(state, [](TDIB& image, std::int32_t area) {
    DynamicThresholdAverage(image, area, area, -1, -1, true, 0, 255);
  });
}
// The Average mode with its contrast and brightness given, as OpenCV's mean threshold takes
// its constant: the window pass alone, without the two histograms of the automatic levels.
void BM_DynamicAverageGivenLevels(benchmark::State& state) {
  TimeMethod(state, [](TDIB& image, std::int32_t area) {
    DynamicThresholdAverage(image, area, area, 10, 128, true, 0, 255);
  });
}
void BM_Adaptive(benchmark::State& state) {
  TimeMethod(state, [](TDIB& image, std::int32_t area) {
    AdaptiveThreshold(image, area, area, -1, -1, true, 0, 255);
  });
}
void BM_AdvancedDynamic(benchmark::State& state) {
  TimeMethod(state, [](TDIB& image, std::int32_t area) {
    AdvancedDynamicThreshold(image, area, area, 16, true, 0, 255);
  });
}
void BM_BackgroundTracking(benchmark::State& state) {
  TimeMethod(state, [](TDIB& image, std::int32_t area) {
    BackgroundTrackingThreshold(image, area, area, 64, 256, 80.0 / 255, true, 0, 255);
  });
}

#define ZW_WINDOWS(bench) BENCHMARK(bench)->Arg(7)->Arg(51)->Unit(benchmark::kMillisecond)

ZW_WINDOWS(BM_LocalMean);
ZW_WINDOWS(BM_LocalMinimum);
ZW_WINDOWS(BM_LocalMaximum);
ZW_WINDOWS(BM_WindowMinimum);
ZW_WINDOWS(BM_WindowMaximum);
ZW_WINDOWS(BM_NiblackBinarize);
BENCHMARK(BM_SobelMagnitude)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetDifferenceHistogram)->Unit(benchmark::kMillisecond);
ZW_WINDOWS(BM_DynamicMinMax);
ZW_WINDOWS(BM_DynamicAverage);
ZW_WINDOWS(BM_Adaptive);
ZW_WINDOWS(BM_AdvancedDynamic);
ZW_WINDOWS(BM_BackgroundTracking);

// The pairs timed against OpenCV: ours at windows 7 and 51 (7 averages 9 x 9 pixels).
BENCHMARK(BM_DynamicAverage)
    ->Name("BM_PairAverage_Ours")
    ->Arg(7)
    ->Arg(51)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DynamicAverageGivenLevels)
    ->Name("BM_PairAverageGivenLevels_Ours")
    ->Arg(7)
    ->Arg(51)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AdvancedDynamic)
    ->Name("BM_PairNiblack_Ours")
    ->Arg(7)
    ->Arg(51)
    ->Unit(benchmark::kMillisecond);

#ifdef ZW_HAVE_OPENCV
// OpenCV on one thread, as ours runs.
const bool kOpenCVOneThread = [] {
  cv::setNumThreads(1);
  benchmark::AddCustomContext("opencv_threads", "1");
  return true;
}();

// The page's pixels as an OpenCV matrix.
cv::Mat PageMat() {
  const TDIB& page = BenchGrayPage();
  return cv::Mat(page.Height(), page.Width(), CV_8UC1, page.Row(page.Height() - 1),
                 static_cast<std::size_t>(page.Stride()))
      .clone();
}

template <class TOperation>
void TimeOpenCV(benchmark::State& state, TOperation operation) {
  const cv::Mat page = PageMat();
  cv::Mat out;
  const int area = static_cast<int>(state.range(0));
  for (auto _ : state) {
    operation(page, out, area);
    benchmark::DoNotOptimize(out.data);
  }
  ReportPagePixels(state, BenchGrayPage());
}

void BM_OpenCVBoxMean(benchmark::State& state) {
  TimeOpenCV(state, [](const cv::Mat& in, cv::Mat& out, int area) {
    cv::blur(in, out, cv::Size(area, area), cv::Point(-1, -1), cv::BORDER_REPLICATE);
  });
}
void BM_OpenCVErode(benchmark::State& state) {
  TimeOpenCV(state, [](const cv::Mat& in, cv::Mat& out, int area) {
    cv::erode(in, out, cv::getStructuringElement(cv::MORPH_RECT, cv::Size(area, area)));
  });
}
void BM_OpenCVDilate(benchmark::State& state) {
  TimeOpenCV(state, [](const cv::Mat& in, cv::Mat& out, int area) {
    cv::dilate(in, out, cv::getStructuringElement(cv::MORPH_RECT, cv::Size(area, area)));
  });
}
void BM_OpenCVAdaptiveThreshold(benchmark::State& state) {
  TimeOpenCV(state, [](const cv::Mat& in, cv::Mat& out, int area) {
    cv::adaptiveThreshold(in, out, 255, cv::ADAPTIVE_THRESH_MEAN_C, cv::THRESH_BINARY, area, 5);
  });
}
ZW_WINDOWS(BM_OpenCVBoxMean);
ZW_WINDOWS(BM_OpenCVErode);
ZW_WINDOWS(BM_OpenCVDilate);
ZW_WINDOWS(BM_OpenCVAdaptiveThreshold);
BENCHMARK(BM_OpenCVAdaptiveThreshold)
    ->Name("BM_PairAverage_OpenCV")
    ->Arg(9)
    ->Arg(51)
    ->Unit(benchmark::kMillisecond);
#ifdef ZW_HAVE_OPENCV_XIMGPROC
void BM_OpenCVNiblack(benchmark::State& state) {
  TimeOpenCV(state, [](const cv::Mat& in, cv::Mat& out, int area) {
    cv::ximgproc::niBlackThreshold(in, out, 255, cv::THRESH_BINARY, area, -0.16);
  });
}
ZW_WINDOWS(BM_OpenCVNiblack);
BENCHMARK(BM_OpenCVNiblack)
    ->Name("BM_PairNiblack_OpenCV")
    ->Arg(9)
    ->Arg(51)
    ->Unit(benchmark::kMillisecond);
#endif
#endif

}  // namespace
