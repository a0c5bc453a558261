// The ink of the sample page before it is scanned: one byte of ink cover per pixel (0 bare
// paper, 255 full ink), drawn as round-capped strokes with anti-aliased edges. The drawing is
// turned by a small angle about the page centre, as a sheet lies slightly askew on the glass.
#pragma once

#include <cstdint>
#include <vector>

class TInkCanvas {
 public:
  // skew: sine of the angle by which the sheet is turned (positive: clockwise on screen).
  TInkCanvas(std::int32_t width, std::int32_t height, double skew);

  // A stroke from (x0, y0) to (x1, y1) in page pixels with the given radius; density is the
  // cover at the core of the stroke. Where strokes overlap the denser ink wins.
  void Stroke(double x0, double y0, double x1, double y1, double radius, std::uint8_t density);

  // The softness of the scanner's optics: a [1 2 1] / 4 blur across, then down.
  void Blur();

  std::int32_t Width() const { return width_; }
  std::int32_t Height() const { return height_; }
  const std::uint8_t* Row(std::int32_t y) const { return &ink_[Index(0, y)]; }

 private:
  std::size_t Index(std::int32_t x, std::int32_t y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
           static_cast<std::size_t>(x);
  }
  void Turn(double& x, double& y) const;
  void BlurAcross();
  void BlurDown();

  std::int32_t width_;
  std::int32_t height_;
  double sin_;
  double cos_;
  std::vector<std::uint8_t> ink_;
};
