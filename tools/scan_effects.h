// What the scanner makes of the sample page's ink: paper and ink colours, uneven light (a
// gradient across the glass, a vignette, the shadow of the binding edge), a coffee stain,
// and sensor noise. All light arithmetic is in integers, so a seed gives the same bytes on
// every machine.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "image/dibunit.h"
#include "tools/ink_canvas.h"
#include "tools/page_layout.h"
#include "tools/sample_random.h"

// Colours of one page, per stored channel: blue, green, red for colour, one channel for gray.
struct TPageColours {
  std::int32_t channels;
  std::array<std::int32_t, 3> paper;
  std::array<std::int32_t, 3> ink;
  std::array<std::int32_t, 3> accent;       // ink of the heading
  std::array<std::int32_t, 3> stainAbsorb;  // light a full stain takes, in 1/4096
};

// Light lost at each column and each row, in 1/4096; the losses add up.
struct TShading {
  std::vector<std::int32_t> column;
  std::vector<std::int32_t> row;
};

// Stain strength 0..255 over a rectangle of the page.
struct TStain {
  std::int32_t left;
  std::int32_t top;
  std::int32_t width;
  std::int32_t height;
  std::vector<std::uint8_t> strength;
};

TShading MakeShading(TSampleRandom& random, std::int32_t width, std::int32_t height);
TStain MakeStain(TSampleRandom& random, std::int32_t width, std::int32_t height);

// Writes the scanned page into page, an allocated 8-bit or 24-bit image of the canvas's size.
void ScanPage(const TInkCanvas& ink, const TShading& shading, const TStain& stain,
              const TPageColours& colours, TRowBand accent, TSampleRandom& random, TDIB& page);
