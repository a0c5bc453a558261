// Speed of the depth conversions on the A4 sample page. Converting works in place, so each
// iteration converts a fresh copy of the page; the copy is made outside the timing and
// measured on its own as the floor: a byte copy of the page's pixel area and a whole Duplicate.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "bench/bench_pages.h"
#include "image/dibunit.h"

namespace {

std::int64_t PixelBytes(const TDIB& page) {
  return static_cast<std::int64_t>(page.Height()) * page.Stride();
}

void ReportPage(benchmark::State& state, const TDIB& page) {
  state.SetBytesProcessed(state.iterations() * PixelBytes(page));
  state.SetItemsProcessed(state.iterations() * page.Width() * page.Height());
}

void BM_MemcpyPixels(benchmark::State& state, const TDIB& page) {
  std::vector<std::uint8_t> target(static_cast<std::size_t>(PixelBytes(page)));
  for (auto _ : state) {
    std::memcpy(target.data(), page.Bits(), target.size());
    benchmark::DoNotOptimize(target.data());
    benchmark::ClobberMemory();
  }
  ReportPage(state, page);
}

void BM_Duplicate(benchmark::State& state, const TDIB& page) {
  for (auto _ : state) {
    auto copy = page.Duplicate();
    benchmark::DoNotOptimize(copy->Bits());
  }
  ReportPage(state, page);
}

void BM_ConvertTo(benchmark::State& state, const TDIB& page, TDIBFormat format) {
  OnFreshCopy(state, page, [format](TDIB& image) { image.ConvertTo(format); });
  ReportPage(state, page);
}

void BM_CopyGray(benchmark::State& state) {
  BM_MemcpyPixels(state, BenchGrayPage());
}
void BM_CopyColour(benchmark::State& state) {
  BM_MemcpyPixels(state, BenchColourPage());
}
void BM_DuplicateGray(benchmark::State& state) {
  BM_Duplicate(state, BenchGrayPage());
}
void BM_DuplicateColour(benchmark::State& state) {
  BM_Duplicate(state, BenchColourPage());
}
void BM_Convert24To8(benchmark::State& state) {
  BM_ConvertTo(state, BenchColourPage(), df8Bit);
}
void BM_Convert8To1(benchmark::State& state) {
  BM_ConvertTo(state, BenchGrayPage(), df1Bit);
}
void BM_Convert24To1(benchmark::State& state) {
  BM_ConvertTo(state, BenchColourPage(), df1Bit);
}

}  // namespace

BENCHMARK(BM_CopyGray)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyColour)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DuplicateGray)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DuplicateColour)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Convert24To8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Convert8To1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Convert24To1)->Unit(benchmark::kMillisecond);
