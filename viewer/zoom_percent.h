// The zoom modes of a view and the zoom percent each one gives for a client extent.
//
// Zoom percents are single precision (float). A fit scale is the quotient of a client extent
// and an image extent, computed in double and rounded once to float; the percent is that
// float times 100, rounded once more to float. So a 3508-pixel-high page in a 163-pixel-high
// client gets 4.6465220 %, whose display is 162 rows high, one row less than the client.
#pragma once

#include <cstdint>

#include "viewer/view_coordinates.h"

enum TZoomMode : std::uint8_t {
  zmOriginalSize = 0,  // 100 %
  zmFullPage = 1,      // the whole image visible, enlarged when it is small
  zmFitWidth = 2,      // image width = client width
  zmFitHeight = 3,     // image height = client height
  zmPercent = 4,       // the percent set by the caller, unchanged
  zmFitToPage = 5      // as zmFullPage, never above 100 %
};

// Which scroll bars a mode hides before it reads the client extent.
struct TZoomScrollBars {
  bool HideVertical, HideHorizontal;
};
TZoomScrollBars ScrollBarsHiddenForZoom(TZoomMode mode);

// clientExtent / imageExtent rounded to float.
float FitScale(std::int32_t clientExtent, std::int32_t imageExtent);

// The zoom percent of a mode. client is the client extent read after the scroll bars of
// ScrollBarsHiddenForZoom were hidden; image is the source's extent (not empty); current is
// the view's percent, which zmPercent keeps.
float ComputeZoomPercent(TZoomMode mode, float current, TExtent client, TExtent image);
