// Builds the benchmark pages on first use, so that generating them is never measured.
#include "bench/bench_pages.h"

#include "binarize/global_threshold.h"
#include "tools/sample_page.h"

const TDIB& BenchGrayPage() {
  static const auto page = MakeSamplePage(false);
  return *page;
}

const TDIB& BenchColourPage() {
  static const auto page = MakeSamplePage(true);
  return *page;
}

const TDIB& BenchBilevelPage() {
  static const auto page = [] {
    auto copy = BenchGrayPage().Duplicate();
    Threshold(*copy, 128, true, 0, 255);
    return copy;
  }();
  return *page;
}
