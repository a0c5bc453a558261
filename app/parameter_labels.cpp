// The slider captions come from the method's row, the one description of the methods.
#include "app/parameter_labels.h"

#include "app/method_rows.h"

std::optional<TParameterLabels> ParameterLabelsFor(std::int32_t algo) {
  const TMethodRow* row = MethodRowOf(algo);
  return row != nullptr ? row->Labels : std::nullopt;
}
