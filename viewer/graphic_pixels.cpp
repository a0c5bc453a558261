// Pixel access of a display graphic, used by the view readers: colours through the palette
// (stored as the nearest entry's index) and indexes directly. Outside the image a read
// answers 0 and a write does nothing, as with the image library's raster.
#include "viewer/dib_graphic.h"
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
  const std::uint8_t* row = ScanLine(y);
  const auto ux = static_cast<std::uint32_t>(x);
  switch (header_.biBitCount) {
    case 1:
      return (row[ux / 8] >> (7 - ux % 8)) & 1;
    case 4:
      return ux % 2 == 0 ? row[ux / 2] >> 4 : row[ux / 2] & 0x0F;
    default:
      return row[ux];
  }
}

void TDibGraphic::SetPixelIndex(std::int32_t x, std::int32_t y, std::int32_t index) {
  if (format_ == gfTrueColor) NoPalette();
  if (x < 0 || x >= Width() || y < 0 || y >= Height()) return;
  std::uint8_t* row = ScanLine(y);
  const auto ux = static_cast<std::uint32_t>(x);
  switch (header_.biBitCount) {
    case 1: {
      const auto mask = static_cast<std::uint8_t>(0x80u >> (ux % 8));
      row[ux / 8] = static_cast<std::uint8_t>(index > 0 ? row[ux / 8] | mask : row[ux / 8] & ~mask);
      break;
    }
    case 4: {
      const auto nibble = static_cast<std::uint8_t>(index & 0x0F);
      std::uint8_t& byte = row[ux / 2];
      byte = static_cast<std::uint8_t>(ux % 2 == 0 ? (byte & 0x0F) | (nibble << 4)
                                                   : (byte & 0xF0) | nibble);
      break;
    }
    default:
      row[ux] = static_cast<std::uint8_t>(index);
      break;
  }
}
