// Zoom percents of the zoom modes, in the view's single-precision arithmetic.
#include "viewer/zoom_percent.h"

namespace {

// A scale (float) as a percent, rounded once to float.
float ScaleToPercent(float scale) {
  return static_cast<float>(static_cast<double>(scale) * 100.0);
}

}  // namespace

TZoomScrollBars ScrollBarsHiddenForZoom(TZoomMode mode) {
  switch (mode) {
    case zmFullPage:
    case zmFitToPage:
    case zmFitHeight:
      return {true, true};
    default:
      return {false, false};
  }
}

float FitScale(std::int32_t clientExtent, std::int32_t imageExtent) {
  return static_cast<float>(static_cast<double>(clientExtent) / static_cast<double>(imageExtent));
}

float ComputeZoomPercent(TZoomMode mode, float current, TExtent client, TExtent image) {
  switch (mode) {
    case zmOriginalSize:
      return 100.0F;
    case zmFullPage:
    case zmFitToPage: {
      float sx = FitScale(client.Width, image.Width);
      float sy = FitScale(client.Height, image.Height);
      float percent = ScaleToPercent(sx < sy ? sx : sy);
      return mode == zmFitToPage && percent > 100.0F ? 100.0F : percent;
    }
    case zmFitWidth:
      return ScaleToPercent(FitScale(client.Width, image.Width));
    case zmFitHeight:
      return ScaleToPercent(FitScale(client.Height, image.Height));
    case zmPercent:
      return current;
  }
  return current;
}
