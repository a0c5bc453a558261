// Padded: an 8-bit image framed by a border of b mirrored rows and columns, for the 5 x 5
// neighbourhoods of edge thresholding. The mirror is the edge method's own: above the image lie
// its rows 3 .. b + 2 (nearest first), below it rows height - 2 .. height - b, and beside it the
// columns likewise; the outermost row and column stay 0. For an image smaller than b + 3 in a
// direction the mirrored index is clamped into the image, so nothing outside it is read.
#include <algorithm>
#include <cstring>

#include "binarize/edge_threshold.h"
#include "platform/errors.h"

namespace {

std::int32_t Clamped(std::int32_t index, std::int32_t size) {
  return std::clamp(index, 0, size - 1);
}

}  // namespace

std::unique_ptr<TDIB> Padded(const TDIB& image, std::int32_t b) {
  if (image.Format() != df8Bit) throw EError(kNeeds8Bit);
  if (b < 0) throw EError("The border of a padded image cannot be negative");
  const std::int32_t width = image.Width();
  const std::int32_t height = image.Height();
  if ((std::int64_t{width} + 2 * std::int64_t{b}) * (std::int64_t{height} + 2 * std::int64_t{b}) >
      kMaxPixelBytes) {
    throw EError(kImageTooLarge);
  }
  auto padded = std::make_unique<TDIB>();
  padded->Allocate(width + 2 * b, height + 2 * b, df8Bit, image.XResolution(), image.YResolution());
  if (width == 0 || height == 0) return padded;
  const auto copyRow = [&](std::int32_t target, std::int32_t source) {
    std::memcpy(padded->Row(target) + b, image.Row(source), static_cast<std::size_t>(width));
  };
  for (std::int32_t y = 0; y < height; ++y) copyRow(y + b, y);
  for (std::int32_t k = 0; k < b; ++k) {
    copyRow(k, Clamped(b + 2 - k, height));
    copyRow(b + height - 1 + k, Clamped(height - 1 - k, height));
  }
  // Every row but the last one gets its side borders, read from its own copied part.
  for (std::int32_t y = 0; y < height + 2 * b - 1; ++y) {
    std::uint8_t* row = padded->Row(y);
    for (std::int32_t k = 0; k < b; ++k) {
      row[k] = row[b + Clamped(b + 2 - k, width)];
      row[b + width - 1 + k] = row[b + Clamped(width - 1 - k, width)];
    }
  }
  return padded;
}
