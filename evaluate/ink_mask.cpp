// Masks of ink from images of every depth.
#include "evaluate/ink_mask.h"

#include <array>

#include "binarize/threshold_settings.h"

namespace {

// Whether a colour 0x00RRGGBB is dark, with the weights the library grays colour pages by.
bool IsDark(std::uint32_t colour) {
  const double red = colour >> 16 & 0xFF, green = colour >> 8 & 0xFF, blue = colour & 0xFF;
  return 0.30 * red + 0.59 * green + 0.11 * blue < kInkBelow - 0.5;
}

TInkMask FromPalette(const TDIB& image) {
  std::array<std::uint8_t, 256> inkOfIndex{};
  for (std::int32_t i = 0; i < image.PaletteCount() && i < 256; ++i) {
    inkOfIndex[static_cast<std::size_t>(i)] = IsDark(image.GetPaletteEntry(i)) ? 1 : 0;
  }
  TInkMask mask{image.Width(), image.Height(), {}};
  mask.Ink.resize(static_cast<std::size_t>(mask.Width) * mask.Height);
  for (std::int32_t y = 0; y < mask.Height; ++y) {
    for (std::int32_t x = 0; x < mask.Width; ++x) {
      const auto index = static_cast<std::size_t>(image.GetPixel(x, y) & 0xFF);
      mask.Ink[static_cast<std::size_t>(y) * mask.Width + x] = inkOfIndex[index];
    }
  }
  return mask;
}

}  // namespace

TInkMask InkMaskOf(const TDIB& image) {
  if (image.BitCount() <= 8) return FromPalette(image);
  // Colour pixels become gray exactly as a method grays them, on a copy.
  const auto gray = image.Duplicate();
  PrepareForThresholding(*gray);
  gray->ConvertTo(df8Bit);
  return FromPalette(*gray);
}

TInkMask ReadInkMask(const std::string& fileName) {
  TDIB image;
  image.LoadFromFile(fileName, 0);
  return InkMaskOf(image);
}
