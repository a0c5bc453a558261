// Texts and rectangles of the zone.
#include "app/zone.h"

#include <cstdio>

std::string ZonePanelText(const TZone& zone) {
  if (zone.WholeImage) return "Full Image";
  char text[80];
  std::snprintf(text, sizeof text, "Area %d,%d - %d,%d", zone.Rect.Left, zone.Rect.Top,
                zone.Rect.Right, zone.Rect.Bottom);
  return text;
}

TRect ZoneRectangle(const TZone& zone, std::int32_t width, std::int32_t height) {
  if (zone.WholeImage) return {0, 0, width - 1, height - 1};
  return zone.Rect;
}
