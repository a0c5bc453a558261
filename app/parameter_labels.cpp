// One row per method: left caption and state, right caption and state.
#include "app/parameter_labels.h"

std::optional<TParameterLabels> ParameterLabelsFor(std::int32_t algo) {
  switch (algo) {
    case 0:
      return TParameterLabels{{"unused", false}, {"Brightness", true}};
    case 1:
      return TParameterLabels{{"unused", false}, {"unused", false}};
    case 2:
    case 6:
      return TParameterLabels{{"Contrast", true}, {"Brightness", true}};
    case 3:
      return TParameterLabels{{"Contrast", true}, {"unused", false}};
    case 4:
      return TParameterLabels{{"Sensitiv.", true}, {"Max Noise", true}};
    case 7:
      return TParameterLabels{{"Range", true}, {"Contribute", true}};
    default:
      return std::nullopt;
  }
}
