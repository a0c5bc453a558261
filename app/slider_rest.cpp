// The rest detection of the thresholding window's sliders.
#include "app/slider_rest.h"

void TSliderRest::Shown() {
  lastContrast_ = -1;
  lastBrightness_ = -1;
  stableTicks_ = 0;
}

void TSliderRest::SetPositions(std::int32_t contrast, std::int32_t brightness) {
  lastContrast_ = contrast;
  lastBrightness_ = brightness;
  timerOn_ = false;
}

bool TSliderRest::Tick(std::int32_t contrast, std::int32_t brightness) {
  if (contrast == lastContrast_ && brightness == lastBrightness_) {
    ++stableTicks_;
  } else {
    lastContrast_ = contrast;
    lastBrightness_ = brightness;
    stableTicks_ = 0;
  }
  if (stableTicks_ < 2) return false;
  timerOn_ = false;
  return true;
}
