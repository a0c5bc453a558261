// Conversions between the source, display and client coordinate spaces of a view.
#include "viewer/view_coordinates.h"

#include "image/rounding.h"

std::int32_t ImageOffset(std::int32_t centeringOffset, std::int32_t scrollPosition) {
  return centeringOffset - scrollPosition;
}

std::int32_t CenteringOffset(std::int32_t viewExtent, std::int32_t displayExtent) {
  return displayExtent < viewExtent ? (viewExtent - displayExtent) / 2 : 0;
}

TPoint DisplayToClient(TPoint display, TPoint imageOrigin) {
  return {display.X + imageOrigin.X, display.Y + imageOrigin.Y};
}

TPoint ClientToDisplay(TPoint client, TPoint imageOrigin) {
  return {client.X - imageOrigin.X, client.Y - imageOrigin.Y};
}

TRect DisplayRectToClient(const TRect& display, TPoint imageOrigin) {
  TPoint topLeft = DisplayToClient({display.Left, display.Top}, imageOrigin);
  TPoint bottomRight = DisplayToClient({display.Right, display.Bottom}, imageOrigin);
  return {topLeft.X, topLeft.Y, bottomRight.X, bottomRight.Y};
}

std::int32_t DisplayToSource(std::int32_t display, std::int32_t sourceExtent,
                             std::int32_t displayExtent) {
  if (displayExtent == 0) return 0;
  // The scale is kept as a double first, as the band's consumers expect.
  double factor = static_cast<double>(sourceExtent) / static_cast<double>(displayExtent);
  return RoundHalfEven(display * factor);
}

TRect DisplayRectToSource(const TRect& display, TExtent source, TExtent displayExtent) {
  return {DisplayToSource(display.Left, source.Width, displayExtent.Width),
          DisplayToSource(display.Top, source.Height, displayExtent.Height),
          DisplayToSource(display.Right, source.Width, displayExtent.Width),
          DisplayToSource(display.Bottom, source.Height, displayExtent.Height)};
}
