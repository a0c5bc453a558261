// The zone update over the two views' graphics, through row bands of packed DIB blocks.
#include "app/zone_update.h"

#include <algorithm>
#include <cstring>

#include "app/zone_paste.h"
#include "platform/memory_block.h"

namespace {

// A packed DIB block holding rows top..bottom of graphic (inclusive, inside the image): in
// bottom-up storage those rows lie back to back, so they are one move.
TMemoryHandle CreateRowBandBlock(const TDibGraphic& graphic, std::int32_t top,
                                 std::int32_t bottom) {
  TBitmapInfoHeader header = graphic.Header();
  const std::int32_t rows = bottom - top + 1;
  const std::size_t rowBytes = static_cast<std::size_t>(graphic.BytesPerRow());
  const std::size_t tableBytes = static_cast<std::size_t>(graphic.PaletteCount()) * 4;
  header.biHeight = rows;
  header.biSizeImage = static_cast<std::uint32_t>(rowBytes * static_cast<std::size_t>(rows));
  TBlockOwner owner(BlockAlloc(sizeof header + tableBytes + header.biSizeImage));
  TBlockLock lock(owner.Get());
  std::memcpy(lock.Address(), &header, sizeof header);
  if (tableBytes > 0) std::memcpy(lock.Address() + sizeof header, graphic.ColorTable(), tableBytes);
  std::memcpy(lock.Address() + sizeof header + tableBytes, graphic.ScanLine(bottom),
              header.biSizeImage);
  return owner.Release();
}

// Writes the rows of band (made by CreateRowBandBlock from rows top.. of graphic) back.
void WriteRowBand(const TDIB& band, TDibGraphic& graphic, std::int32_t top) {
  const std::int32_t bottom = top + band.Height() - 1;
  std::memcpy(graphic.ScanLine(bottom), band.Bits(),
              static_cast<std::size_t>(band.Height()) * graphic.BytesPerRow());
}

}  // namespace

bool ZoneUpdateNeeded(const TThresholdSettings& settings, std::int32_t leftSlider,
                      std::int32_t rightSlider, bool forceRefresh) {
  return forceRefresh || settings.Contrast != leftSlider || settings.Brightness != rightSlider;
}

TThresholdSettings SliderSettings(TThresholdSettings settings, std::int32_t leftSlider,
                                  std::int32_t rightSlider) {
  settings.Contrast = leftSlider;
  settings.Brightness = rightSlider;
  return settings;
}

void UpdateZone(const TDibGraphic& original, TDibGraphic& processed, const TRect& zone,
                const TThresholdSettings& settings) {
  const std::int32_t top = std::max(zone.Top, 0);
  const std::int32_t bottom = std::min(zone.Bottom, original.Height() - 1);
  const bool inside = top <= bottom && zone.Left <= original.Width() - 1 && zone.Right >= 0;
  if (original.Empty() || processed.Empty() || !inside) return;

  TDIB cut;
  cut.AssignHandle(CreateRowBandBlock(original, top, bottom));
  cut.Crop({zone.Left, 0, zone.Right, bottom - top});
  ApplyThresholding(cut, settings);

  const std::int32_t pasteBottom = std::min(bottom, processed.Height() - 1);
  if (top > pasteBottom) return;
  TDIB target;
  target.AssignHandle(CreateRowBandBlock(processed, top, pasteBottom));
  PasteByColour(cut, target, std::max(zone.Left, 0), 0);
  WriteRowBand(target, processed, top);
}
