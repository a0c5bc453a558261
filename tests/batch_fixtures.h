// Small generated pages for the tests of the batch command and the shared workflow layer, and
// ways to look at what was written.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "binarize/threshold_settings.h"
#include "image/dibunit.h"

// A gray page with a slope, strokes and texture; seed varies it. Resolution 150 x 200 dpi.
inline std::unique_ptr<TDIB> GrayPage(std::int32_t seed, std::int32_t width = 40,
                                      std::int32_t height = 30) {
  auto image = std::make_unique<TDIB>();
  image->Allocate(width, height, df8Bit, 150, 200);
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) {
      std::int32_t value = 90 + 3 * x + y * seed % 40 + (x * 7 + y * 13 + seed * 5) % 31;
      if ((x + seed) % 9 == 2 || (y + seed) % 7 == 3) value -= 80;
      image->SetPixel(x, y, std::clamp(value, 0, 255));
    }
  }
  return image;
}

// Format code, size and the colour of every pixel, for comparing images whatever file they
// came from (a reader may order a palette otherwise than the image it was written from).
inline std::vector<std::int64_t> Pixels(const TDIB& image) {
  std::vector<std::int64_t> pixels{image.Format(), image.Width(), image.Height()};
  for (std::int32_t y = 0; y < image.Height(); ++y) {
    for (std::int32_t x = 0; x < image.Width(); ++x) {
      const std::int32_t value = image.GetPixel(x, y);
      pixels.push_back(image.PaletteCount() > 0 ? image.GetPaletteEntry(value) & 0xFFFFFF : value);
    }
  }
  return pixels;
}

inline std::vector<std::int64_t> FilePixels(const std::string& fileName, std::int32_t page = 0) {
  TDIB image;
  image.LoadFromFile(fileName, page);
  return Pixels(image);
}

// What the batch must have written for a page of an input file: the file's page read and
// binarized directly.
inline std::vector<std::int64_t> Expected(const std::string& input, const TThresholdSettings& s,
                                          std::int32_t page = 0) {
  TDIB image;
  image.LoadFromFile(input, page);
  ApplyThresholding(image, s);
  return Pixels(image);
}
