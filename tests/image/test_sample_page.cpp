// The generated sample page the benchmarks and the bundled samples rest on: a seed gives the
// same bytes every time, the page is an A4 300 dpi image in the expected format, and it looks
// like a document: dark ink on bright paper, tinted paper on the colour page.
#include <gtest/gtest.h>

#include <cstdint>

#include "tools/sample_page.h"

namespace {

// Pages are expensive to draw: each test program makes the two it checks once.
const TDIB& GrayPage() {
  static const auto page = MakeSamplePage(false, 7);
  return *page;
}

const TDIB& ColourPage() {
  static const auto page = MakeSamplePage(true, 7);
  return *page;
}

// FNV-1a over the pixel bytes of every row, padding left out.
std::uint64_t PixelHash(const TDIB& page) {
  std::uint64_t hash = 14695981039346656037ull;
  for (std::int32_t y = 0; y < page.Height(); ++y) {
    const std::uint8_t* row = page.Row(y);
    for (std::int32_t i = 0; i < page.BytesPerRow(); ++i) {
      hash = (hash ^ row[i]) * 1099511628211ull;
    }
  }
  return hash;
}

// Share of pixels whose mean over the channels lies below dark and above bright.
struct TTones {
  double dark;
  double bright;
};

TTones Tones(const TDIB& page, std::int32_t dark, std::int32_t bright) {
  const std::int32_t channels = page.BitCount() / 8;
  std::int64_t darkCount = 0;
  std::int64_t brightCount = 0;
  for (std::int32_t y = 0; y < page.Height(); ++y) {
    const std::uint8_t* row = page.Row(y);
    for (std::int32_t x = 0; x < page.Width(); ++x) {
      std::int32_t sum = 0;
      for (std::int32_t c = 0; c < channels; ++c) sum += row[x * channels + c];
      darkCount += sum < dark * channels;
      brightCount += sum > bright * channels;
    }
  }
  const double pixels = static_cast<double>(page.Width()) * page.Height();
  return {static_cast<double>(darkCount) / pixels, static_cast<double>(brightCount) / pixels};
}

// A second page of the same seed is the same; no state carries over from one page to the next.
TEST(SamplePage, SameSeedGivesSameBytes) {
  EXPECT_EQ(PixelHash(*MakeSamplePage(false, 7)), PixelHash(GrayPage()));
  EXPECT_NE(PixelHash(*MakeSamplePage(false, 8)), PixelHash(GrayPage()));
}

// The page must not depend on the compiler, its optimisation or the machine (the order in
// which arguments are evaluated, fused multiply-add, excess precision). These hashes were
// taken from GCC and Clang builds from -O0 to -O3; a deliberate change of the page's look
// updates them.
TEST(SamplePage, IsTheSameOnEveryBuild) {
  EXPECT_EQ(PixelHash(GrayPage()), 0x322d556367f8028cull);
  EXPECT_EQ(PixelHash(ColourPage()), 0x47678bb95fc8c599ull);
}

TEST(SamplePage, IsAnA4ScanAt300Dpi) {
  struct {
    const TDIB& page;
    TDIBFormat format;
    std::int32_t paletteCount;
  } const cases[] = {
      {GrayPage(), df8Bit, 256},   // gray: a pixel value is its gray level
      {ColourPage(), df24Bit, 0},  // colour: blue, green, red bytes
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.page.Width(), kSamplePageWidth);
    EXPECT_EQ(c.page.Height(), kSamplePageHeight);
    EXPECT_EQ(c.page.Format(), c.format);
    EXPECT_EQ(c.page.PaletteCount(), c.paletteCount);
    EXPECT_TRUE(c.page.HasStandardPalette());
    EXPECT_EQ(c.page.XResolution(), 300);
    EXPECT_EQ(c.page.YResolution(), 300);
  }
}

TEST(SamplePage, ShowsDarkInkOnBrightPaper) {
  for (const TDIB* page : {&GrayPage(), &ColourPage()}) {
    const TTones tones = Tones(*page, 100, 150);
    EXPECT_GT(tones.dark, 0.02) << "too little ink, format " << int{page->Format()};
    EXPECT_LT(tones.dark, 0.20) << "too much ink, format " << int{page->Format()};
    EXPECT_GT(tones.bright, 0.75) << "too little paper, format " << int{page->Format()};
  }
}

TEST(SamplePage, ColourPageHasWarmPaper) {
  // The middle of the page is bare paper between the heading rule and the first text line.
  std::int64_t red = 0;
  std::int64_t blue = 0;
  const std::uint8_t* row = ColourPage().Row(510);
  for (std::int32_t x = 400; x < 2000; ++x) {
    blue += row[3 * x];
    red += row[3 * x + 2];
  }
  EXPECT_GT(red - blue, 10 * 1600);
}

}  // namespace
