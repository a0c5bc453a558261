// The bitmap file reader. Bitmap files are not trusted: every size and offset in their
// headers is checked against the bytes the stream really holds before anything is allocated
// or copied, and anything that does not fit gives "Invalid bitmap file !".
//
// The image is normalised into the raster's data model: a 40-byte info header (V4 and V5
// headers lose their extra fields), a full colour table for 1, 4 and 8 bits, bottom-up rows
// (top-down files are flipped) and 1, 4, 8, 15, 16 or 24 bits per pixel (32-bit pixels lose
// their fourth byte). Compressed bitmaps and colour masks other than the plain ones are
// refused with a message saying so.
#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "image/dibunit.h"
#include "image/stream.h"
#include "platform/errors.h"
#include "platform/memory_block.h"

namespace {

constexpr std::uint32_t kBiRGB = 0;
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::uint32_t kBiAlphaBitfields = 6;
constexpr std::int64_t kFileHeaderSize = 14;
constexpr std::int64_t kInfoHeaderSize = 40;
constexpr std::int64_t kLargestHeader = 124;

// The colour masks a plain 16-bit (5-5-5) or 32-bit (8-8-8) pixel has.
struct TMasks {
  std::uint32_t red, green, blue;
  bool operator==(const TMasks&) const = default;
};
constexpr TMasks kPlainMasks16{0x7C00, 0x03E0, 0x001F};
constexpr TMasks kPlainMasks32{0xFF0000, 0x00FF00, 0x0000FF};

// Everything the headers say about where the pixels are and what the image will be.
struct TBitmapLayout {
  TBitmapInfoHeader info{};  // the first 40 bytes of the file's info header
  std::int32_t height = 0;   // always positive
  bool topDown = false;      // rows stored top row first
  std::int64_t fileStride = 0;
  std::int64_t fileRowBytes = 0;
  std::int64_t paletteOffset = 0;  // from the start of the file header
  std::int32_t paletteCount = 0;   // entries stored in the file
  std::int64_t pixelOffset = 0;
  TDIBFormat format = 0;      // of the image made
  std::int32_t bitCount = 0;  // biBitCount of the image made
};

[[noreturn]] void Invalid() {
  throw EError(kInvalidBitmap);
}

std::uint32_t U32At(const std::uint8_t* bytes) {
  std::uint32_t value;
  std::memcpy(&value, bytes, 4);
  return value;
}

// Reads exactly count bytes at offset from the start of the file, or refuses the file.
void ReadAt(TStream& stream, std::int64_t start, std::int64_t offset, void* buffer,
            std::size_t count) {
  stream.Seek(start + offset, soBeginning);
  if (stream.Read(buffer, count) != count) Invalid();
}

// The format an image read from a file of this bit count gets, or 0 when there is none.
TDIBFormat FormatOfFileBits(std::int32_t bits) {
  constexpr std::pair<std::int32_t, TDIBFormat> kFormats[] = {
      {1, df1Bit},   {4, df4Bit},   {8, df8Bit},  {15, df15Bit},
      {16, df16Bit}, {24, df24Bit}, {32, df24Bit}};
  for (auto [count, format] : kFormats) {
    if (count == bits) return format;
  }
  return 0;
}

// Where the colour masks of a bit-fields file are: inside a header of 52 bytes or more, or
// in the 12 bytes that follow a 40-byte header.
TMasks ReadMasks(TStream& stream, std::int64_t start, const std::uint8_t* header,
                 std::uint32_t headerSize) {
  std::uint8_t bytes[12];
  if (headerSize >= 52) {
    std::memcpy(bytes, header + kInfoHeaderSize, 12);
  } else {
    ReadAt(stream, start, kFileHeaderSize + headerSize, bytes, 12);
  }
  return {U32At(bytes), U32At(bytes + 4), U32At(bytes + 8)};
}

void CheckCompression(TStream& stream, std::int64_t start, const std::uint8_t* header,
                      std::uint32_t headerSize, const TBitmapInfoHeader& info) {
  std::uint32_t compression = info.biCompression;
  if (compression == kBiRGB) return;
  if (compression != kBiBitfields && compression != kBiAlphaBitfields) {
    throw EError("Compressed bitmap files are not supported (compression " +
                 std::to_string(compression) + ")");
  }
  TMasks masks = ReadMasks(stream, start, header, headerSize);
  bool plain = (info.biBitCount == 16 && masks == kPlainMasks16) ||
               (info.biBitCount == 32 && masks == kPlainMasks32);
  if (!plain) {
    throw EError("Bitmap files with colour masks other than 5-5-5 or 8-8-8 are not supported");
  }
}

// Bytes between the info header and the colour table: the masks after a 40-byte header.
std::int64_t MaskBytes(const TBitmapInfoHeader& info, std::uint32_t headerSize) {
  if (headerSize != kInfoHeaderSize) return 0;
  if (info.biCompression == kBiBitfields) return 12;
  if (info.biCompression == kBiAlphaBitfields) return 16;
  return 0;
}

// Reads and checks both headers; available is the number of bytes from the file's start.
TBitmapLayout ReadLayout(TStream& stream, std::int64_t start, std::int64_t available) {
  TBitmapFileHeader file{};
  std::uint8_t header[kLargestHeader] = {};
  if (available < kFileHeaderSize + 4) Invalid();
  ReadAt(stream, start, 0, &file, sizeof file);
  if (file.bfType != 0x4D42) Invalid();
  if (file.bfSize > available) Invalid();
  ReadAt(stream, start, kFileHeaderSize, header, 4);
  std::uint32_t headerSize = U32At(header);
  if (kFileHeaderSize + std::int64_t{headerSize} > available) Invalid();
  if (headerSize != 40 && headerSize != 52 && headerSize != 56 && headerSize != 108 &&
      headerSize != 124) {
    throw EError("Bitmap header of " + std::to_string(headerSize) + " bytes is not supported");
  }
  ReadAt(stream, start, kFileHeaderSize, header, headerSize);

  TBitmapLayout layout;
  std::memcpy(&layout.info, header, sizeof layout.info);
  const TBitmapInfoHeader& info = layout.info;
  std::int32_t bits = info.biBitCount;
  CheckCompression(stream, start, header, headerSize, info);
  layout.format = FormatOfFileBits(bits);
  if (layout.format == 0 || info.biWidth <= 0 || info.biHeight == 0 || info.biHeight == INT32_MIN) {
    Invalid();
  }
  layout.bitCount = bits == 32 ? 24 : bits;
  layout.topDown = info.biHeight < 0;
  layout.height = layout.topDown ? -info.biHeight : info.biHeight;

  std::int64_t fileBits = bits == 15 ? 16 : bits;
  layout.fileStride = (std::int64_t{info.biWidth} * fileBits + 31) / 32 * 4;
  layout.fileRowBytes = (std::int64_t{info.biWidth} * fileBits + 7) / 8;
  // Strides of 64 bits compared by division: a hostile width times height overflows even 64
  // bits as a product.
  const std::int64_t imageStride =
      (std::int64_t{info.biWidth} * (bits == 32 ? 24 : fileBits) + 31) / 32 * 4;
  const std::int64_t rowsAllowed = kMaxPixelBytes / layout.height;
  if (imageStride > rowsAllowed || layout.fileStride > rowsAllowed) throw EError(kImageTooLarge);

  layout.paletteOffset = kFileHeaderSize + headerSize + MaskBytes(info, headerSize);
  layout.paletteCount = PaletteCountOf(info);
  std::int64_t paletteEnd = layout.paletteOffset + 4 * std::int64_t{layout.paletteCount};
  layout.pixelOffset = file.bfOffBits != 0 ? file.bfOffBits : paletteEnd;
  if (layout.pixelOffset < paletteEnd) Invalid();
  std::int64_t pixelEnd =
      layout.pixelOffset + (layout.height - 1) * layout.fileStride + layout.fileRowBytes;
  if (pixelEnd > available) Invalid();
  return layout;
}

// One file row into one stored row of the image; 32-bit pixels lose their fourth byte.
void CopyRow(const std::uint8_t* from, std::uint8_t* to, const TBitmapLayout& layout,
             std::int32_t bytesPerRow) {
  if (layout.info.biBitCount != 32) {
    std::memcpy(to, from, static_cast<std::size_t>(bytesPerRow));
    return;
  }
  for (std::int32_t x = 0; x < layout.info.biWidth; ++x) {
    std::memcpy(to + 3 * x, from + 4 * x, 3);
  }
}

// Fills a normalised block: 40-byte header, the full colour table, bottom-up rows.
void FillBlock(TStream& stream, std::int64_t start, const TBitmapLayout& layout,
               std::uint8_t* block, const TDIBLayout& imageLayout, std::int32_t entries) {
  TBitmapInfoHeader& header = *reinterpret_cast<TBitmapInfoHeader*>(block);
  header = layout.info;
  header.biSize = kInfoHeaderSize;
  header.biHeight = layout.height;
  header.biPlanes = 1;
  header.biBitCount = static_cast<std::uint16_t>(layout.bitCount);
  header.biCompression = kBiRGB;
  header.biSizeImage = static_cast<std::uint32_t>(std::int64_t{imageLayout.Stride} * layout.height);
  header.biClrUsed = header.biClrImportant = static_cast<std::uint32_t>(entries);

  std::uint8_t* palette = block + kInfoHeaderSize;
  if (layout.paletteCount > 0) {
    ReadAt(stream, start, layout.paletteOffset, palette,
           static_cast<std::size_t>(4 * layout.paletteCount));
    for (std::int32_t i = 0; i < layout.paletteCount; ++i) palette[4 * i + 3] = 0;
  }

  std::uint8_t* bits = palette + 4 * entries;
  std::vector<std::uint8_t> row(static_cast<std::size_t>(layout.fileStride));
  for (std::int32_t i = 0; i < layout.height; ++i) {
    std::int64_t offset = layout.pixelOffset + i * layout.fileStride;
    ReadAt(stream, start, offset, row.data(), static_cast<std::size_t>(layout.fileRowBytes));
    std::int32_t stored = layout.topDown ? layout.height - 1 - i : i;
    CopyRow(row.data(), bits + std::int64_t{stored} * imageLayout.Stride, layout,
            imageLayout.BytesPerRow);
  }
}

}  // namespace

void TDIB::LoadBMPFromStream(TStream& stream) {
  Clear();
  std::int64_t start = stream.Position();
  TBitmapLayout layout = ReadLayout(stream, start, stream.Size() - start);

  TDIBLayout imageLayout{};
  ComputeLayout(layout.info.biWidth, layout.height, layout.format, imageLayout);
  // A file may list fewer colours than its pixels can index; the table is always full, so
  // that every pixel value names an entry (the missing ones are black).
  std::int32_t entries = layout.bitCount <= 8 ? 1 << layout.bitCount : 0;
  TBlockOwner owner(BlockAlloc(static_cast<std::size_t>(imageLayout.Size)));
  {
    TBlockLock lock(owner.Get());
    FillBlock(stream, start, layout, lock.Address(), imageLayout, entries);
  }

  fileHeader_.bfType = 0x4D42;
  fileHeader_.bfSize = static_cast<std::uint32_t>(kFileHeaderSize + imageLayout.Size);
  fileHeader_.bfOffBits =
      static_cast<std::uint32_t>(kFileHeaderSize + kInfoHeaderSize + 4 * entries);
  AdoptBlock(owner.Release(), static_cast<std::int32_t>(imageLayout.Size));
}
