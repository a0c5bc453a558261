// The six display formats: their description texts, bit counts and default palettes, and the
// screen resolution that a resolution of 0 stands for.
//
// The 256-colour default is the VGA BIOS palette: the 16 CGA/EGA colours, a 16-step gray
// ramp, nine rings of 24 hues (three intensities by three saturations) and eight blacks. Its
// 6-bit components v are widened to 8 bits as (v shl 2) or (v shr 4), so 63 becomes 255.
#include <array>
#include <atomic>

#include "viewer/dib_graphic.h"
#include "viewer/viewer_errors.h"

namespace {

constexpr std::uint8_t Widen(std::uint8_t v) {
  return static_cast<std::uint8_t>((v << 2) | (v >> 4));
}

void Put(TLogPalette& palette, std::int32_t index, std::uint8_t red, std::uint8_t green,
         std::uint8_t blue) {
  palette.palPalEntry[static_cast<std::size_t>(index)] = {red, green, blue, 0};
}

// The CGA/EGA colours as 6-bit components: 0x2A is 170, 0x15 is 85 once widened.
constexpr std::uint8_t kEga[16][3] = {
    {0x00, 0x00, 0x00}, {0x00, 0x00, 0x2A}, {0x00, 0x2A, 0x00}, {0x00, 0x2A, 0x2A},
    {0x2A, 0x00, 0x00}, {0x2A, 0x00, 0x2A}, {0x2A, 0x15, 0x00}, {0x2A, 0x2A, 0x2A},
    {0x15, 0x15, 0x15}, {0x15, 0x15, 0x3F}, {0x15, 0x3F, 0x15}, {0x15, 0x3F, 0x3F},
    {0x3F, 0x15, 0x15}, {0x3F, 0x15, 0x3F}, {0x3F, 0x3F, 0x15}, {0x3F, 0x3F, 0x3F}};

constexpr std::uint8_t kVgaGrays[16] = {0x00, 0x05, 0x08, 0x0B, 0x0E, 0x11, 0x14, 0x18,
                                        0x1C, 0x20, 0x24, 0x28, 0x2D, 0x32, 0x38, 0x3F};

// One ring of 24 hues from blue over magenta, red, yellow, green and cyan back towards blue:
// the strongest component high, the weakest low, the third stepping through three levels.
struct TRing {
  std::uint8_t high, low, steps[3];
};
constexpr TRing kVgaRings[9] = {{0x3F, 0x00, {0x10, 0x1F, 0x2F}}, {0x3F, 0x1F, {0x27, 0x2F, 0x37}},
                                {0x3F, 0x2D, {0x31, 0x36, 0x3A}}, {0x1C, 0x00, {0x07, 0x0E, 0x15}},
                                {0x1C, 0x0E, {0x11, 0x15, 0x18}}, {0x1C, 0x14, {0x16, 0x18, 0x1A}},
                                {0x10, 0x00, {0x04, 0x08, 0x0C}}, {0x10, 0x08, {0x0A, 0x0C, 0x0E}},
                                {0x10, 0x0B, {0x0C, 0x0D, 0x0F}}};

// Level of the rising component at step s (0 = low, 4 = high) of a ring.
std::uint8_t RingLevel(const TRing& ring, std::int32_t s) {
  if (s <= 0) return ring.low;
  if (s >= 4) return ring.high;
  return ring.steps[s - 1];
}

// What red, green and blue do in each sixth of a ring: blue to magenta, magenta to red, red
// to yellow, yellow to green, green to cyan, cyan back towards blue.
enum TRole : std::uint8_t { kHigh, kLow, kRising, kFalling };
constexpr TRole kSextants[6][3] = {{kRising, kLow, kHigh}, {kHigh, kLow, kFalling},
                                   {kHigh, kRising, kLow}, {kFalling, kHigh, kLow},
                                   {kLow, kHigh, kRising}, {kLow, kFalling, kHigh}};

std::uint8_t RoleLevel(const TRing& ring, TRole role, std::int32_t s) {
  switch (role) {
    case kHigh:
      return ring.high;
    case kLow:
      return ring.low;
    case kRising:
      return RingLevel(ring, s);
    default:
      return RingLevel(ring, 4 - s);
  }
}

void PutRing(TLogPalette& palette, std::int32_t first, const TRing& ring) {
  for (std::int32_t k = 0; k < 24; ++k) {
    const TRole* roles = kSextants[k / 4];
    const std::int32_t s = k % 4;
    Put(palette, first + k, Widen(RoleLevel(ring, roles[0], s)),
        Widen(RoleLevel(ring, roles[1], s)), Widen(RoleLevel(ring, roles[2], s)));
  }
}

TLogPalette MakeBilevel() {
  TLogPalette palette;
  palette.palNumEntries = 2;
  Put(palette, 0, 0, 0, 0);
  Put(palette, 1, 255, 255, 255);
  return palette;
}

TLogPalette MakeGray(std::int32_t count) {
  TLogPalette palette;
  palette.palNumEntries = static_cast<std::uint16_t>(count);
  const std::int32_t step = 255 / (count - 1);
  for (std::int32_t i = 0; i < count; ++i) {
    const auto level = static_cast<std::uint8_t>(i * step);
    Put(palette, i, level, level, level);
  }
  return palette;
}

void PutEga(TLogPalette& palette) {
  for (std::int32_t i = 0; i < 16; ++i) {
    Put(palette, i, Widen(kEga[i][0]), Widen(kEga[i][1]), Widen(kEga[i][2]));
  }
}

TLogPalette MakeColor16() {
  TLogPalette palette;
  palette.palNumEntries = 16;
  PutEga(palette);
  return palette;
}

TLogPalette MakeColor256() {
  TLogPalette palette;
  palette.palNumEntries = 256;
  PutEga(palette);
  for (std::int32_t i = 0; i < 16; ++i) {
    const std::uint8_t level = Widen(kVgaGrays[i]);
    Put(palette, 16 + i, level, level, level);
  }
  for (std::int32_t ring = 0; ring < 9; ++ring) PutRing(palette, 32 + 24 * ring, kVgaRings[ring]);
  return palette;  // entries 248 to 255 stay black
}

std::atomic<std::uint32_t> screenResolution{(96u << 16) | 96u};

}  // namespace

const char* GraphicFormatDescription(TGraphicFormat format) {
  static constexpr const char* kTexts[6] = {"Black and white",    "16 shades of gray",
                                            "256 shades of gray", "16 color",
                                            "256 color",          "True color"};
  if (format > gfTrueColor) throw EViewerError("Internal error: Invalid image format");
  return kTexts[format];
}

std::int32_t GraphicFormatBitCount(TGraphicFormat format) {
  static constexpr std::int32_t kBits[6] = {1, 4, 8, 4, 8, 24};
  if (format > gfTrueColor) throw EViewerError("Internal error: Invalid image format");
  return kBits[format];
}

const TLogPalette& DefaultPalette(TGraphicFormat format) {
  static const std::array<TLogPalette, 6> kPalettes = {
      MakeBilevel(), MakeGray(16), MakeGray(256), MakeColor16(), MakeColor256(), TLogPalette{}};
  if (format > gfTrueColor) throw EViewerError("Internal error: Invalid image format");
  return kPalettes[format];
}

TScreenResolution ScreenResolution() {
  const std::uint32_t packed = screenResolution.load(std::memory_order_relaxed);
  return {static_cast<std::uint16_t>(packed >> 16), static_cast<std::uint16_t>(packed & 0xFFFF)};
}

void SetScreenResolution(TScreenResolution resolution) {
  screenResolution.store((std::uint32_t{resolution.X} << 16) | resolution.Y,
                         std::memory_order_relaxed);
}
