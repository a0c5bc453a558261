// Speed of a view's display rebuild on the A4 300 dpi page at fit-to-width in a 1920 x 1080
// client: the bi-level page scaled to gray and turned into 24 bits in place (what the view
// does when scale to gray is on), and the colour page area averaged to the display size.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench/bench_pages.h"
#include "viewer/dib_graphic.h"
#include "viewer/image_transforms.h"

namespace {

constexpr std::int32_t kDisplayWidth = 1920;

// The page as a view's source graphic, taken over from the page's block.
std::unique_ptr<TDibGraphic> SourceOf(const TDIB& page) {
  auto graphic = std::make_unique<TDibGraphic>();
  graphic->AssignHDIB(page.GetHandle());
  return graphic;
}

const TDibGraphic& BilevelSource() {
  static const auto graphic = SourceOf(BenchBilevelPage());
  return *graphic;
}

const TDibGraphic& ColourSource() {
  static const auto graphic = SourceOf(BenchColourPage());
  return *graphic;
}

std::int32_t DisplayHeight(const TDibGraphic& source) {
  return static_cast<std::int32_t>(std::int64_t{source.Height()} * kDisplayWidth / source.Width());
}

TResizeTransform ToTrueColour(std::int32_t width, std::int32_t height) {
  TResizeTransform resize;
  resize.TargetWidth = width;
  resize.TargetHeight = height;
  resize.ForceFormat = true;
  resize.TargetFormat = gfTrueColor;
  return resize;
}

void ReportDisplay(benchmark::State& state, const TDibGraphic& source) {
  state.SetItemsProcessed(state.iterations() * source.Width() * source.Height());
  state.counters["display_height"] = DisplayHeight(source);
}

void BM_DisplayBilevelScaledToGray(benchmark::State& state) {
  const TDibGraphic& source = BilevelSource();
  TAntiAliasTransform antiAlias;
  antiAlias.TargetWidth = kDisplayWidth;
  antiAlias.TargetHeight = DisplayHeight(source);
  TResizeTransform resize = ToTrueColour(kDisplayWidth, DisplayHeight(source));
  TDibGraphic display;
  for (auto _ : state) {
    antiAlias.ApplyOnDest(source, display);
    resize.Apply(display);
    benchmark::DoNotOptimize(display.Bits());
  }
  ReportDisplay(state, source);
}

void BM_ScaleToGrayOnly(benchmark::State& state) {
  const TDibGraphic& source = BilevelSource();
  TAntiAliasTransform antiAlias;
  antiAlias.TargetWidth = kDisplayWidth;
  antiAlias.TargetHeight = DisplayHeight(source);
  TDibGraphic display;
  for (auto _ : state) {
    antiAlias.ApplyOnDest(source, display);
    benchmark::DoNotOptimize(display.Bits());
  }
  ReportDisplay(state, source);
}

// The resize transform from source to the display's 24 bits.
void TimeResize(benchmark::State& state, const TDibGraphic& source) {
  TResizeTransform resize = ToTrueColour(kDisplayWidth, DisplayHeight(source));
  TDibGraphic display;
  for (auto _ : state) {
    resize.ApplyOnDest(source, display);
    benchmark::DoNotOptimize(display.Bits());
  }
  ReportDisplay(state, source);
}

void BM_DisplayColourAveraged(benchmark::State& state) {
  TimeResize(state, ColourSource());
}

// Nearest pixel of the bi-level page straight to 24 bits: the view with scale to gray off.
void BM_DisplayBilevelNearest(benchmark::State& state) {
  TimeResize(state, BilevelSource());
}

}  // namespace

BENCHMARK(BM_DisplayBilevelScaledToGray)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScaleToGrayOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DisplayColourAveraged)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DisplayBilevelNearest)->Unit(benchmark::kMillisecond);
