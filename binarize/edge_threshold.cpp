// EdgeThreshold, EdgeStrength and ClassifyEdges: the edge method's pipeline (smoothing,
// strength, classes, speck removal). EdgeThreshold pads the smoothed image once and lets the
// strength and the classes share it.
#include "binarize/edge_threshold.h"

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "binarize/connected_components.h"
#include "binarize/window_filters.h"
#include "platform/errors.h"

namespace {

// Sum over a 3 x 3 neighbourhood of two central differences each is at most 9 x 2 x 255.
constexpr std::int32_t kMaxStrengthSum = 4590;

std::unique_ptr<TDIB> NewGrayImage(const TDIB& like) {
  auto image = std::make_unique<TDIB>();
  image->Allocate(like.Width(), like.Height(), df8Bit, like.XResolution(), like.YResolution());
  return image;
}

// |a - b| kept in 8 bits, which lets the compiler work on 16 bytes at a time.
std::uint16_t Distance(std::uint8_t a, std::uint8_t b) {
  return static_cast<std::uint8_t>(std::max(a, b) - std::min(a, b));
}

// Horizontal three-sums of D(u, v) = |P(u-1, v) - P(u+1, v)| + |P(u, v-1) - P(u, v+1)| along
// padded row v: sums[x] = D(x+1, v) + D(x+2, v) + D(x+3, v) for the image columns x.
void DifferenceRow(const TDIB& padded, std::int32_t v, std::vector<std::uint16_t>& differences,
                   std::vector<std::uint16_t>& sums) {
  const std::uint8_t* above = padded.Row(v - 1);
  const std::uint8_t* row = padded.Row(v);
  const std::uint8_t* below = padded.Row(v + 1);
  const std::size_t width = sums.size();
  for (std::size_t u = 1; u <= width + 2; ++u) {
    differences[u - 1] =
        static_cast<std::uint16_t>(Distance(row[u - 1], row[u + 1]) + Distance(above[u], below[u]));
  }
  for (std::size_t x = 0; x < width; ++x) {
    sums[x] = static_cast<std::uint16_t>(differences[x] + differences[x + 1] + differences[x + 2]);
  }
}

// The strength of the image whose padded (border 2) form is given, written into strength: the
// 3 x 3 box sum of D, each sum scaled by maxv / 255 and truncated.
void StrengthOfPadded(const TDIB& padded, TDIB& strength) {
  const auto width = static_cast<std::size_t>(strength.Width());
  const std::int32_t height = strength.Height();
  // Every sum is written before it is read, so the store is left uninitialised.
  const auto sums =
      std::make_unique_for_overwrite<std::uint16_t[]>(width * static_cast<std::size_t>(height));
  std::vector<std::uint16_t> differences(width + 2);
  std::array<std::vector<std::uint16_t>, 3> rows;
  for (std::size_t i = 0; i < 3; ++i) {
    rows[i].resize(width);
    if (height > 0) DifferenceRow(padded, static_cast<std::int32_t>(i) + 1, differences, rows[i]);
  }
  std::uint16_t maxv = 0;
  for (std::int32_t y = 0; y < height; ++y) {
    if (y > 0) DifferenceRow(padded, y + 3, differences, rows[static_cast<std::size_t>(y + 2) % 3]);
    std::uint16_t* out = sums.get() + static_cast<std::size_t>(y) * width;
    for (std::size_t x = 0; x < width; ++x) {
      out[x] = static_cast<std::uint16_t>(rows[0][x] + rows[1][x] + rows[2][x]);
      maxv = std::max(maxv, out[x]);
    }
  }
  // Without any edge the scale is undefined; every pixel then has strength 0.
  std::array<std::uint8_t, kMaxStrengthSum + 1> scaled{};
  if (maxv > 0) {
    const double unit = maxv / 255.0;
    for (std::int32_t s = 0; s <= maxv; ++s) {
      scaled[static_cast<std::size_t>(s)] = static_cast<std::uint8_t>(s / unit);
    }
  }
  for (std::int32_t y = 0; y < height; ++y) {
    const std::uint16_t* in = sums.get() + static_cast<std::size_t>(y) * width;
    std::uint8_t* out = strength.Row(y);
    for (std::size_t x = 0; x < width; ++x) out[x] = scaled[in[x]];
  }
}

// Classes from the padded (border 2) smoothed image and the strength. The Laplacian lies in
// -1020 .. 1020 and the strength in 0 .. 255, so 16-bit lanes hold every value.
void ClassifyPadded(const TDIB& padded, const TDIB& strength, std::int32_t sensitivity,
                    TDIB& classMap) {
  const auto width = static_cast<std::size_t>(strength.Width());
  const auto least = static_cast<std::int16_t>(std::clamp(sensitivity, 0, 256));
  for (std::int32_t y = 0; y < strength.Height(); ++y) {
    const std::uint8_t* up = padded.Row(y);
    const std::uint8_t* mid = padded.Row(y + 2);
    const std::uint8_t* down = padded.Row(y + 4);
    const std::uint8_t* edge = strength.Row(y);
    std::uint8_t* out = classMap.Row(y);
    for (std::size_t x = 0; x < width; ++x) {
      const auto around = static_cast<std::int16_t>(mid[x + 4] + mid[x] + down[x + 2] + up[x + 2]);
      const auto laplacian = static_cast<std::int16_t>(around - 4 * mid[x + 2]);
      const std::uint8_t side = laplacian >= 0 ? kClassInk : kClassBright;
      out[x] = static_cast<std::int16_t>(edge[x]) < least ? kClassNoEdge : side;
    }
  }
}

void RequireGray(const TDIB& image) {
  if (image.Format() != df8Bit) throw EError(kNeeds8Bit);
}

// Ink specks of the class map lose their box outline to the no-edge class: the ink pixels that
// spot removal whitens in a 1-bit picture of the ink. The classes are 0, 148 and 255 only, so
// the 8-to-1 conversion alone (0 black, anything else white) gives the threshold at level 1.
void ClearSpecks(TDIB& classMap, std::int32_t maxSpotSize) {
  auto before = classMap.Duplicate();
  before->ConvertTo(df1Bit);
  auto after = before->Duplicate();
  RemoveSpots(*after, maxSpotSize, maxSpotSize);
  const std::int32_t width = classMap.Width();
  for (std::int32_t y = 0; y < classMap.Height(); ++y) {
    const std::uint8_t* was = before->Row(y);
    const std::uint8_t* now = after->Row(y);
    std::uint8_t* out = classMap.Row(y);
    for (std::int32_t i = 0; i < before->BytesPerRow(); ++i) {
      const std::uint8_t changed = static_cast<std::uint8_t>(was[i] ^ now[i]);
      if (changed == 0) continue;
      for (std::int32_t bit = 0; bit < 8 && 8 * i + bit < width; ++bit) {
        if ((changed & (0x80 >> bit)) != 0) out[8 * i + bit] = kClassNoEdge;
      }
    }
  }
}

// The class map of an 8-bit image with at least one pixel. The smoothed image lives on in its
// padded copy, so its own store takes the classes.
std::unique_ptr<TDIB> ClassMapOf(const TDIB& image, std::int32_t sensitivity) {
  auto classMap = NewGrayImage(image);
  LocalMean(image, *classMap, 3, 3);
  const auto smoothPadded = Padded(*classMap, 2);
  const auto strength = NewGrayImage(image);
  StrengthOfPadded(*smoothPadded, *strength);
  if (sensitivity < 0) {
    THistogram histogram;
    GetHistogram(*strength, histogram);
    sensitivity = MinimumErrorThreshold(histogram);
  }
  ClassifyPadded(*smoothPadded, *strength, sensitivity, *classMap);
  return classMap;
}

}  // namespace

std::unique_ptr<TDIB> EdgeStrength(const TDIB& image) {
  RequireGray(image);
  auto strength = NewGrayImage(image);
  StrengthOfPadded(*Padded(image, 2), *strength);
  return strength;
}

void ClassifyEdges(const TDIB& smooth, const TDIB& strength, std::int32_t sensitivity,
                   TDIB& classMap) {
  RequireGray(smooth);
  RequireGray(strength);
  RequireGray(classMap);
  if (strength.Width() != smooth.Width() || strength.Height() != smooth.Height() ||
      classMap.Width() != smooth.Width() || classMap.Height() != smooth.Height()) {
    throw EError("The smoothed image, the strength and the class map differ in size");
  }
  ClassifyPadded(*Padded(smooth, 2), strength, sensitivity, classMap);
}

void EdgeThreshold(TDIB& image, std::int32_t sensitivity, std::int32_t maxSpotSize, bool convert,
                   std::uint8_t /*lowValue*/, std::uint8_t /*highValue*/) {
  if (image.Format() == df24Bit) image.ConvertTo(df8Bit);
  RequireGray(image);
  if (image.Width() > 0 && image.Height() > 0) {
    const auto classMap = ClassMapOf(image, sensitivity);
    if (maxSpotSize > 1) ClearSpecks(*classMap, maxSpotSize);
    const auto width = static_cast<std::size_t>(image.Width());
    for (std::int32_t y = 0; y < image.Height(); ++y) {
      const std::uint8_t* classes = classMap->Row(y);
      std::uint8_t* out = image.Row(y);
      for (std::size_t x = 0; x < width; ++x) out[x] = classes[x] == kClassInk ? 0 : 255;
    }
  }
  if (convert) Threshold(image, 128, true, 0, 255);
}
