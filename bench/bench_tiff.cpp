// Speed of the TIFF writer and reader on the A4 300 dpi sample page, in memory so that no disk
// is timed: the bi-level page (the gray page thresholded at the middle, made once outside the
// timing) as Group 4, the usual output of the system; and for comparison the gray page as
// LZW strips and the colour page as JPEG, which goes through libtiff's RGBA interface.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/bench_pages.h"
#include "image/dibunit.h"
#include "image/streams.h"

namespace {

using TBytes = std::vector<std::uint8_t>;

const TDIB& BiLevelPage() {
  static const auto page = [] {
    const TDIB& gray = BenchGrayPage();
    auto image = std::make_unique<TDIB>();
    image->Allocate(gray.Width(), gray.Height(), df1Bit, gray.XResolution(), gray.YResolution());
    for (std::int32_t y = 0; y < gray.Height(); ++y) {
      for (std::int32_t x = 0; x < gray.Width(); ++x) {
        image->SetPixel(x, y, gray.Row(y)[x] >= 128 ? 1 : 0);
      }
    }
    return image;
  }();
  return *page;
}

TBytes Encode(const TDIB& page, TTIFFCompression compression) {
  auto copy = page.Duplicate();
  TMemoryStream stream;
  copy->SaveTIFFToStream(stream, false, compression, 16);
  return stream.Bytes();
}

void ReportPixels(benchmark::State& state, const TDIB& page, std::size_t fileBytes) {
  state.SetItemsProcessed(state.iterations() * page.Width() * page.Height());
  state.counters["file_kB"] = static_cast<double>(fileBytes) / 1024;
}

// The page comes from a getter, so that it is made only when a benchmark runs.
using TPage = const TDIB& (*)();

void BM_TiffEncode(benchmark::State& state, TPage page, TTIFFCompression compression) {
  auto copy = page().Duplicate();
  std::size_t size = 0;
  for (auto _ : state) {
    TMemoryStream stream;
    copy->SaveTIFFToStream(stream, false, compression, 16);
    size = stream.Bytes().size();
    benchmark::DoNotOptimize(stream.Bytes().data());
  }
  ReportPixels(state, page(), size);
}

void BM_TiffDecode(benchmark::State& state, TPage page, TTIFFCompression compression) {
  const TBytes file = Encode(page(), compression);
  TMemoryStream stream(file);
  TDIB image;
  for (auto _ : state) {
    stream.Seek(0, soBeginning);
    image.LoadTIFFFromStream(stream, 0);
    benchmark::DoNotOptimize(image.Bits());
  }
  ReportPixels(state, page(), file.size());
}

}  // namespace

BENCHMARK_CAPTURE(BM_TiffEncode, Group4, &BiLevelPage, tcCCITT4)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TiffDecode, Group4, &BiLevelPage, tcCCITT4)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TiffEncode, BiLevelNone, &BiLevelPage, tcNone)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TiffDecode, BiLevelNone, &BiLevelPage, tcNone)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TiffEncode, GrayLZW, &BenchGrayPage, tcLZW)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TiffDecode, GrayLZW, &BenchGrayPage, tcLZW)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TiffDecode, ColourJPEG, &BenchColourPage, tcJPEG)
    ->Unit(benchmark::kMillisecond);
