// The settings the tuner tries for each method: a small grid over the parameters the method
// reads, sized so that all methods on a few dozen pages of a few megapixels tune in minutes.
#pragma once

#include <cstdint>
#include <vector>

#include "binarize/threshold_settings.h"

// The grid of one method, in a fixed order (ties in the search go to the earlier setting).
// A method without parameters has one setting; a number without a method gives one setting,
// which the tuner then reports as leaving the page gray.
std::vector<TThresholdSettings> TuningGrid(std::int32_t algo);
