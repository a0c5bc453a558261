// What the operator of the desktop program waits for, on the A4 300 dpi gray page with the
// views at fit-to-width in a 1900-pixel-wide client:
// - one zone update after the sliders rest (Niblack's method, a 51 x 51 window) followed by
//   the processed view's display rebuild (scale to gray, then 24 bits), for a zone of a
//   quarter of the page and for the whole page;
// - opening a page into both views: the read of a TIFF, the original's hand-over, the
//   default binarization of a copy, and both display rebuilds.
// The rows named *Step* time one part of a cycle each, to show where its time goes. A step
// repeated alone gets its large blocks back from the allocator already mapped, while the
// whole cycle's mix of sizes has them returned to the system and touched fresh each time;
// so the steps can add up to less than their cycle, and the difference is that memory.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "app/zone_update.h"
#include "bench/bench_pages.h"
#include "binarize/threshold_settings.h"
#include "platform/page_memory.h"
#include "viewer/dib_graphic.h"
#include "viewer/image_transforms.h"
#include "viewer/zoom_display_size.h"
#include "viewer/zoom_percent.h"

namespace {

constexpr TExtent kClient = {1900, 1000};

// The display size of a view at fit-to-width, as the view computes it.
TExtent FitWidthDisplay(const TDibGraphic& source) {
  const TExtent image = {source.Width(), source.Height()};
  const float percent = ComputeZoomPercent(zmFitWidth, 100.0f, kClient, image);
  return DisplaySize(image, CappedZoomPercent(image, percent));
}

// The display rebuild of a view: a bi-level source scaled to gray (the processed view, whose
// anti-aliasing is on), any other stretched; both end as 24 bits.
class TViewDisplay {
 public:
  void Rebuild(const TDibGraphic& source) {
    const TExtent size = FitWidthDisplay(source);
    resize_.TargetWidth = size.Width;
    resize_.TargetHeight = size.Height;
    resize_.ForceFormat = true;
    resize_.TargetFormat = gfTrueColor;
    if (source.ImageFormat() == gfBilevel) {
      antiAlias_.TargetWidth = size.Width;
      antiAlias_.TargetHeight = size.Height;
      antiAlias_.ApplyOnDest(source, display_);
      resize_.Apply(display_);
    } else {
      resize_.ApplyOnDest(source, display_);
    }
    benchmark::DoNotOptimize(display_.Bits());
  }

 private:
  TAntiAliasTransform antiAlias_;
  TResizeTransform resize_;
  TDibGraphic display_;
};

const TDibGraphic& OriginalGraphic() {
  static const auto graphic = [] {
    auto original = std::make_unique<TDibGraphic>();
    original->AssignHDIB(BenchGrayPage().GetHandle());
    return original;
  }();
  return *graphic;
}

// The processed view after opening: the page binarized whole with the default settings.
std::unique_ptr<TDibGraphic> OpenedProcessedGraphic() {
  TDIB page;
  page.AssignHandle(OriginalGraphic().CreateHDIB());
  ApplyThresholding(page, TThresholdSettings{});
  auto processed = std::make_unique<TDibGraphic>();
  processed->AssignHDIB(page.GetHandle());
  return processed;
}

// Niblack's method with a 51 x 51 window, the left slider moved off the settings.
TThresholdSettings NiblackSettings() {
  TThresholdSettings settings;
  settings.Algo = taAdvancedDynamic;
  settings.AreaWidth = 51;
  settings.AreaHeight = 51;
  return SliderSettings(settings, 20, settings.Brightness);
}

enum TZoneSize { zsQuarterPage, zsWholePage };

// The middle quarter of the page (half its width by half its height), or all of it.
TRect ZoneOf(TZoneSize size) {
  const std::int32_t w = OriginalGraphic().Width(), h = OriginalGraphic().Height();
  if (size == zsWholePage) return {0, 0, w - 1, h - 1};
  return {w / 4, h / 4, w / 4 + w / 2 - 1, h / 4 + h / 2 - 1};
}

void ReportZonePixels(benchmark::State& state, const TRect& zone) {
  const std::int64_t pixels =
      std::int64_t{zone.Right - zone.Left + 1} * (zone.Bottom - zone.Top + 1);
  state.SetItemsProcessed(state.iterations() * pixels);
}

// The desktop program keeps page memory mapped from its start; the cycle is timed the same way.
void BM_ZoneCycle(benchmark::State& state, TZoneSize size) {
  KeepPageMemoryMapped();
  const auto processed = OpenedProcessedGraphic();
  const TRect zone = ZoneOf(size);
  const TThresholdSettings settings = NiblackSettings();
  TViewDisplay display;
  for (auto _ : state) {
    UpdateZone(OriginalGraphic(), *processed, zone, settings);
    display.Rebuild(*processed);
  }
  ReportZonePixels(state, zone);
}

void BM_ZoneCycleStepUpdate(benchmark::State& state, TZoneSize size) {
  const auto processed = OpenedProcessedGraphic();
  const TRect zone = ZoneOf(size);
  const TThresholdSettings settings = NiblackSettings();
  for (auto _ : state) {
    UpdateZone(OriginalGraphic(), *processed, zone, settings);
    benchmark::DoNotOptimize(processed->Bits());
  }
  ReportZonePixels(state, zone);
}

// The method alone on the zone's pixels, without the copies, the cut and the paste.
void BM_ZoneCycleStepNiblack(benchmark::State& state, TZoneSize size) {
  const TRect zone = ZoneOf(size);
  TDIB cut;
  cut.AssignHandle(OriginalGraphic().CreateHDIB());
  cut.Crop(zone);
  const TThresholdSettings settings = NiblackSettings();
  OnFreshCopy(state, cut, [&](TDIB& copy) { ApplyThresholding(copy, settings); });
  ReportZonePixels(state, zone);
}

// The processed view as a cycle leaves it: the zone binarized with Niblack's method, the rest
// of the page as opened.
std::unique_ptr<TDibGraphic> ProcessedAfterZone(TZoneSize size) {
  auto processed = OpenedProcessedGraphic();
  UpdateZone(OriginalGraphic(), *processed, ZoneOf(size), NiblackSettings());
  return processed;
}

void BM_ZoneCycleStepProcessedDisplay(benchmark::State& state, TZoneSize size) {
  const auto processed = ProcessedAfterZone(size);
  TViewDisplay display;
  for (auto _ : state) display.Rebuild(*processed);
}

// The first half of that display rebuild: the bi-level page scaled to gray.
void BM_ZoneCycleStepScaleToGray(benchmark::State& state, TZoneSize size) {
  const auto processed = ProcessedAfterZone(size);
  const TExtent displaySize = FitWidthDisplay(*processed);
  TAntiAliasTransform antiAlias;
  antiAlias.TargetWidth = displaySize.Width;
  antiAlias.TargetHeight = displaySize.Height;
  TDibGraphic display;
  for (auto _ : state) {
    antiAlias.ApplyOnDest(*processed, display);
    benchmark::DoNotOptimize(display.Bits());
  }
}

// The page as the operator opens it: a TIFF of our writer (LZW, 16 rows a strip) in a
// folder of its own, removed when the run ends.
class TPageFile {
 public:
  TPageFile() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zw-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    folder_ = pattern;
    BenchGrayPage().Duplicate()->SaveTIFFToFile(Name(), false, tcLZW, 16);
  }
  ~TPageFile() {
    std::error_code error;
    std::filesystem::remove_all(folder_, error);
  }
  TPageFile(const TPageFile&) = delete;
  TPageFile& operator=(const TPageFile&) = delete;
  std::string Name() const { return (folder_ / "page.tif").string(); }

 private:
  std::filesystem::path folder_;
};

const std::string& PageFileName() {
  static const TPageFile file;
  static const std::string name = file.Name();
  return name;
}

void BM_OpenPage(benchmark::State& state) {
  KeepPageMemoryMapped();
  const std::string& fileName = PageFileName();
  TDibGraphic original, processed;
  TViewDisplay originalDisplay, processedDisplay;
  for (auto _ : state) {
    {
      TDIB read;
      read.LoadFromFile(fileName, 0);
      original.AssignHDIB(read.GetHandle());
    }
    processed.ReleaseImage();
    TDIB page;
    page.AssignHandle(original.CreateHDIB());
    ApplyThresholding(page, TThresholdSettings{});
    processed.AssignHDIB(page.GetHandle());
    originalDisplay.Rebuild(original);
    processedDisplay.Rebuild(processed);
  }
  ReportPagePixels(state, BenchGrayPage());
}

void BM_OpenPageStepRead(benchmark::State& state) {
  const std::string& fileName = PageFileName();
  for (auto _ : state) {
    TDIB read;
    read.LoadFromFile(fileName, 0);
    benchmark::DoNotOptimize(read.Bits());
  }
  ReportPagePixels(state, BenchGrayPage());
}

void BM_OpenPageStepHandOver(benchmark::State& state) {
  TDibGraphic original;
  for (auto _ : state) {
    original.AssignHDIB(BenchGrayPage().GetHandle());
    benchmark::DoNotOptimize(original.Bits());
  }
  ReportPagePixels(state, BenchGrayPage());
}

// The processed image made from the original view: block out, default method, block in.
void BM_OpenPageStepBinarize(benchmark::State& state) {
  TDibGraphic processed;
  for (auto _ : state) {
    TDIB page;
    page.AssignHandle(OriginalGraphic().CreateHDIB());
    ApplyThresholding(page, TThresholdSettings{});
    processed.AssignHDIB(page.GetHandle());
    benchmark::DoNotOptimize(processed.Bits());
  }
  ReportPagePixels(state, BenchGrayPage());
}

void BM_OpenPageStepOriginalDisplay(benchmark::State& state) {
  TViewDisplay display;
  for (auto _ : state) display.Rebuild(OriginalGraphic());
  ReportPagePixels(state, BenchGrayPage());
}

}  // namespace

BENCHMARK_CAPTURE(BM_ZoneCycle, quarter_page, zsQuarterPage)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ZoneCycle, whole_page, zsWholePage)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ZoneCycleStepUpdate, quarter_page, zsQuarterPage)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ZoneCycleStepUpdate, whole_page, zsWholePage)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ZoneCycleStepNiblack, quarter_page, zsQuarterPage)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ZoneCycleStepNiblack, whole_page, zsWholePage)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ZoneCycleStepProcessedDisplay, quarter_page, zsQuarterPage)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ZoneCycleStepProcessedDisplay, whole_page, zsWholePage)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ZoneCycleStepScaleToGray, quarter_page, zsQuarterPage)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ZoneCycleStepScaleToGray, whole_page, zsWholePage)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenPageStepRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenPageStepHandOver)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenPageStepBinarize)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenPageStepOriginalDisplay)->Unit(benchmark::kMillisecond);
