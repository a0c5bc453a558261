// A small stroke font for the sample page: letters, digits and a little punctuation, each a
// few polylines on a grid 16 units high (cap and ascender top 0, x-height 5, baseline 12,
// descender 16). Characters it lacks are drawn as spaces.
#pragma once

#include <string_view>

#include "tools/ink_canvas.h"
#include "tools/sample_random.h"

struct TTextStyle {
  double unit;    // pixels per grid unit: the cap height is 12 units
  double radius;  // stroke radius in pixels: the weight of the type
};

// Width of text in pixels, from the pen position before its first character to the one
// after its last.
double TextWidth(const TTextStyle& style, std::string_view text);

// Draws text with its baseline at baseline, the pen starting at x; answers the pen position
// after the text. Each character gets a slightly different ink density, as toner lies unevenly.
double DrawText(TInkCanvas& ink, TSampleRandom& random, const TTextStyle& style, double x,
                double baseline, std::string_view text);
