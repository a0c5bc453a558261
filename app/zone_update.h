// The zone update: cut the zone out of the original image, binarize it with the settings as
// the sliders adjust them, and paste the result into the processed image, which keeps the
// results of every earlier zone.
//
// Only the rows the zone covers are copied out of the two graphics and written back, so an
// update costs what its zone costs, not what the page costs; the pixels that result are the
// ones a copy of each whole image would give.
#pragma once

#include <cstdint>

#include "binarize/threshold_settings.h"
#include "image/dibunit.h"
#include "viewer/dib_graphic.h"

// Whether an update has anything to do: the sliders stand elsewhere than the settings, or a
// refresh was asked for.
bool ZoneUpdateNeeded(const TThresholdSettings& settings, std::int32_t leftSlider,
                      std::int32_t rightSlider, bool forceRefresh);

// The settings a zone is binarized with: the current ones with Contrast and Brightness taken
// from the left and right sliders.
TThresholdSettings SliderSettings(TThresholdSettings settings, std::int32_t leftSlider,
                                  std::int32_t rightSlider);

// Binarizes zone (source pixels, inclusive; the part inside the original) of original and
// pastes it into processed at the zone's clipped top-left corner. A processed image that is
// not the black-first bi-level image binarizing makes (an existing output of another format)
// receives the zone by colour: black as its darkest entry, white as its lightest. The part
// of the zone outside the processed image is left out. Failures leave processed unchanged.
void UpdateZone(const TDibGraphic& original, TDibGraphic& processed, const TRect& zone,
                const TThresholdSettings& settings);
