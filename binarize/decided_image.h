// The last step every local method shares: the decisions it wrote as 0 and 255 into a
// separate gray image become the image's own 1-bit pixels, dark pixels black.
#pragma once

#include <memory>

#include "binarize/window_filters_plane.h"
#include "image/dibunit.h"

// Copies decided (an 8-bit image of 0 and 255, of image's size) into image, 8-bit too, and
// turns it into a 1-bit image: 0 black, 255 white.
void KeepDecisions(TDIB& image, const TDIB& decided);

// Takes image to gray (24-bit to 8-bit; other depths but 8 bits fail with the 8-bit message,
// image untouched), has decide(gray, decisions) fill a blank 8-bit image with 0 and 255, and
// keeps those decisions as the image's 1-bit pixels.
template <class TDecide>
void BinarizeByDecisions(TDIB& image, TDecide&& decide) {
  GrayFrom24Bit(image);
  auto decided = BlankLike(image);
  decide(static_cast<const TDIB&>(image), *decided);
  KeepDecisions(image, *decided);
}
