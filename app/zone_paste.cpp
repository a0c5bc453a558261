// Paste by colour: the usual case (a black-first bi-level zone into the black-first bi-level
// processed image) stays a bitwise paste.
#include "app/zone_paste.h"

#include <cstring>
#include <memory>
#include <vector>

#include "viewer/dib_graphic.h"

namespace {

// Colour-table entries are stored blue, green, red, 0: as a value 0xRRGGBB.
TColorValue EntryColour(const TDIB& image, std::int32_t index) {
  return image.GetPaletteEntry(index) & 0xFFFFFF;
}

std::int32_t Luminance(TColorValue colour) {
  return 30 * static_cast<std::int32_t>(colour >> 16 & 0xFF) +
         59 * static_cast<std::int32_t>(colour >> 8 & 0xFF) +
         11 * static_cast<std::int32_t>(colour & 0xFF);
}

bool SameColourTables(const TDIB& a, const TDIB& b) {
  return a.BitCount() == b.BitCount() && a.PaletteCount() == b.PaletteCount() &&
         std::memcmp(a.Palette(), b.Palette(), 4 * static_cast<std::size_t>(a.PaletteCount())) == 0;
}

// The target's pixel value for a colour: a 24-bit pixel value (red + 256 green + 65536 blue)
// or the index of the nearest palette entry.
class TTargetColours {
 public:
  explicit TTargetColours(const TDIB& target) : target_(target) {
    TLogPalette palette;
    palette.palNumEntries = static_cast<std::uint16_t>(target.PaletteCount());
    for (std::int32_t i = 0; i < target.PaletteCount(); ++i) {
      const TColorValue c = EntryColour(target, i);
      palette.palPalEntry[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(c >> 16),
                                                          static_cast<std::uint8_t>(c >> 8),
                                                          static_cast<std::uint8_t>(c), 0};
    }
    if (target.PaletteCount() > 0) nearest_ = std::make_unique<TRgbToPaletteConverter>(palette);
  }
  std::int32_t ValueOf(TColorValue c) {
    if (!nearest_) {
      return static_cast<std::int32_t>((c >> 16 & 0xFF) | (c & 0xFF00) | (c & 0xFF) << 16);
    }
    return nearest_->IndexOf(c);
  }
  // The darkest (or lightest) colour the target can show.
  TColorValue Extreme(bool lightest) const {
    if (target_.PaletteCount() == 0) return lightest ? 0xFFFFFF : 0;
    TColorValue best = EntryColour(target_, 0);
    for (std::int32_t i = 1; i < target_.PaletteCount(); ++i) {
      const TColorValue c = EntryColour(target_, i);
      if (lightest ? Luminance(c) > Luminance(best) : Luminance(c) < Luminance(best)) best = c;
    }
    return best;
  }

 private:
  const TDIB& target_;
  std::unique_ptr<TRgbToPaletteConverter> nearest_;
};

TColorValue SourceColour(const TDIB& source, std::int32_t value) {
  if (source.PaletteCount() > 0) return EntryColour(source, value);
  return static_cast<TColorValue>((value & 0xFF) << 16 | (value & 0xFF00) | (value >> 16 & 0xFF));
}

// Target values for each source palette index, or empty for a source without a palette.
std::vector<std::int32_t> IndexMap(const TDIB& source, TTargetColours& colours) {
  std::vector<std::int32_t> map;
  const bool bilevel = source.BitCount() == 1;
  const TColorValue darker =
      Luminance(EntryColour(source, 0)) <= Luminance(EntryColour(source, 1)) ? 0 : 1;
  for (std::int32_t i = 0; i < source.PaletteCount(); ++i) {
    const TColorValue c =
        bilevel ? colours.Extreme(i != static_cast<std::int32_t>(darker)) : EntryColour(source, i);
    map.push_back(colours.ValueOf(c));
  }
  return map;
}

}  // namespace

void PasteByColour(const TDIB& source, TDIB& target, std::int32_t x, std::int32_t y) {
  if (SameColourTables(source, target)) {
    target.Paste(source, x, y);
    return;
  }
  TTargetColours colours(target);
  const std::vector<std::int32_t> map = IndexMap(source, colours);
  for (std::int32_t j = 0; j < source.Height(); ++j) {
    for (std::int32_t i = 0; i < source.Width(); ++i) {
      const std::int32_t value = source.GetPixel(i, j);
      target.SetPixel(x + i, y + j,
                      map.empty() ? colours.ValueOf(SourceColour(source, value))
                                  : map[static_cast<std::size_t>(value)]);
    }
  }
}
