// The pages every benchmark runs on (the generated A4 300 dpi scan, made once per run) and
// the timing helpers the benchmarks share.
#pragma once

#include <benchmark/benchmark.h>

#include "image/dibunit.h"

const TDIB& BenchGrayPage();     // 8-bit gray, 2480 x 3508
const TDIB& BenchColourPage();   // 24-bit colour, 2480 x 3508
const TDIB& BenchBilevelPage();  // the gray page thresholded at 128, 1 bit

// Reports the page's pixels as the items each iteration processed.
inline void ReportPagePixels(benchmark::State& state, const TDIB& page) {
  state.SetItemsProcessed(state.iterations() * page.Width() * page.Height());
}

// Times a window filter or rule from the gray page into a destination made once; the
// benchmark's argument is the window side.
template <class TFilter>
void TimeWindowFilter(benchmark::State& state, TFilter filter) {
  const TDIB& page = BenchGrayPage();
  auto destination = page.Duplicate();
  const auto area = static_cast<std::int32_t>(state.range(0));
  for (auto _ : state) {
    filter(page, *destination, area);
    benchmark::DoNotOptimize(destination->Bits());
  }
  ReportPagePixels(state, page);
}

// Times an operation that changes the page in place: every iteration works on a fresh copy
// of the page, made and freed outside the timing.
template <typename Operation>
void OnFreshCopy(benchmark::State& state, const TDIB& page, Operation operation) {
  for (auto _ : state) {
    state.PauseTiming();
    auto copy = page.Duplicate();
    state.ResumeTiming();
    operation(*copy);
    benchmark::DoNotOptimize(copy->Bits());
    state.PauseTiming();
    copy.reset();
    state.ResumeTiming();
  }
}
