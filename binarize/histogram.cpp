// GetHistogram: the gray-level histogram that the automatic rules and the local methods read.
//
// 8-bit images count each pixel at the blue component of its colour-table entry, which for
// the standard gray ramp is the stored value itself; 1-bit images count set bits (bin 1)
// against the rest (bin 0); 24-bit images count the weighted gray that the conversion to
// 8 bits would give.
#include <algorithm>
#include <array>
#include <bit>

#include "binarize/byte_counts.h"
#include "binarize/global_threshold.h"
#include "image/gray_terms.h"
#include "platform/errors.h"

namespace {

// Counts the first bytesPerRow stored bytes of every row.
THistogram CountBytes(const TDIB& image, std::int32_t bytesPerRow) {
  TByteCounts counts;
  for (std::int32_t y = 0; y < image.Height(); ++y) counts.Count(image.Row(y), bytesPerRow);
  return counts.Total();
}

void CountPaletteGray(const TDIB& image, THistogram& histogram) {
  GrayOfIndices(image, CountBytes(image, image.Width()), histogram);
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

void CountColourGray(const TDIB& image, THistogram& histogram) {
  const TGrayTerms& terms = StandardGrayTerms();
  for (std::int32_t y = 0; y < image.Height(); ++y) {
    const std::uint8_t* pixel = image.Row(y);
    const std::uint8_t* end = pixel + 3 * static_cast<std::ptrdiff_t>(image.Width());
    for (; pixel != end; pixel += 3) ++histogram[terms.Gray(pixel[2], pixel[1], pixel[0])];
  }
}

}  // namespace

// Stored index -> gray: the blue component of the entry. An index beyond a short colour
// table has no entry and counts at its own value, as the ramp would place it.
void GrayOfIndices(const TDIB& image, const THistogram& indices, THistogram& histogram) {
  for (std::int32_t index = 0; index < 256; ++index) {
    const std::int32_t gray = index < image.PaletteCount()
                                  ? static_cast<std::int32_t>(image.GetPaletteEntry(index) & 0xFF)
                                  : index;
    histogram[static_cast<std::size_t>(gray)] += indices[static_cast<std::size_t>(index)];
  }
}

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
