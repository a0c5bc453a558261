// The slider captions come from the method catalog, the one description of the methods.
#include "app/parameter_labels.h"

std::optional<TParameterLabels> ParameterLabelsFor(std::int32_t algo) {
  const TMethodDescription* method = FindMethod(algo);
  return method != nullptr ? method->Sliders : std::nullopt;
}
