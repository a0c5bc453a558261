// The document printed on the sample page: a heading, paragraphs of prose, a ruled table of
// measurements with its caption, a footer, and the dust and hairs a scanner glass collects.
#pragma once

#include <cstdint>

#include "tools/ink_canvas.h"
#include "tools/sample_random.h"

// The rows that hold the heading, printed in an accent colour on the colour page.
struct TRowBand {
  std::int32_t top;
  std::int32_t bottom;  // inclusive
};

// Lays the document out on an A4 300 dpi canvas; answers the heading's rows.
TRowBand DrawDocument(TInkCanvas& ink, TSampleRandom& random);
