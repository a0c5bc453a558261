// The captions and enabled states of the thresholding window's two sliders for a method. The
// left slider always carries Contrast and the right one Brightness; only what they are
// called, and whether the method reads them, follows the method.
#pragma once

#include <cstdint>
#include <optional>

#include "binarize/method_catalog.h"

// The labels for Algo; none for a method that leaves the sliders as they are (5, and values
// outside the known methods).
std::optional<TParameterLabels> ParameterLabelsFor(std::int32_t algo);
