// GetHistogram: the gray-level histogram that the automatic rules and the local methods read.
//
// 8-bit images count each pixel at the blue component of its colour-table entry, which for
// the standard gray ramp is the stored value itself; 1-bit images count set bits (bin 1)
// against the rest (bin 0); 24-bit images count the weighted gray that the conversion to
// 8 bits would give.
#include <algorithm>
#include <array>
#include <bit>

#include "binarize/global_threshold.h"
#include "image/rounding.h"
#include "platform/errors.h"

namespace {

// Counts stored bytes of the width of every row. Four interleaved tables keep runs of equal
// values from waiting on one another.
THistogram CountBytes(const TDIB& image, std::int32_t bytesPerRow) {
  std::array<THistogram, 4> parts{};
  for (std::int32_t y = 0; y < image.Height(); ++y) {
    const std::uint8_t* row = image.Row(y);
    std::int32_t x = 0;
    for (; x + 4 <= bytesPerRow; x += 4) {
      ++parts[0][row[x]];
      ++parts[1][row[x + 1]];
      ++parts[2][row[x + 2]];
      ++parts[3][row[x + 3]];
    }
    for (; x < bytesPerRow; ++x) ++parts[0][row[x]];
  }
  THistogram counts{};
  for (std::size_t v = 0; v < 256; ++v)
    counts[v] = parts[0][v] + parts[1][v] + parts[2][v] + parts[3][v];
  return counts;
}

// Stored index -> gray: the blue component of the entry. An index beyond a short colour
// table has no entry and counts at its own value, as the ramp would place it.
void CountPaletteGray(const TDIB& image, THistogram& histogram) {
  const THistogram indices = CountBytes(image, image.Width());
  for (std::int32_t index = 0; index < 256; ++index) {
    const std::int32_t gray = index < image.PaletteCount()
                                  ? static_cast<std::int32_t>(image.GetPaletteEntry(index) & 0xFF)
                                  : index;
    histogram[static_cast<std::size_t>(gray)] += indices[static_cast<std::size_t>(index)];
  }
}

// Bin 1 counts the set bits of every used byte, padding bits of the last byte included.
void CountBits(const TDIB& image, THistogram& histogram) {
  const THistogram bytes = CountBytes(image, image.BytesPerRow());
  std::uint64_t set = 0;
  for (std::uint32_t value = 0; value < 256; ++value) {
    set += bytes[value] * static_cast<std::uint64_t>(std::popcount(value));
  }
  const std::uint64_t pixels =
      static_cast<std::uint64_t>(image.Width()) * static_cast<std::uint64_t>(image.Height());
  histogram[1] = set;
  // Set padding bits can outnumber the clear pixels; bin 0 must not wrap around.
  histogram[0] = pixels - std::min(set, pixels);
}

// The weighted gray of the conversion to 8 bits: each product 0.30 R, 0.59 G, 0.11 B rounded
// to single precision, the three added in double in that order, rounded half to even.
struct TWeightedGray {
  std::array<double, 256> red, green, blue;
  TWeightedGray() {
    for (std::size_t v = 0; v < 256; ++v) {
      red[v] = static_cast<float>(0.30 * static_cast<double>(v));
      green[v] = static_cast<float>(0.59 * static_cast<double>(v));
      blue[v] = static_cast<float>(0.11 * static_cast<double>(v));
    }
  }
  std::size_t operator()(std::uint8_t b, std::uint8_t g, std::uint8_t r) const {
    return static_cast<std::size_t>(RoundHalfEvenSmall(red[r] + green[g] + blue[b]));
  }
};

void CountColourGray(const TDIB& image, THistogram& histogram) {
  static const TWeightedGray gray;
  for (std::int32_t y = 0; y < image.Height(); ++y) {
    const std::uint8_t* pixel = image.Row(y);
    const std::uint8_t* end = pixel + 3 * static_cast<std::ptrdiff_t>(image.Width());
    for (; pixel != end; pixel += 3) ++histogram[gray(pixel[0], pixel[1], pixel[2])];
  }
}

}  // namespace

void GetHistogram(const TDIB& image, THistogram& histogram) {
  histogram.fill(0);
  switch (image.BitCount()) {
    case 8:
      CountPaletteGray(image, histogram);
      break;
    case 1:
      CountBits(image, histogram);
      break;
    case 24:
      CountColourGray(image, histogram);
      break;
    default:
      throw EError(kNeeds8Bit);
  }
}
