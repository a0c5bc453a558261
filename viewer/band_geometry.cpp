// Rubber-band geometry: handle tables, hit tests, clamping and rescaling.
#include "viewer/band_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "viewer/viewer_errors.h"

namespace {

// A handle is near a line or corner within this many pixels.
constexpr std::int32_t kNearness = 3;
// The inside of a band starts this many pixels in from its left and right edges.
constexpr std::int32_t kInsideMargin = 4;

bool Near(std::int32_t a, std::int32_t b) {
  return std::abs(a - b) <= kNearness;
}

struct THandleEntry {
  TBandMovement Movement;
  TCursorShape Cursor;
  bool SwapX, SwapY;
};

constexpr THandleEntry kHandles[] = {
    {bmFree, crSizeNWSE, true, true},        // ghTopLeft
    {bmVertical, crSizeNS, false, true},     // ghTop
    {bmFree, crSizeNESW, false, true},       // ghTopRight
    {bmHorizontal, crSizeWE, false, false},  // ghRight
    {bmFree, crSizeNWSE, false, false},      // ghBottomRight
    {bmVertical, crSizeNS, false, false},    // ghBottom
    {bmFree, crSizeNESW, true, false},       // ghBottomLeft
    {bmHorizontal, crSizeWE, true, false},   // ghLeft
    {bmMove, crHandOpened, false, false},    // ghInside
};

const THandleEntry& HandleEntry(TGrabHandle handle, const char* caller) {
  if (handle > ghInside) throw EViewerError(std::string("Invalid GrabHandle, ") + caller);
  return kHandles[handle];
}

std::int32_t Rescaled(std::int32_t value, double factor) {
  double scaled = std::trunc(value * factor);
  return static_cast<std::int32_t>(std::clamp(scaled, -2147483648.0, 2147483647.0));
}

// new / saved as a double; 1 when the saved extent is 0.
double Ratio(std::int32_t now, std::int32_t saved) {
  return saved == 0 ? 1.0 : static_cast<double>(now) / static_cast<double>(saved);
}

}  // namespace

TBandMovement GrabHandleToBandMovement(TGrabHandle handle) {
  return HandleEntry(handle, "GrabHandleToBandMovement").Movement;
}

TCursorShape GrabHandleToCursor(TGrabHandle handle) {
  return HandleEntry(handle, "GrabHandleToCursor").Cursor;
}

TBand SwapForGrab(const TBand& band, TGrabHandle handle) {
  const THandleEntry& entry = HandleEntry(handle, "GrabHandleToBandMovement");
  TBand swapped = band;
  if (entry.SwapX) std::swap(swapped.X1, swapped.X2);
  if (entry.SwapY) std::swap(swapped.Y1, swapped.Y2);
  return swapped;
}

std::optional<TGrabHandle> HitTest(const TBand& band, TPoint display) {
  const std::int32_t px = display.X, py = display.Y;
  const bool betweenX = band.X1 <= px && px <= band.X2;
  const bool betweenY = band.Y1 <= py && py <= band.Y2;
  if (Near(px, band.X2) && Near(py, band.Y2)) return ghBottomRight;
  if (Near(px, band.X1) && Near(py, band.Y1)) return ghTopLeft;
  if (Near(px, band.X2) && Near(py, band.Y1)) return ghTopRight;
  if (Near(px, band.X1) && Near(py, band.Y2)) return ghBottomLeft;
  if (Near(py, band.Y1) && betweenX) return ghTop;
  if (Near(py, band.Y2) && betweenX) return ghBottom;
  if (Near(px, band.X1) && betweenY) return ghLeft;
  if (Near(px, band.X2) && betweenY) return ghRight;
  if (band.X1 + kInsideMargin <= px && px < band.X2 - kInsideMargin &&
      band.Y1 - kInsideMargin <= py && py < band.Y2 + kInsideMargin) {
    return ghInside;
  }
  return std::nullopt;
}

TPoint ClampToDisplay(TPoint point, TExtent display) {
  TPoint clamped = point;
  if (clamped.Y < 0) clamped.Y = 0;
  if (clamped.X < 0) clamped.X = 0;
  if (clamped.X >= display.Width) clamped.X = display.Width - 1;
  if (clamped.Y >= display.Height) clamped.Y = display.Height - 1;
  return clamped;
}

TBand NormalizeBand(const TBand& band) {
  return {std::min(band.X1, band.X2), std::min(band.Y1, band.Y2), std::max(band.X1, band.X2),
          std::max(band.Y1, band.Y2)};
}

TRect BandRect(const TBand& band) {
  TBand normal = NormalizeBand(band);
  return {normal.X1, normal.Y1, normal.X2, normal.Y2};
}

TBand RescaleBand(const TBand& band, TExtent saved, TExtent now) {
  double fx = Ratio(now.Width, saved.Width);
  double fy = Ratio(now.Height, saved.Height);
  return {Rescaled(band.X1, fx), Rescaled(band.Y1, fy), Rescaled(band.X2, fx),
          Rescaled(band.Y2, fy)};
}
