// The bitmap file reader. Bitmap files are not trusted: the headers are checked against the
// bytes the stream really holds before anything is allocated or copied (bmp_headers.cpp), and
// every refusal says why.
//
// The image is normalised into the raster's data model: a 40-byte info header (the other
// headers lose or gain fields), a full colour table of 4-byte entries for 1, 4 and 8 bits,
// bottom-up rows (top-down files are flipped, run-length coded ones decoded) and 1, 4, 8, 15,
// 16 or 24 bits per pixel. 32-bit pixels with the plain 8-8-8 masks lose their fourth byte;
// 16- and 32-bit pixels with other colour masks become 24-bit, each channel widened to
// 8 bits.
#include <cstring>
#include <vector>

#include "image/bmp_layout.h"
#include "image/bmp_rle.h"
#include "image/dibunit.h"
#include "image/stream.h"
#include "platform/memory_block.h"

namespace {

constexpr std::int64_t kFileHeaderSize = 14;
constexpr std::int64_t kInfoHeaderSize = 40;

std::uint32_t WordAt(const std::uint8_t* from, std::int32_t bytes) {
  std::uint32_t word = 0;
  std::memcpy(&word, from, static_cast<std::size_t>(bytes));  // little-endian host
  return word;
}

// A channel of n bits widened to 8 the way 5-bit channels are: Round(c x 255 / (2^n - 1)).
std::uint8_t Widen(std::uint32_t word, const TChannelMask& channel) {
  const std::uint64_t top = (std::uint64_t{1} << channel.bits) - 1;
  const std::uint64_t value = (word & channel.mask) >> channel.shift;
  return static_cast<std::uint8_t>((value * 255 + top / 2) / top);
}

// One file row into one stored row of the image.
void CopyRow(const std::uint8_t* from, std::uint8_t* to, const TBitmapLayout& layout,
             std::int32_t bytesPerRow) {
  if (layout.pixels == TBitmapPixels::bpMasks) {
    const std::int32_t bytes = layout.fileBits / 8;
    for (std::int32_t x = 0; x < layout.width; ++x, to += 3) {
      const std::uint32_t word = WordAt(from + bytes * x, bytes);
      to[0] = Widen(word, layout.blue);
      to[1] = Widen(word, layout.green);
      to[2] = Widen(word, layout.red);
    }
  } else if (layout.fileBits == 32) {
    for (std::int32_t x = 0; x < layout.width; ++x) std::memcpy(to + 3 * x, from + 4 * x, 3);
  } else {
    std::memcpy(to, from, static_cast<std::size_t>(bytesPerRow));
  }
}

void WriteHeader(std::uint8_t* block, const TBitmapLayout& layout, const TDIBLayout& imageLayout,
                 std::int32_t entries) {
  TBitmapInfoHeader header{};
  header.biSize = kInfoHeaderSize;
  header.biWidth = layout.width;
  header.biHeight = layout.height;
  header.biPlanes = 1;
  header.biBitCount = static_cast<std::uint16_t>(layout.bitCount);
  header.biSizeImage = static_cast<std::uint32_t>(std::int64_t{imageLayout.Stride} * layout.height);
  header.biXPelsPerMeter = layout.xPelsPerMeter;
  header.biYPelsPerMeter = layout.yPelsPerMeter;
  header.biClrUsed = header.biClrImportant = static_cast<std::uint32_t>(entries);
  std::memcpy(block, &header, sizeof header);
}

// The file's colour table as 4-byte entries (blue, green, red, 0); the rest stays black.
void ReadPalette(TStream& stream, std::int64_t start, const TBitmapLayout& layout,
                 std::uint8_t* palette) {
  if (layout.paletteCount == 0) return;
  const std::int32_t size = layout.paletteEntryBytes;
  std::vector<std::uint8_t> table(static_cast<std::size_t>(size * layout.paletteCount));
  ReadBitmapBytes(stream, start, layout.paletteOffset, table.data(), table.size(), "colour table");
  for (std::int32_t i = 0; i < layout.paletteCount; ++i) {
    std::memcpy(palette + 4 * i, table.data() + size * i, 3);
  }
}

void ReadRows(TStream& stream, std::int64_t start, const TBitmapLayout& layout, std::uint8_t* bits,
              const TDIBLayout& imageLayout) {
  std::vector<std::uint8_t> row(static_cast<std::size_t>(layout.fileStride));
  for (std::int32_t i = 0; i < layout.height; ++i) {
    const std::int64_t offset = layout.pixelOffset + i * layout.fileStride;
    ReadBitmapBytes(stream, start, offset, row.data(),
                    static_cast<std::size_t>(layout.fileRowBytes), "rows");
    const std::int32_t stored = layout.topDown ? layout.height - 1 - i : i;
    CopyRow(row.data(), bits + std::int64_t{stored} * imageLayout.Stride, layout,
            imageLayout.BytesPerRow);
  }
}

// Fills a zero-filled, normalised block: 40-byte header, the full colour table, the rows.
void FillBlock(TStream& stream, std::int64_t start, std::int64_t available,
               const TBitmapLayout& layout, std::uint8_t* block, const TDIBLayout& imageLayout,
               std::int32_t entries) {
  WriteHeader(block, layout, imageLayout, entries);
  std::uint8_t* palette = block + kInfoHeaderSize;
  ReadPalette(stream, start, layout, palette);
  std::uint8_t* bits = palette + 4 * entries;
  if (layout.pixels == TBitmapPixels::bpRunsOf8 || layout.pixels == TBitmapPixels::bpRunsOf4) {
    DecodeBitmapRuns(stream, start, available, layout, bits, imageLayout.Stride);
  } else {
    ReadRows(stream, start, layout, bits, imageLayout);
  }
}

}  // namespace

void TDIB::LoadBMPFromStream(TStream& stream) {
  Clear();
  const std::int64_t start = stream.Position();
  const std::int64_t available = stream.Size() - start;
  const TBitmapLayout layout = ReadBitmapLayout(stream, start, available);

  TDIBLayout imageLayout{};
  ComputeLayout(layout.width, layout.height, layout.format, imageLayout);
  // A file may list fewer colours than its pixels can index; the table is always full, so
  // that every pixel value names an entry (the missing ones are black).
  const std::int32_t entries = layout.bitCount <= 8 ? 1 << layout.bitCount : 0;
  TBlockOwner owner(BlockAlloc(static_cast<std::size_t>(imageLayout.Size)));
  {
    TBlockLock lock(owner.Get());
    FillBlock(stream, start, available, layout, lock.Address(), imageLayout, entries);
  }

  fileHeader_.bfType = 0x4D42;
  fileHeader_.bfSize = static_cast<std::uint32_t>(kFileHeaderSize + imageLayout.Size);
  fileHeader_.bfOffBits =
      static_cast<std::uint32_t>(kFileHeaderSize + kInfoHeaderSize + 4 * entries);
  AdoptBlock(owner.Release(), static_cast<std::int32_t>(imageLayout.Size));
}
