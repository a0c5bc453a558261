// Pasting a binarized zone into a processed image of any format by colour, so that black
// stays black and white stays white whatever the processed image's palette says.
#pragma once

#include <cstdint>

#include "image/dibunit.h"

// Pastes source into target with its top-left pixel at (x, y), leaving out what falls
// outside. Images of the same depth and colour table are copied bit for bit; otherwise each
// pixel's colour is mapped: a bi-level source's darker entry to the target's darkest colour
// and its lighter entry to the lightest, any other colour to the nearest one of the target.
void PasteByColour(const TDIB& source, TDIB& target, std::int32_t x, std::int32_t y);
