// Speed of the zone cycle's region copies on the A4 sample page: cutting a quarter-page zone
// out of the original (Crop) and pasting a zone of that size into the processed page (Paste).
#include <benchmark/benchmark.h>

#include "bench/bench_pages.h"
#include "image/dibunit.h"

namespace {

// The middle quarter of the page: half its width and half its height. An odd left edge
// makes 1-bit rows shift by bits, not whole bytes.
TRect Zone(const TDIB& page) {
  const std::int32_t left = page.Width() / 4 + 3, top = page.Height() / 4;
  return {left, top, left + page.Width() / 2 - 1, top + page.Height() / 2 - 1};
}

void ReportZone(benchmark::State& state, const TRect& zone) {
  state.SetItemsProcessed(state.iterations() * (zone.Right - zone.Left + 1) *
                          (zone.Bottom - zone.Top + 1));
}

void BM_Crop(benchmark::State& state, const TDIB& page) {
  const TRect zone = Zone(page);
  OnFreshCopy(state, page, [&zone](TDIB& image) { image.Crop(zone); });
  ReportZone(state, zone);
}

void BM_CropGray(benchmark::State& state) {
  BM_Crop(state, BenchGrayPage());
}
void BM_CropColour(benchmark::State& state) {
  BM_Crop(state, BenchColourPage());
}

// Pasting leaves the target as it would be after any number of pastes, so one copy serves.
// state.range(0) is added to the zone's left edge: 0 is unaligned in 1 bit, 1 aligned.
void BM_Paste(benchmark::State& state, const TDIB& page) {
  TRect zone = Zone(page);
  zone.Left += static_cast<std::int32_t>(state.range(0));
  auto cut = page.Duplicate();
  cut->Crop(zone);
  auto target = page.Duplicate();
  for (auto _ : state) {
    target->Paste(*cut, zone.Left, zone.Top);
    benchmark::DoNotOptimize(target->Bits());
  }
  ReportZone(state, zone);
}

void BM_PasteBilevel(benchmark::State& state) {
  BM_Paste(state, BenchBilevelPage());
}
void BM_PasteGray(benchmark::State& state) {
  BM_Paste(state, BenchGrayPage());
}

}  // namespace

BENCHMARK(BM_CropGray)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CropColour)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PasteBilevel)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PasteGray)->Arg(0)->Unit(benchmark::kMillisecond);
