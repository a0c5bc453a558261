// make_sample_pages OUTDIR: writes the bundled sample pages into OUTDIR, creating it when
// needed. The generated A4 300 dpi scan goes out as an 8-bit gray TIFF, as a colour PNG and
// as a colour LZW TIFF; a small three-page TIFF (gray, colour, bi-level Group 4 at 75 dpi)
// gives the readers a document with several pages.
#include <cstdint>
#include <exception>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "tools/sample_page.h"

namespace {

constexpr std::int32_t kReduction = 4;
constexpr std::uint8_t kBilevelLevel = 128;

// The page shrunk by kReduction in both directions, each pixel the mean of its block.
std::unique_ptr<TDIB> Reduced(const TDIB& page) {
  const std::int32_t width = page.Width() / kReduction;
  const std::int32_t height = page.Height() / kReduction;
  const std::int32_t channels = page.BitCount() / 8;
  auto small = std::make_unique<TDIB>();
  small->Allocate(width, height, page.Format(), page.XResolution() / kReduction,
                  page.YResolution() / kReduction);
  for (std::int32_t y = 0; y < height; ++y) {
    std::uint8_t* out = small->Row(y);
    for (std::int32_t i = 0; i < width * channels; ++i) {
      const std::int32_t x = i / channels;
      const std::int32_t c = i % channels;
      std::int32_t sum = 0;
      for (std::int32_t dy = 0; dy < kReduction; ++dy) {
        const std::uint8_t* in = page.Row(y * kReduction + dy);
        for (std::int32_t dx = 0; dx < kReduction; ++dx) {
          sum += in[(x * kReduction + dx) * channels + c];
        }
      }
      out[i] = static_cast<std::uint8_t>(sum / (kReduction * kReduction));
    }
  }
  return small;
}

// A plain fixed-level bi-level copy of an 8-bit page: white (bit 1) from kBilevelLevel up.
std::unique_ptr<TDIB> Bilevel(const TDIB& gray) {
  auto bilevel = std::make_unique<TDIB>();
  bilevel->Allocate(gray.Width(), gray.Height(), df1Bit, gray.XResolution(), gray.YResolution());
  for (std::int32_t y = 0; y < gray.Height(); ++y) {
    for (std::int32_t x = 0; x < gray.Width(); ++x) {
      bilevel->SetPixel(x, y, gray.Row(y)[x] >= kBilevelLevel ? 1 : 0);
    }
  }
  return bilevel;
}

void WriteSamples(const std::filesystem::path& folder) {
  std::filesystem::create_directories(folder);
  const auto gray = MakeSamplePage(false);
  const auto colour = MakeSamplePage(true);
  gray->SaveTIFFToFile((folder / "sample-gray.tif").string(), false, tcNone, 16);
  colour->SavePNGToFile((folder / "sample-colour.png").string());
  colour->SaveTIFFToFile((folder / "sample-colour-lzw.tif").string(), false, tcLZW, 16);

  const std::string pages = (folder / "sample-pages.tif").string();
  const auto smallGray = Reduced(*gray);
  smallGray->SaveTIFFToFile(pages, false, tcLZW, 16);
  Reduced(*colour)->SaveTIFFToFile(pages, true, tcDeflate, 16);
  Bilevel(*smallGray)->SaveTIFFToFile(pages, true, tcCCITT4, 16);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_sample_pages OUTDIR\n";
    return 2;
  }
  try {
    WriteSamples(argv[1]);
  } catch (const std::exception& error) {
    std::cerr << "make_sample_pages: " << error.what() << '\n';
    return 1;
  }
  return 0;
}
