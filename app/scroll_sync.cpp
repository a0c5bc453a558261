// One axis of the scroll synchronisation.
#include "app/scroll_sync.h"

#include <cfenv>
#include <cmath>

std::int32_t SynchronisedPosition(std::int32_t thisPosition, std::int32_t thisRange,
                                  std::int32_t otherRange, std::int32_t otherPosition) {
  if (thisRange == 0) return otherPosition;
  const double ratio = static_cast<double>(otherRange) / static_cast<double>(thisRange);
  // nearbyint rounds halves to even under the default rounding mode.
  return static_cast<std::int32_t>(std::nearbyint(thisPosition * ratio));
}
