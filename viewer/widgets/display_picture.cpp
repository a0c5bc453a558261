// Display graphic to paintable picture.
#include "viewer/widgets/display_picture.h"

#include <cstring>

#include "viewer/viewer_errors.h"

namespace {

void CopyTrueColorRows(const TDibGraphic& display, QImage& picture) {
  // Both keep blue, green, red bytes; only the row order differs (the graphic is bottom-up).
  const auto rowBytes = static_cast<std::size_t>(display.Width()) * 3;
  for (std::int32_t y = 0; y < display.Height(); ++y) {
    std::memcpy(picture.scanLine(y), display.ScanLine(y), rowBytes);
  }
}

void CopyPaletteRows(const TDibGraphic& display, QImage& picture) {
  for (std::int32_t y = 0; y < display.Height(); ++y) {
    std::uint8_t* row = picture.scanLine(y);
    for (std::int32_t x = 0; x < display.Width(); ++x) {
      TColorValue color = display.GetPixelColor(x, y);
      row[3 * x] = static_cast<std::uint8_t>(color);
      row[3 * x + 1] = static_cast<std::uint8_t>(color >> 8);
      row[3 * x + 2] = static_cast<std::uint8_t>(color >> 16);
    }
  }
}

}  // namespace

QImage DisplayPicture(const TDibGraphic& display) {
  if (display.Empty()) return {};
  QImage picture(display.Width(), display.Height(), QImage::Format_BGR888);
  if (picture.isNull()) throw EOutOfResources("Out of resources");
  if (display.ImageFormat() == gfTrueColor) {
    CopyTrueColorRows(display, picture);
  } else {
    CopyPaletteRows(display, picture);
  }
  return picture;
}
