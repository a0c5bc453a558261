// Decisions kept as the image's 1-bit pixels. See decided_image.h.
#include "binarize/decided_image.h"

#include <cstring>

#include "binarize/global_threshold.h"

void KeepDecisions(TDIB& image, const TDIB& decided) {
  for (std::int32_t y = 0; y < image.Height(); ++y) {
    std::memcpy(image.Row(y), decided.Row(y), static_cast<std::size_t>(image.Width()));
  }
  Threshold(image, 128, true, 0, 255);
}
