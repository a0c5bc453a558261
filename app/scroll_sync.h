// Scroll synchronisation of the two views: the other view's position follows by the ratio of
// the two scroll ranges, rounded half to even.
#pragma once

#include <cstdint>

// The other view's new position on one axis, or the position it has when this view's range
// is 0 (nothing to scale by: that axis is left alone).
std::int32_t SynchronisedPosition(std::int32_t thisPosition, std::int32_t thisRange,
                                  std::int32_t otherRange, std::int32_t otherPosition);
