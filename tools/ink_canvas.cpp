// Stroke drawing and optical blur of the sample page's ink. Only IEEE basic operations and
// square roots are used, which give the same results on every conforming machine.
#include "tools/ink_canvas.h"

#include <algorithm>
#include <cmath>

TInkCanvas::TInkCanvas(std::int32_t width, std::int32_t height, double skew)
    : width_(width),
      height_(height),
      sin_(skew),
      cos_(std::sqrt(1.0 - skew * skew)),
      ink_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0) {}

void TInkCanvas::Turn(double& x, double& y) const {
  const double centreX = 0.5 * width_;
  const double centreY = 0.5 * height_;
  const double dx = x - centreX;
  const double dy = y - centreY;
  x = centreX + cos_ * dx - sin_ * dy;
  y = centreY + sin_ * dx + cos_ * dy;
}

void TInkCanvas::Stroke(double x0, double y0, double x1, double y1, double radius,
                        std::uint8_t density) {
  Turn(x0, y0);
  Turn(x1, y1);
  // A pixel is covered by the part of it within radius of the stroke's centre line; the
  // cover falls linearly over the pixel that straddles the edge.
  const double reach = radius + 0.5;
  const auto left = std::max(0, static_cast<std::int32_t>(std::floor(std::min(x0, x1) - reach)));
  const auto right =
      std::min(width_ - 1, static_cast<std::int32_t>(std::ceil(std::max(x0, x1) + reach)));
  const auto top = std::max(0, static_cast<std::int32_t>(std::floor(std::min(y0, y1) - reach)));
  const auto bottom =
      std::min(height_ - 1, static_cast<std::int32_t>(std::ceil(std::max(y0, y1) + reach)));
  const double dx = x1 - x0;
  const double dy = y1 - y0;
  const double length2 = dx * dx + dy * dy;
  for (std::int32_t y = top; y <= bottom; ++y) {
    const double py = y + 0.5 - y0;
    std::uint8_t* row = &ink_[Index(0, y)];
    for (std::int32_t x = left; x <= right; ++x) {
      const double px = x + 0.5 - x0;
      const double along =
          length2 > 0.0 ? std::clamp((px * dx + py * dy) / length2, 0.0, 1.0) : 0.0;
      const double ex = px - along * dx;
      const double ey = py - along * dy;
      const double distance2 = ex * ex + ey * ey;
      if (distance2 >= reach * reach) continue;
      const double cover = std::min(1.0, reach - std::sqrt(distance2));
      const auto value = static_cast<std::uint8_t>(cover * density + 0.5);
      row[x] = std::max(row[x], value);
    }
  }
}

void TInkCanvas::Blur() {
  BlurAcross();
  BlurDown();
}

void TInkCanvas::BlurAcross() {
  std::vector<std::uint8_t> line(static_cast<std::size_t>(width_));
  for (std::int32_t y = 0; y < height_; ++y) {
    std::uint8_t* row = &ink_[Index(0, y)];
    std::copy(row, row + width_, line.begin());
    for (std::int32_t x = 0; x < width_; ++x) {
      const std::int32_t before = line[static_cast<std::size_t>(std::max(x - 1, 0))];
      const std::int32_t after = line[static_cast<std::size_t>(std::min(x + 1, width_ - 1))];
      row[x] = static_cast<std::uint8_t>(
          (before + 2 * line[static_cast<std::size_t>(x)] + after + 2) >> 2);
    }
  }
}

void TInkCanvas::BlurDown() {
  // Rows are blurred in place from the top: the unblurred row above is kept aside, the row
  // below has not been touched yet.
  std::vector<std::uint8_t> above(Row(0), Row(0) + width_);
  std::vector<std::uint8_t> current(static_cast<std::size_t>(width_));
  for (std::int32_t y = 0; y < height_; ++y) {
    std::uint8_t* row = &ink_[Index(0, y)];
    std::copy(row, row + width_, current.begin());
    const std::uint8_t* below = y + 1 < height_ ? Row(y + 1) : current.data();
    for (std::int32_t x = 0; x < width_; ++x) {
      const auto i = static_cast<std::size_t>(x);
      row[x] = static_cast<std::uint8_t>((above[i] + 2 * current[i] + below[x] + 2) >> 2);
    }
    above.swap(current);
  }
}
