// The two samplings of the resize transform and the row helpers they share. Both fill a
// destination that NewImage has already given its size, format and palette.
#pragma once

#include <cstdint>
#include <vector>

#include "viewer/dib_graphic.h"

// Nearest pixel, keeping the source's indexes: source and destination have the same palette
// format and palette.
void NearestIndexes(const TDibGraphic& source, TDibGraphic& dest);
// Nearest pixel as colours, into any destination format.
void NearestColours(const TDibGraphic& source, TDibGraphic& dest);
// Area averaging of a true-colour source, into any destination format.
void AreaAverage(const TDibGraphic& source, TDibGraphic& dest);

// A row of colours (blue, green, red) on its way into the destination: the destination's own
// row for true colour, a buffer otherwise.
class TColourRow {
 public:
  explicit TColourRow(const TDibGraphic& dest);
  std::uint8_t* For(TDibGraphic& dest, std::int32_t y);
  // Writes the row (as nearest palette entries unless true colour) into row y of dest.
  void Store(TDibGraphic& dest, std::int32_t y) const;

 private:
  bool direct_;
  std::vector<std::uint8_t> buffer_;
};
