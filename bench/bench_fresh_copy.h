// Timing operations that change the page in place: every iteration works on a fresh copy of
// the page, made and freed outside the timing.
#pragma once

#include <benchmark/benchmark.h>

#include "image/dibunit.h"

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
