// Nearest-pixel sampling of the resize transform: output pixel k takes source pixel
// ((2k + 1) x extent) div (2 x count), the one under its centre, so at equal size every pixel
// is its own. A palette format kept on both sides keeps its indexes; otherwise colours go
// through a table of the source's palette and reach a palette destination as its nearest
// entries.
#include <cstring>

#include "viewer/packed_pixels.h"
#include "viewer/resize_sampling.h"

namespace {

// For each of count output positions, the source position under its centre.
std::vector<std::int32_t> NearestMap(std::int32_t extent, std::int32_t count) {
  std::vector<std::int32_t> map(static_cast<std::size_t>(count));
  for (std::int32_t k = 0; k < count; ++k) {
    map[static_cast<std::size_t>(k)] =
        static_cast<std::int32_t>((2 * std::int64_t{k} + 1) * extent / (2 * std::int64_t{count}));
  }
  return map;
}

// One row of nearest pixels as colours; palette sources through a table of their colours.
template <std::int32_t kBits>
void SampleColours(const std::uint8_t* in, const std::vector<std::int32_t>& cols,
                   const std::uint8_t (*table)[3], std::uint8_t* out) {
  for (const std::int32_t sx : cols) {
    const std::uint8_t* colour =
        kBits == 24 ? in + 3 * static_cast<std::size_t>(sx) : table[PackedIndexAt(in, sx, kBits)];
    out[0] = colour[0], out[1] = colour[1], out[2] = colour[2];
    out += 3;
  }
}

}  // namespace

TColourRow::TColourRow(const TDibGraphic& dest)
    : direct_(dest.ImageFormat() == gfTrueColor),
      buffer_(direct_ ? 0 : 3 * static_cast<std::size_t>(dest.Width())) {}

std::uint8_t* TColourRow::For(TDibGraphic& dest, std::int32_t y) {
  return direct_ ? dest.ScanLine(y) : buffer_.data();
}

void TColourRow::Store(TDibGraphic& dest, std::int32_t y) const {
  if (direct_) return;
  for (std::int32_t x = 0; x < dest.Width(); ++x) {
    const std::uint8_t* p = buffer_.data() + 3 * static_cast<std::size_t>(x);
    dest.SetPixelColor(x, y, (TColorValue{p[2]} << 16) | (TColorValue{p[1]} << 8) | p[0]);
  }
}

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
      PutPackedIndex(out, x, bits, PackedIndexAt(in, cols[static_cast<std::size_t>(x)], bits));
    }
  }
}

// Nearest pixel as colours.
void NearestColours(const TDibGraphic& source, TDibGraphic& dest) {
  const std::vector<std::int32_t> cols = NearestMap(source.Width(), dest.Width());
  const std::vector<std::int32_t> rows = NearestMap(source.Height(), dest.Height());
  std::uint8_t table[256][3] = {};
  for (std::int32_t i = 0; i < source.PaletteCount(); ++i) {
    const TRGBQuad& q = source.ColorTable()[i];
    table[i][0] = q.rgbBlue, table[i][1] = q.rgbGreen, table[i][2] = q.rgbRed;
  }
  auto* sample = &SampleColours<24>;
  switch (source.Header().biBitCount) {
    case 1:
      sample = &SampleColours<1>;
      break;
    case 4:
      sample = &SampleColours<4>;
      break;
    case 8:
      sample = &SampleColours<8>;
      break;
  }
  TColourRow row(dest);
  for (std::int32_t y = 0; y < dest.Height(); ++y) {
    std::uint8_t* out = row.For(dest, y);
    sample(source.ScanLine(rows[static_cast<std::size_t>(y)]), cols, table, out);
    row.Store(dest, y);
  }
}
