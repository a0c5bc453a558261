// The resize transform: a source stretched to TargetWidth x TargetHeight, converted to the
// target format on the way.
//
// Two samplings, chosen as a stretch mode would be: true-colour sources of more than 1024
// pixels are area averaged, everything else takes the nearest pixel.
//  - Nearest pixel: output pixel k takes source pixel ((2k + 1) x extent) div (2 x count), the
//    one under its centre; at equal size every pixel is its own.
//  - Area averaging: output pixel k covers [k, k + 1) x extent / count of the source; every
//    source pixel it touches weighs its overlap, in 4096ths of the output pixel (running
//    sums rounded, so the weights always add up to exactly 4096). Columns are summed first,
//    then rows, in 32-bit integers; the result is rounded half up. A flat colour stays exact.
// Colours reach a palette format as the nearest entry; a format kept keeps its indexes.
#include <algorithm>
#include <cstring>
#include <vector>

#include "viewer/image_transforms.h"

namespace {

constexpr std::int64_t kWeightOne = 4096;  // 12 bits: 255 x 4096 x 4096 + rounding < 2^32

// For each of count output positions, the source position under its centre.
std::vector<std::int32_t> NearestMap(std::int32_t extent, std::int32_t count) {
  std::vector<std::int32_t> map(static_cast<std::size_t>(count));
  for (std::int32_t k = 0; k < count; ++k) {
    map[static_cast<std::size_t>(k)] =
        static_cast<std::int32_t>((2 * std::int64_t{k} + 1) * extent / (2 * std::int64_t{count}));
  }
  return map;
}

// The source pixels each output position averages and their weights along one axis.
struct TAreaTaps {
  std::vector<std::int32_t> first;  // first source pixel of output k
  std::vector<std::size_t> start;   // its weights: weights[start[k] .. start[k + 1])
  std::vector<std::uint32_t> weights;
};

// Position p (0 .. extent, in count-ths of a source pixel, measured from the start of an
// output pixel) as 4096ths of that output pixel.
std::int64_t Scaled(std::int64_t p, std::int64_t extent) {
  return (p * kWeightOne + extent / 2) / extent;
}

TAreaTaps AreaTaps(std::int32_t extent, std::int32_t count) {
  TAreaTaps taps;
  taps.first.resize(static_cast<std::size_t>(count));
  taps.start.resize(static_cast<std::size_t>(count) + 1);
  for (std::int64_t k = 0; k < count; ++k) {
    const std::int64_t begin = k * extent, end = begin + extent;  // in count-ths
    const std::int64_t s0 = begin / count, s1 = (end + count - 1) / count;
    taps.first[static_cast<std::size_t>(k)] = static_cast<std::int32_t>(s0);
    taps.start[static_cast<std::size_t>(k)] = taps.weights.size();
    for (std::int64_t s = s0; s < s1; ++s) {
      const std::int64_t from = std::max(s * count, begin) - begin;
      const std::int64_t to = std::min((s + 1) * count, end) - begin;
      taps.weights.push_back(static_cast<std::uint32_t>(Scaled(to, extent) - Scaled(from, extent)));
    }
  }
  taps.start[static_cast<std::size_t>(count)] = taps.weights.size();
  return taps;
}

std::int32_t IndexAt(const std::uint8_t* row, std::int32_t x, std::int32_t bits) {
  const auto ux = static_cast<std::uint32_t>(x);
  switch (bits) {
    case 1:
      return (row[ux / 8] >> (7 - ux % 8)) & 1;
    case 4:
      return ux % 2 == 0 ? row[ux / 2] >> 4 : row[ux / 2] & 0x0F;
    default:
      return row[ux];
  }
}

void PutIndex(std::uint8_t* row, std::int32_t x, std::int32_t bits, std::int32_t index) {
  const auto ux = static_cast<std::uint32_t>(x);
  switch (bits) {
    case 1:
      row[ux / 8] = static_cast<std::uint8_t>(row[ux / 8] | (index & 1) << (7 - ux % 8));
      break;
    case 4:
      row[ux / 2] =
          static_cast<std::uint8_t>(row[ux / 2] | (index & 0x0F) << (ux % 2 == 0 ? 4 : 0));
      break;
    default:
      row[ux] = static_cast<std::uint8_t>(index);
      break;
  }
}

// Writes one row of colours (blue, green, red) into the destination: directly for true
// colour, as nearest palette entries otherwise. For true colour the row may already be the
// destination's own, in which case nothing is left to do.
void StoreColours(const std::uint8_t* bgr, TDibGraphic& dest, std::int32_t y) {
  std::uint8_t* out = dest.ScanLine(y);
  if (dest.ImageFormat() == gfTrueColor) {
    if (out != bgr) std::memcpy(out, bgr, 3 * static_cast<std::size_t>(dest.Width()));
    return;
  }
  for (std::int32_t x = 0; x < dest.Width(); ++x) {
    const std::uint8_t* p = bgr + 3 * static_cast<std::size_t>(x);
    dest.SetPixelColor(x, y, (TColorValue{p[2]} << 16) | (TColorValue{p[1]} << 8) | p[0]);
  }
}

// A row buffer for colours: the destination row itself for true colour.
class TColourRow {
 public:
  explicit TColourRow(const TDibGraphic& dest)
      : direct_(dest.ImageFormat() == gfTrueColor),
        buffer_(direct_ ? 0 : 3 * static_cast<std::size_t>(dest.Width())) {}
  std::uint8_t* For(TDibGraphic& dest, std::int32_t y) {
    return direct_ ? dest.ScanLine(y) : buffer_.data();
  }

 private:
  bool direct_;
  std::vector<std::uint8_t> buffer_;
};

// Nearest pixel, keeping the source's indexes (same palette format on both sides).
void NearestIndexes(const TDibGraphic& source, TDibGraphic& dest) {
  const std::vector<std::int32_t> cols = NearestMap(source.Width(), dest.Width());
  const std::vector<std::int32_t> rows = NearestMap(source.Height(), dest.Height());
  const std::int32_t bits = source.Header().biBitCount;
  for (std::int32_t y = 0; y < dest.Height(); ++y) {
    const std::uint8_t* in = source.ScanLine(rows[static_cast<std::size_t>(y)]);
    std::uint8_t* out = dest.ScanLine(y);
    std::memset(out, 0, static_cast<std::size_t>(dest.BytesPerRow()));
    for (std::int32_t x = 0; x < dest.Width(); ++x) {
      PutIndex(out, x, bits, IndexAt(in, cols[static_cast<std::size_t>(x)], bits));
    }
  }
}

// Nearest pixel as colours: palette sources through a table of their colours.
void NearestColours(const TDibGraphic& source, TDibGraphic& dest) {
  const std::vector<std::int32_t> cols = NearestMap(source.Width(), dest.Width());
  const std::vector<std::int32_t> rows = NearestMap(source.Height(), dest.Height());
  const std::int32_t bits = source.Header().biBitCount;
  std::uint8_t table[256][3] = {};
  for (std::int32_t i = 0; i < source.PaletteCount(); ++i) {
    const TRGBQuad& q = source.ColorTable()[i];
    table[i][0] = q.rgbBlue, table[i][1] = q.rgbGreen, table[i][2] = q.rgbRed;
  }
  TColourRow row(dest);
  for (std::int32_t y = 0; y < dest.Height(); ++y) {
    const std::uint8_t* in = source.ScanLine(rows[static_cast<std::size_t>(y)]);
    std::uint8_t* out = row.For(dest, y);
    for (std::int32_t x = 0; x < dest.Width(); ++x, out += 3) {
      const std::int32_t sx = cols[static_cast<std::size_t>(x)];
      const std::uint8_t* colour =
          bits == 24 ? in + 3 * static_cast<std::size_t>(sx) : table[IndexAt(in, sx, bits)];
      out[0] = colour[0], out[1] = colour[1], out[2] = colour[2];
    }
    StoreColours(row.For(dest, y), dest, y);
  }
}

// Area averaging of a true-colour source: rows first into column sums, then columns.
void AreaAverage(const TDibGraphic& source, TDibGraphic& dest) {
  const TAreaTaps cols = AreaTaps(source.Width(), dest.Width());
  const TAreaTaps rows = AreaTaps(source.Height(), dest.Height());
  const std::size_t sums = 3 * static_cast<std::size_t>(source.Width());
  std::vector<std::uint32_t> columnSums(sums);
  TColourRow row(dest);
  for (std::int32_t y = 0; y < dest.Height(); ++y) {
    const auto uy = static_cast<std::size_t>(y);
    std::fill(columnSums.begin(), columnSums.end(), 0u);
    for (std::size_t t = rows.start[uy]; t < rows.start[uy + 1]; ++t) {
      const std::uint32_t weight = rows.weights[t];
      const std::uint8_t* in =
          source.ScanLine(rows.first[uy] + static_cast<std::int32_t>(t - rows.start[uy]));
      for (std::size_t c = 0; c < sums; ++c) columnSums[c] += weight * in[c];
    }
    std::uint8_t* out = row.For(dest, y);
    for (std::size_t x = 0; x < static_cast<std::size_t>(dest.Width()); ++x, out += 3) {
      std::uint32_t b = 1u << 23, g = 1u << 23, r = 1u << 23;
      const std::uint32_t* sum = columnSums.data() + 3 * static_cast<std::size_t>(cols.first[x]);
      for (std::size_t t = cols.start[x]; t < cols.start[x + 1]; ++t, sum += 3) {
        const std::uint32_t weight = cols.weights[t];
        b += weight * sum[0], g += weight * sum[1], r += weight * sum[2];
      }
      out[0] = static_cast<std::uint8_t>(b >> 24);
      out[1] = static_cast<std::uint8_t>(g >> 24);
      out[2] = static_cast<std::uint8_t>(r >> 24);
    }
    StoreColours(row.For(dest, y), dest, y);
  }
}

}  // namespace

// An empty source gives an empty graphic: there is nothing to stretch.
void TResizeTransform::ApplyOnDest(const TDibGraphic& source, TDibGraphic& dest) {
  if (&source == &dest) {
    Apply(dest);
    return;
  }
  if (source.Empty()) {
    dest.ReleaseImage();
    return;
  }
  BeginReports();
  Report(0, 0, 100);
  const TGraphicFormat format = ForceFormat ? TargetFormat : source.ImageFormat();
  const bool kept = format == source.ImageFormat();
  dest.NewImage(TargetWidth, TargetHeight, format, kept ? &source.Palette() : nullptr,
                source.XResolution(), source.YResolution());
  Report(50, 0, 100);
  const bool halftone =
      source.ImageFormat() == gfTrueColor && std::int64_t{source.Width()} * source.Height() > 1024;
  if (halftone) {
    AreaAverage(source, dest);
  } else if (kept && format != gfTrueColor) {
    NearestIndexes(source, dest);
  } else {
    NearestColours(source, dest);
  }
  Report(100, 0, 100);
}
