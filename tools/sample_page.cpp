// The sample page: the document is drawn as ink, blurred by the optics, then "scanned" onto
// tinted paper under uneven light with a stain and sensor noise. The layout, the shading and
// the stain come first from the seed's random stream, so the gray and the colour page of one
// seed show the same document.
#include "tools/sample_page.h"

#include "tools/ink_canvas.h"
#include "tools/page_layout.h"
#include "tools/sample_random.h"
#include "tools/scan_effects.h"

namespace {

constexpr std::int32_t kDotsPerInch = 300;

// Warm off-white paper, blue-black ink, a dark blue heading, a brown stain that takes most
// of the blue. Channels in stored order: blue, green, red.
constexpr TPageColours kColourPage{
    3, {222, 237, 243}, {48, 36, 38}, {140, 62, 28}, {1884, 1147, 655}};
constexpr TPageColours kGrayPage{1, {232, 0, 0}, {30, 0, 0}, {62, 0, 0}, {1147, 0, 0}};

}  // namespace

std::unique_ptr<TDIB> MakeSamplePage(bool colour, std::uint32_t seed) {
  TSampleRandom random(seed);
  // Up to a quarter of a degree askew either way.
  const double skew = 0.0012 * random.Between(-4, 4);
  TInkCanvas ink(kSamplePageWidth, kSamplePageHeight, skew);
  const TRowBand heading = DrawDocument(ink, random);
  ink.Blur();
  const TShading shading = MakeShading(random, kSamplePageWidth, kSamplePageHeight);
  const TStain stain = MakeStain(random, kSamplePageWidth, kSamplePageHeight);

  auto page = std::make_unique<TDIB>();
  page->Allocate(kSamplePageWidth, kSamplePageHeight, colour ? df24Bit : df8Bit, kDotsPerInch,
                 kDotsPerInch);
  ScanPage(ink, shading, stain, colour ? kColourPage : kGrayPage, heading, random, *page);
  return page;
}
