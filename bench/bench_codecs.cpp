// Speed of the file readers and writers on the A4 300 dpi sample page, all in memory so that
// no disk is timed. The JPEG files are made once, at first use, from the colour page with
// cjpeg (skipped when it is not installed); the PNG and bitmap files with our own writers.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_pages.h"
#include "image/dibunit.h"
#include "image/streams.h"

namespace {

using TBytes = std::vector<std::uint8_t>;

TBytes Encode(const TDIB& page, void (TDIB::*write)(TStream&)) {
  auto copy = page.Duplicate();
  TMemoryStream stream;
  ((*copy).*write)(stream);
  return stream.Bytes();
}

// The colour page as a JPEG made by cjpeg with the given options; empty without cjpeg.
TBytes MakeJPEG(const std::string& options) {
  if (std::system("command -v cjpeg >/dev/null 2>&1") != 0) return {};
  char folder[] = "/tmp/zw-bench-XXXXXX";
  if (mkdtemp(folder) == nullptr) return {};
  std::string bitmap = std::string(folder) + "/page.bmp";
  std::string jpeg = std::string(folder) + "/page.jpg";
  BenchColourPage().Duplicate()->SaveBMPToFile(bitmap);
  std::string command = "cjpeg " + options + " -outfile " + jpeg + " " + bitmap;
  TBytes bytes;
  if (std::system(command.c_str()) == 0) {
    TFileStream file(jpeg, fmOpenRead);
    bytes.resize(static_cast<std::size_t>(file.Size()));
    bytes.resize(file.Read(bytes.data(), bytes.size()));
  }
  std::remove(bitmap.c_str());
  std::remove(jpeg.c_str());
  rmdir(folder);
  return bytes;
}

const TBytes& BaselineJPEG() {
  static const TBytes bytes = MakeJPEG("-quality 90");
  return bytes;
}
const TBytes& ProgressiveJPEG() {
  static const TBytes bytes = MakeJPEG("-quality 90 -progressive");
  return bytes;
}
const TBytes& ColourPNG() {
  static const TBytes bytes = Encode(BenchColourPage(), &TDIB::SavePNGToStream);
  return bytes;
}
const TBytes& GrayPNG() {
  static const TBytes bytes = Encode(BenchGrayPage(), &TDIB::SavePNGToStream);
  return bytes;
}
const TBytes& ColourBMP() {
  static const TBytes bytes = Encode(BenchColourPage(), &TDIB::SaveBMPToStream);
  return bytes;
}

void Decode(benchmark::State& state, const TBytes& file, void (TDIB::*read)(TStream&)) {
  if (file.empty()) {
    state.SkipWithError("cjpeg is not installed");
    return;
  }
  TMemoryStream stream(file);
  TDIB image;
  for (auto _ : state) {
    stream.Seek(0, soBeginning);
    (image.*read)(stream);
    benchmark::DoNotOptimize(image.Bits());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.size()));
  state.SetItemsProcessed(state.iterations() * image.Width() * image.Height());
}

void Encode(benchmark::State& state, const TDIB& page, void (TDIB::*write)(TStream&)) {
  auto copy = page.Duplicate();
  for (auto _ : state) {
    TMemoryStream stream;
    ((*copy).*write)(stream);
    benchmark::DoNotOptimize(stream.Bytes().data());
  }
  state.SetItemsProcessed(state.iterations() * page.Width() * page.Height());
}

void BM_DecodeJPEGColour(benchmark::State& state) {
  Decode(state, BaselineJPEG(), &TDIB::LoadJPEGFromStream);
}
void BM_DecodeJPEGProgressive(benchmark::State& state) {
  Decode(state, ProgressiveJPEG(), &TDIB::LoadJPEGFromStream);
}
void BM_DecodePNGColour(benchmark::State& state) {
  Decode(state, ColourPNG(), &TDIB::LoadPNGFromStream);
}
void BM_DecodePNGGray(benchmark::State& state) {
  Decode(state, GrayPNG(), &TDIB::LoadPNGFromStream);
}
void BM_DecodeBMPColour(benchmark::State& state) {
  Decode(state, ColourBMP(), &TDIB::LoadBMPFromStream);
}
void BM_EncodePNGColour(benchmark::State& state) {
  Encode(state, BenchColourPage(), &TDIB::SavePNGToStream);
}
void BM_EncodePNGGray(benchmark::State& state) {
  Encode(state, BenchGrayPage(), &TDIB::SavePNGToStream);
}
void BM_EncodeBMPColour(benchmark::State& state) {
  Encode(state, BenchColourPage(), &TDIB::SaveBMPToStream);
}

BENCHMARK(BM_DecodeJPEGColour)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeJPEGProgressive)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodePNGColour)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodePNGGray)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeBMPColour)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodePNGColour)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodePNGGray)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeBMPColour)->Unit(benchmark::kMillisecond);

}  // namespace
