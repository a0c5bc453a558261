// Whole images in and out of a display graphic as packed DIB blocks: the 40-byte info header,
// the colour table, then the bottom-up rows.
//
// A block comes from another owner and is not trusted: its size is the one the memory layer
// knows, and every count the header gives (colour entries, geometry, rows) is checked against
// it before a byte is read, so a short or lying block gives "Invalid HDIB" instead of a read
// past its end. The block is read, never kept, and always unlocked again.
//
// 1-, 4-, 8- and 24-bit blocks without compression are copied in one move. Others (16 and
// 32 bits, masks or compression) go through the image library's bitmap reader as a bitmap
// file image in memory: 16 and 32 bits arrive as true colour, a compressed block as what it
// decodes to; what that reader refuses stays refused with its message.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "image/dibunit.h"
#include "image/five_bit_channels.h"
#include "image/rounding.h"
#include "image/streams.h"
#include "viewer/dib_graphic.h"
#include "viewer/viewer_errors.h"

namespace {

constexpr std::uint32_t kBiRGB = 0;
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::uint32_t kBiAlphaBitfields = 6;
constexpr std::int64_t kHeaderSize = 40;
constexpr std::int64_t kFileHeaderSize = 14;

[[noreturn]] void InvalidBlock() {
  throw EViewerError("Invalid HDIB");
}

// What a checked block holds and where.
struct TBlockLayout {
  TBitmapInfoHeader header{};
  std::int64_t colorCount = 0;  // colour table entries
  std::int64_t maskBytes = 0;   // colour masks between header and colour table
  std::int64_t rowBytes = 0;
  std::int64_t dataOffset = 0;  // of the rows (or the compressed data)
  std::int64_t dataBytes = 0;
};

bool SupportedBitCount(std::uint16_t bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

bool CopiedDirectly(const TBitmapInfoHeader& header) {
  return header.biCompression == kBiRGB && header.biBitCount != 16 && header.biBitCount != 32;
}

TBlockLayout CheckBlock(const std::uint8_t* block, std::int64_t size) {
  TBlockLayout layout;
  if (size < kHeaderSize) InvalidBlock();
  std::memcpy(&layout.header, block, sizeof layout.header);
  const TBitmapInfoHeader& h = layout.header;
  if (h.biSize != kHeaderSize || h.biWidth <= 0 || h.biHeight <= 0) InvalidBlock();
  if (!SupportedBitCount(h.biBitCount)) throw EViewerError("Unsupported bit count");
  if (h.biBitCount <= 8) {
    const std::int64_t full = std::int64_t{1} << h.biBitCount;
    layout.colorCount = h.biClrUsed == 0 ? full : h.biClrUsed;
    if (layout.colorCount > full) InvalidBlock();
  }
  const bool masked = h.biCompression == kBiBitfields || h.biCompression == kBiAlphaBitfields;
  if (masked && h.biBitCount >= 16) layout.maskBytes = h.biCompression == kBiBitfields ? 12 : 16;
  layout.rowBytes = (SaturatedProduct(h.biWidth, h.biBitCount) + 31) / 32 * 4;
  layout.dataOffset = kHeaderSize + layout.maskBytes + 4 * layout.colorCount;
  const bool packed = h.biCompression == kBiRGB || masked;
  layout.dataBytes = packed ? SaturatedProduct(layout.rowBytes, h.biHeight) : h.biSizeImage;
  if (layout.dataBytes == 0) InvalidBlock();
  if (layout.dataBytes > size - layout.dataOffset) InvalidBlock();
  return layout;
}

TLogPalette PaletteOf(const std::uint8_t* block, const TBlockLayout& layout) {
  TLogPalette palette;
  palette.palNumEntries = static_cast<std::uint16_t>(layout.colorCount);
  const std::uint8_t* quad = block + kHeaderSize + layout.maskBytes;
  for (std::int64_t i = 0; i < layout.colorCount; ++i, quad += 4) {
    palette.palPalEntry[static_cast<std::size_t>(i)] = {quad[2], quad[1], quad[0], 0};
  }
  return palette;
}

bool IsGray(const TLogPalette& palette) {
  for (std::size_t i = 0; i < palette.palNumEntries; ++i) {
    const TLogPalette::Entry& e = palette.palPalEntry[i];
    if (e.red != e.green || e.green != e.blue) return false;
  }
  return true;
}

TGraphicFormat FormatOf(std::uint16_t bits, const TLogPalette& palette) {
  switch (bits) {
    case 1:
      return gfBilevel;
    case 4:
      return IsGray(palette) ? gfGray16 : gfColor16;
    case 8:
      return IsGray(palette) ? gfGray256 : gfColor256;
    default:
      return gfTrueColor;
  }
}

// Pixels per metre as dots per inch; what no dpi value can hold becomes 0, the screen's.
std::uint16_t BlockResolution(std::int32_t pixelsPerMetre) {
  const std::int32_t dpi = RoundHalfEven(pixelsPerMetre / kInchesPerMetre);
  return dpi <= 0 || dpi > 65535 ? 0 : static_cast<std::uint16_t>(dpi);
}

// The block as a bitmap file image: file header, info header, masks, colour table, data.
TMemoryStream BitmapFileOf(const std::uint8_t* block, const TBlockLayout& layout) {
  TBitmapInfoHeader header = layout.header;
  header.biSizeImage = static_cast<std::uint32_t>(layout.dataBytes);
  if (header.biBitCount > 8) header.biClrUsed = 0;
  const std::int64_t tableBytes = layout.maskBytes + 4 * layout.colorCount;
  TBitmapFileHeader file{};
  file.bfType = 0x4D42;
  file.bfOffBits = static_cast<std::uint32_t>(kFileHeaderSize + kHeaderSize + tableBytes);
  file.bfSize = static_cast<std::uint32_t>(file.bfOffBits + layout.dataBytes);
  TMemoryStream stream;
  stream.Write(&file, sizeof file);
  stream.Write(&header, sizeof header);
  stream.Write(block + kHeaderSize, static_cast<std::size_t>(tableBytes));
  stream.Write(block + layout.dataOffset, static_cast<std::size_t>(layout.dataBytes));
  stream.Seek(0, soBeginning);
  return stream;
}

// Five-bit channels (blue in the low bits) widened as the image library widens them.
void TakeFiveBitPixels(TDibGraphic& graphic, const TDIB& image, std::uint16_t xDpi,
                       std::uint16_t yDpi) {
  graphic.NewImage(image.Width(), image.Height(), gfTrueColor, nullptr, xDpi, yDpi);
  for (std::int32_t y = 0; y < image.Height(); ++y) {
    const std::uint8_t* in = image.Row(y);
    std::uint8_t* out = graphic.ScanLine(y);
    for (std::int32_t x = 0; x < image.Width(); ++x, in += 2, out += 3) {
      const std::uint32_t pixel = in[0] | (std::uint32_t{in[1]} << 8);
      out[0] = WidenFiveBits(pixel & 31);
      out[1] = WidenFiveBits((pixel >> 5) & 31);
      out[2] = WidenFiveBits((pixel >> 10) & 31);
    }
  }
}

// Decodes a block the graphic cannot copy directly. The reader's result is a plain block of
// 1, 4, 8 or 24 bits (32-bit pixels lose their fourth byte), taken as any block is, or of 15
// or 16 bits, widened to true colour here.
void AssignDecoded(TDibGraphic& graphic, const std::uint8_t* block, const TBlockLayout& layout,
                   std::uint16_t xDpi, std::uint16_t yDpi) {
  TMemoryStream file = BitmapFileOf(block, layout);
  TDIB image;
  image.LoadBMPFromStream(file);
  if (image.Format() == df15Bit || image.Format() == df16Bit) {
    TakeFiveBitPixels(graphic, image, xDpi, yDpi);
  } else {
    graphic.AssignHDIB(image.GetHandle());
  }
}

}  // namespace

// A block that cannot be taken leaves the graphic empty, never half replaced.
void TDibGraphic::AssignHDIB(TMemoryHandle block) {
  try {
    AssignBlock(block);
  } catch (...) {
    ReleaseImage();
    throw;
  }
}

void TDibGraphic::AssignBlock(TMemoryHandle block) {
  if (block == 0 || !BlockIsValid(block)) InvalidBlock();
  const TBlockLock lock(block);
  const std::uint8_t* bytes = lock.Address();
  const auto size = static_cast<std::int64_t>(std::min<std::size_t>(BlockSize(block), INT64_MAX));
  const TBlockLayout layout = CheckBlock(bytes, size);
  const TBitmapInfoHeader& h = layout.header;
  const std::uint16_t xDpi = BlockResolution(h.biXPelsPerMeter);
  const std::uint16_t yDpi = BlockResolution(h.biYPelsPerMeter);
  if (!CopiedDirectly(h)) {
    AssignDecoded(*this, bytes, layout, xDpi, yDpi);
    return;
  }
  const TLogPalette palette = PaletteOf(bytes, layout);
  NewImage(h.biWidth, h.biHeight, FormatOf(h.biBitCount, palette),
           h.biBitCount <= 8 ? &palette : nullptr, xDpi, yDpi);
  std::memcpy(bits_.data(), bytes + layout.dataOffset, bits_.size());
}

TMemoryHandle TDibGraphic::CreateHDIB() const {
  if (Empty()) throw EViewerError("Graphic is empty");
  const std::size_t tableBytes = colorTable_.size() * sizeof(TRGBQuad);
  TBlockOwner owner(BlockAlloc(sizeof header_ + tableBytes + bits_.size()));
  {
    const TBlockLock lock(owner.Get());
    std::uint8_t* out = lock.Address();
    std::memcpy(out, &header_, sizeof header_);
    if (tableBytes > 0) std::memcpy(out + sizeof header_, colorTable_.data(), tableBytes);
    std::memcpy(out + sizeof header_ + tableBytes, bits_.data(), bits_.size());
  }
  return owner.Release();
}
