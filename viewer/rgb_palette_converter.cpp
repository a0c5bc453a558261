// The nearest-colour converter a palette graphic stores colours with: the palette entry at
// the least squared distance over red, green and blue, the first of equals winning. Readers
// set pixel after pixel of few distinct colours, so answers are remembered in 1020 slots
// indexed by colour mod 1020 (a slot holds the last colour that fell into it).
#include "viewer/dib_graphic.h"

namespace {

constexpr std::size_t kCacheSlots = 1020;

std::int32_t SquaredDistance(const TLogPalette::Entry& entry, TColorValue color) {
  const std::int32_t dr = entry.red - static_cast<std::int32_t>((color >> 16) & 0xFF);
  const std::int32_t dg = entry.green - static_cast<std::int32_t>((color >> 8) & 0xFF);
  const std::int32_t db = entry.blue - static_cast<std::int32_t>(color & 0xFF);
  return dr * dr + dg * dg + db * db;
}

}  // namespace

TRgbToPaletteConverter::TRgbToPaletteConverter(const TLogPalette& palette)
    : palette_(palette), cache_(kCacheSlots, Slot{0, 0, false}) {
  if (palette_.palNumEntries > palette_.palPalEntry.size()) {
    palette_.palNumEntries = static_cast<std::uint16_t>(palette_.palPalEntry.size());
  }
}

std::uint8_t TRgbToPaletteConverter::IndexOf(TColorValue color) {
  color &= 0xFFFFFF;
  Slot& slot = cache_[color % kCacheSlots];
  if (slot.Used && slot.Color == color) return slot.Index;
  std::int32_t best = 0, bestDistance = SquaredDistance(palette_.palPalEntry[0], color);
  for (std::int32_t i = 1; i < palette_.palNumEntries && bestDistance > 0; ++i) {
    const std::int32_t distance =
        SquaredDistance(palette_.palPalEntry[static_cast<std::size_t>(i)], color);
    if (distance < bestDistance) best = i, bestDistance = distance;
  }
  slot = Slot{color, static_cast<std::uint8_t>(best), true};
  return slot.Index;
}
