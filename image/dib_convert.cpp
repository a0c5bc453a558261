// Depth and colour conversion of a TDIB, in place inside its own block: 1, 4, 8 and 24 bits
// to one another, and colour to gray with the 0.30 / 0.59 / 0.11 weights.
#include <array>
#include <cstring>

#include "image/byte_kernels.h"
#include "image/dibunit.h"
#include "image/gray_terms.h"
#include "image/rounding.h"
#include "platform/errors.h"

namespace {

using Row = const std::uint8_t*;
using OutRow = std::uint8_t*;

std::uint8_t Bit(Row row, std::int32_t x) {
  return (row[x >> 3] >> (7 - (x & 7))) & 1;
}
std::uint8_t Nibble(Row row, std::int32_t x) {
  return x & 1 ? row[x >> 1] & 15 : row[x >> 1] >> 4;
}

// Packs one bit per pixel, leftmost pixel in the most significant bit.
template <typename IsSet>
void PackBits(OutRow out, std::int32_t width, IsSet isSet) {
  for (std::int32_t x = 0; x < width; ++x) {
    if (isSet(x)) out[x >> 3] |= static_cast<std::uint8_t>(0x80 >> (x & 7));
  }
}

template <typename NibbleOf>
void PackNibbles(OutRow out, std::int32_t width, NibbleOf nibbleOf) {
  for (std::int32_t x = 0; x < width; ++x) {
    out[x >> 1] |= static_cast<std::uint8_t>(x & 1 ? nibbleOf(x) : nibbleOf(x) << 4);
  }
}

void Gray8To1(Row in, OutRow out, std::int32_t width, const void*) {
  PackNonZeroBits(in, out, width);
}

struct TLevelRule {
  std::uint8_t level, low, high;
};

void Gray8AboveTo1(Row in, OutRow out, std::int32_t width, const void* context) {
  const auto& rule = *static_cast<const TLevelRule*>(context);
  PackAboveLevel(in, out, width, rule.level, rule.low, rule.high);
}

void Gray4To1(Row in, OutRow out, std::int32_t width, const void*) {
  PackBits(out, width, [in](std::int32_t x) { return Nibble(in, x) != 0; });
}

void Gray8To4(Row in, OutRow out, std::int32_t width, const void*) {
  PackNibbles(out, width, [in](std::int32_t x) { return in[x] >> 4; });
}

void Gray1To4(Row in, OutRow out, std::int32_t width, const void*) {
  PackNibbles(out, width, [in](std::int32_t x) { return Bit(in, x) ? 15 : 0; });
}

void Gray1To8(Row in, OutRow out, std::int32_t width, const void*) {
  for (std::int32_t x = 0; x < width; ++x) out[x] = Bit(in, x) ? 255 : 0;
}

// The 4-bit colour table, as the gray (blue + green + red) div 3 of each entry.
using TNibbleGrays = std::array<std::uint8_t, 16>;

void Palette4To8(Row in, OutRow out, std::int32_t width, const void* context) {
  const auto& grays = *static_cast<const TNibbleGrays*>(context);
  for (std::int32_t x = 0; x < width; ++x) out[x] = grays[Nibble(in, x)];
}

void Gray8To24(Row in, OutRow out, std::int32_t width, const void*) {
  for (std::int32_t x = 0; x < width; ++x) std::memset(out + 3 * x, in[x], 3);
}

void Gray4To24(Row in, OutRow out, std::int32_t width, const void*) {
  for (std::int32_t x = 0; x < width; ++x) {
    std::memset(out + 3 * x, static_cast<std::uint8_t>(16 * Nibble(in, x)), 3);
  }
}

void ColourToGray(Row in, OutRow out, std::int32_t width, const void* context) {
  const auto& terms = *static_cast<const TGrayTerms*>(context);
  for (std::int32_t x = 0; x < width; ++x) {
    Row pixel = in + 3 * x;
    out[x] = terms.Gray(pixel[2], pixel[1], pixel[0]);
  }
}

// Unweighted: the plain channel values over the number of selected channels.
struct TAveragedTerms {
  TGrayTerms terms;
  double count;
};

void ColourToGrayAveraged(Row in, OutRow out, std::int32_t width, const void* context) {
  const auto& rule = *static_cast<const TAveragedTerms*>(context);
  for (std::int32_t x = 0; x < width; ++x) {
    Row pixel = in + 3 * x;
    const double sum = rule.terms.Sum(pixel[2], pixel[1], pixel[0]);
    out[x] = static_cast<std::uint8_t>(RoundHalfEvenSmall(sum / rule.count));
  }
}

void WriteGrayTable(TDIB& image, std::int32_t entries, std::uint32_t step) {
  for (std::int32_t i = 0; i < entries; ++i) {
    image.SetPaletteEntry(i, static_cast<std::uint32_t>(i) * step * 0x010101u);
  }
}

}  // namespace

void TDIB::ConvertTo(TDIBFormat format) {
  if (format == format_) return;
  if (format != df1Bit && format != df4Bit && format != df8Bit && format != df24Bit) {
    throw EError("Function not available :-(");
  }
  if (format_ == df15Bit || format_ == df16Bit) return;
  if (format_ == df24Bit) RGBToGray(true, true, true, true);
  if (format == df24Bit && format_ == df1Bit) ConvertStep(df8Bit);
  if (format_ != format) ConvertStep(format);
}

void TDIB::ConvertAboveLevelTo1Bit(std::uint8_t level, std::uint8_t low, std::uint8_t high) {
  if (format_ != df8Bit) throw EError(kNeeds8Bit);
  const TLevelRule rule{level, low, high};
  Repack(1, 2, Gray8AboveTo1, &rule);
  SetPaletteEntry(0, 0);
  SetPaletteEntry(1, 0xFFFFFF);
}

void TDIB::ConvertStep(TDIBFormat target) {
  const TDIBFormat from = format_;
  if (target == df1Bit) {
    Repack(1, 2, from == df4Bit ? Gray4To1 : Gray8To1, nullptr);
    SetPaletteEntry(0, 0);
    SetPaletteEntry(1, 0xFFFFFF);
  } else if (target == df4Bit) {
    Repack(4, 16, from == df1Bit ? Gray1To4 : Gray8To4, nullptr);
    WriteGrayTable(*this, 16, 17);
  } else if (target == df8Bit && from == df1Bit) {
    Repack(8, 256, Gray1To8, nullptr);
    WriteGrayTable(*this, 256, 1);
  } else if (target == df8Bit) {
    TNibbleGrays grays{};
    for (std::int32_t i = 0; i < 16; ++i) {
      std::uint32_t entry = GetPaletteEntry(i);
      grays[static_cast<std::size_t>(i)] =
          static_cast<std::uint8_t>(((entry & 255) + (entry >> 8 & 255) + (entry >> 16 & 255)) / 3);
    }
    Repack(8, 256, Palette4To8, &grays);
    WriteGrayTable(*this, 256, 1);
  } else {
    Repack(24, 0, from == df4Bit ? Gray4To24 : Gray8To24, nullptr);
  }
}

void TDIB::RGBToGray(bool weighted, bool red, bool green, bool blue) {
  if (format_ != df24Bit) throw EError(kNeeds24Bit);
  const int count = red + green + blue;
  if (count == 0) throw EError("Unable to convert RGB to Gray without one channel selected !");
  if (weighted) {
    const TGrayTerms& terms =
        count == 3 ? StandardGrayTerms() : ChannelTerms(red, green, blue, true, false);
    Repack(8, 256, ColourToGray, &terms);
  } else {
    const TAveragedTerms rule{ChannelTerms(red, green, blue, false, false), double(count)};
    Repack(8, 256, ColourToGrayAveraged, &rule);
  }
  WriteGrayTable(*this, 256, 1);
}
