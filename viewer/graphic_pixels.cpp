// Pixel access of a display graphic, used by the view readers: colours through the palette
// (stored as the nearest entry's index) and indexes directly. Outside the image a read
// answers 0 and a write does nothing, as with the image library's raster.
#include "viewer/dib_graphic.h"
#include "viewer/packed_pixels.h"
#include "viewer/viewer_errors.h"

namespace {

TColorValue PackColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  return (TColorValue{red} << 16) | (TColorValue{green} << 8) | blue;
}

[[noreturn]] void NoPalette() {
  throw EViewerError("The image does not have a palette");
}

}  // namespace

TColorValue TDibGraphic::GetPixelColor(std::int32_t x, std::int32_t y) const {
  if (x < 0 || x >= Width() || y < 0 || y >= Height()) return 0;
  if (format_ == gfTrueColor) {
    const std::uint8_t* pixel = ScanLine(y) + 3 * static_cast<std::size_t>(x);
    return PackColor(pixel[2], pixel[1], pixel[0]);
  }
  const TLogPalette::Entry& entry =
      palette_.palPalEntry[static_cast<std::size_t>(GetPixelIndex(x, y))];
  return PackColor(entry.red, entry.green, entry.blue);
}

void TDibGraphic::SetPixelColor(std::int32_t x, std::int32_t y, TColorValue color) {
  if (x < 0 || x >= Width() || y < 0 || y >= Height()) return;
  if (format_ == gfTrueColor) {
    std::uint8_t* pixel = ScanLine(y) + 3 * static_cast<std::size_t>(x);
    pixel[0] = static_cast<std::uint8_t>(color);
    pixel[1] = static_cast<std::uint8_t>(color >> 8);
    pixel[2] = static_cast<std::uint8_t>(color >> 16);
    return;
  }
  SetPixelIndex(x, y, converter_->IndexOf(color));
}

std::int32_t TDibGraphic::GetPixelIndex(std::int32_t x, std::int32_t y) const {
  if (format_ == gfTrueColor) NoPalette();
  if (x < 0 || x >= Width() || y < 0 || y >= Height()) return 0;
  return PackedIndexAt(ScanLine(y), x, header_.biBitCount);
}

void TDibGraphic::SetPixelIndex(std::int32_t x, std::int32_t y, std::int32_t index) {
  if (format_ == gfTrueColor) NoPalette();
  if (x < 0 || x >= Width() || y < 0 || y >= Height()) return;
  PutPackedIndex(ScanLine(y), x, header_.biBitCount, index);
}
