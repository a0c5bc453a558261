// The headers of a bitmap file: the 14-byte file header and one of the info headers in use
// (the 12-byte header of OS/2 1.x with its 3-byte colour table, the 40-byte header and its
// 52- and 56-byte extensions, the 64-byte header of OS/2 2.x, and the 108- and 124-byte
// headers, whose extra fields are not needed). Every size and offset is checked against the
// bytes the stream really holds before anything is allocated; the answer is a layout the
// reader can fill an image from without further checks.
#include <bit>
#include <cstring>
#include <utility>

#include "image/bmp_layout.h"
#include "image/read_error.h"
#include "image/reader_limits.h"
#include "platform/errors.h"

namespace {

constexpr std::uint32_t kBiRGB = 0;
constexpr std::uint32_t kBiRLE8 = 1;
constexpr std::uint32_t kBiRLE4 = 2;
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::uint32_t kBiJPEG = 4;
constexpr std::uint32_t kBiPNG = 5;
constexpr std::uint32_t kBiAlphaBitfields = 6;
constexpr std::int64_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kOS2HeaderSize = 64;
constexpr std::uint32_t kLargestHeader = 124;

std::uint32_t U32At(const std::uint8_t* bytes) {
  std::uint32_t value;
  std::memcpy(&value, bytes, 4);
  return value;
}

std::uint16_t U16At(const std::uint8_t* bytes) {
  std::uint16_t value;
  std::memcpy(&value, bytes, 2);
  return value;
}

std::string Text(std::int64_t value) {
  return std::to_string(value);
}

bool IsSupportedHeaderSize(std::uint32_t size) {
  for (std::uint32_t known : {12u, 40u, 52u, 56u, 64u, 108u, 124u}) {
    if (size == known) return true;
  }
  return false;
}

// The fields every header has, whatever its size.
struct THeaderFields {
  std::uint32_t size = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t bits = 0;
  std::uint32_t compression = kBiRGB;
  std::int32_t xPelsPerMeter = 0;
  std::int32_t yPelsPerMeter = 0;
  std::uint32_t coloursUsed = 0;
};

THeaderFields FieldsOf(const std::uint8_t* header, std::uint32_t size) {
  THeaderFields fields;
  fields.size = size;
  if (size == kCoreHeaderSize) {
    fields.width = U16At(header + 4);
    fields.height = U16At(header + 6);
    fields.bits = U16At(header + 10);
    return fields;
  }
  TBitmapInfoHeader info;
  std::memcpy(&info, header, sizeof info);
  fields.width = info.biWidth;
  fields.height = info.biHeight;
  fields.bits = info.biBitCount;
  fields.compression = info.biCompression;
  fields.xPelsPerMeter = info.biXPelsPerMeter;
  fields.yPelsPerMeter = info.biYPelsPerMeter;
  fields.coloursUsed = info.biClrUsed;
  return fields;
}

// Compressions the reader does not take, each refused with its own message.
void RefuseExoticCompression(const THeaderFields& fields) {
  const std::uint32_t compression = fields.compression;
  if (fields.size == kOS2HeaderSize) {
    if (compression == 3) throw EError("Huffman-coded bitmap files are not supported");
    if (compression == 4) throw EError("Run-length coded 24-bit bitmap files are not supported");
  }
  if (compression == kBiJPEG) throw EError("Bitmap files holding a JPEG image are not supported");
  if (compression == kBiPNG) throw EError("Bitmap files holding a PNG image are not supported");
  const bool known = compression == kBiRGB || compression == kBiRLE8 || compression == kBiRLE4 ||
                     compression == kBiBitfields || compression == kBiAlphaBitfields;
  if (!known) {
    throw EError("Compressed bitmap files are not supported (compression " + Text(compression) +
                 ")");
  }
  if (fields.bits == 64) throw EError("Bitmap files of 64 bits per pixel are not supported");
}

// Where a channel sits in a pixel word; contiguous masks only, inside the word.
TChannelMask ChannelOf(std::uint32_t mask, std::int32_t wordBits, const char* name) {
  const std::string what = std::string(name) + " mask " + Text(mask);
  if (mask == 0) InvalidBitmap("bad colour masks: the " + std::string(name) + " mask is empty");
  if (wordBits < 32 && (mask >> wordBits) != 0) {
    InvalidBitmap("bad colour masks: " + what + " lies outside the " + Text(wordBits) +
                  "-bit pixel");
  }
  TChannelMask channel;
  channel.mask = mask;
  channel.shift = std::countr_zero(mask);
  channel.bits = std::popcount(mask);
  if ((mask >> channel.shift) != (std::uint32_t{0xFFFFFFFF} >> (32 - channel.bits))) {
    InvalidBitmap("bad colour masks: " + what + " is not contiguous");
  }
  return channel;
}

// The colour masks of a masked file: inside a header of 52 bytes or more, or in the 12 bytes
// that follow a 40-byte header. Files without masks have the plain ones of their bit count.
void ReadMasks(TStream& stream, std::int64_t start, const std::uint8_t* header,
               const THeaderFields& fields, TBitmapLayout& layout) {
  std::uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
  if (fields.bits == 32) masks[0] = 0xFF0000, masks[1] = 0x00FF00, masks[2] = 0x0000FF;
  if (fields.compression == kBiBitfields || fields.compression == kBiAlphaBitfields) {
    std::uint8_t bytes[12];
    if (fields.size >= 52) {
      std::memcpy(bytes, header + kInfoHeaderSize, 12);
    } else {
      ReadBitmapBytes(stream, start, kFileHeaderSize + fields.size, bytes, 12, "colour masks");
    }
    for (int i = 0; i < 3; ++i) masks[i] = U32At(bytes + 4 * i);
  }
  layout.red = ChannelOf(masks[0], fields.bits, "red");
  layout.green = ChannelOf(masks[1], fields.bits, "green");
  layout.blue = ChannelOf(masks[2], fields.bits, "blue");
  const bool plain16 =
      fields.bits == 16 && masks[0] == 0x7C00 && masks[1] == 0x03E0 && masks[2] == 0x001F;
  const bool plain32 =
      fields.bits == 32 && masks[0] == 0xFF0000 && masks[1] == 0x00FF00 && masks[2] == 0x0000FF;
  layout.pixels = plain16 || plain32 ? TBitmapPixels::bpRows : TBitmapPixels::bpMasks;
}

// Bytes between the info header and the colour table: the masks after a 40-byte header.
std::int64_t MaskBytes(const THeaderFields& fields) {
  if (fields.size != kInfoHeaderSize) return 0;
  if (fields.compression == kBiBitfields) return 12;
  if (fields.compression == kBiAlphaBitfields) return 16;
  return 0;
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

// Pixel encoding, format and bit count of the image made, by compression and bit count.
void ChoosePixels(TStream& stream, std::int64_t start, const std::uint8_t* header,
                  const THeaderFields& fields, TBitmapLayout& layout) {
  const std::int32_t bits = fields.bits;
  layout.format = FormatOfFileBits(bits);
  if (layout.format == 0 ||
      (fields.size == kCoreHeaderSize && bits != 1 && bits != 4 && bits != 8 && bits != 24)) {
    InvalidBitmap("bad bit count: " + Text(bits) + " bits per pixel");
  }
  layout.bitCount = bits == 32 ? 24 : bits;
  switch (fields.compression) {
    case kBiRLE8:
    case kBiRLE4: {
      const bool eight = fields.compression == kBiRLE8;
      if (bits != (eight ? 8 : 4)) {
        InvalidBitmap("bad bit count: run-length coding of " + Text(eight ? 8 : 4) +
                      "-bit pixels in a file of " + Text(bits) + " bits per pixel");
      }
      layout.pixels = eight ? TBitmapPixels::bpRunsOf8 : TBitmapPixels::bpRunsOf4;
      return;
    }
    case kBiBitfields:
    case kBiAlphaBitfields:
      if (bits != 16 && bits != 32) {
        InvalidBitmap("bad bit count: colour masks in a file of " + Text(bits) + " bits per pixel");
      }
      break;
    default:
      if (bits != 16 && bits != 32) return;
  }
  ReadMasks(stream, start, header, fields, layout);
  if (layout.pixels == TBitmapPixels::bpMasks) {
    layout.format = df24Bit;
    layout.bitCount = 24;
  }
}

// Geometry: positive width, a height that says the row order, and rows within the limit.
void ChooseGeometry(const THeaderFields& fields, TBitmapLayout& layout) {
  if (fields.width <= 0) InvalidBitmap("bad size: width " + Text(fields.width));
  if (fields.height == 0 || fields.height == INT32_MIN) {
    InvalidBitmap("bad size: height " + Text(fields.height));
  }
  layout.width = fields.width;
  layout.topDown = fields.height < 0;
  layout.height = layout.topDown ? -fields.height : fields.height;
  const bool runs =
      layout.pixels == TBitmapPixels::bpRunsOf8 || layout.pixels == TBitmapPixels::bpRunsOf4;
  if (runs && layout.topDown) InvalidBitmap("bad size: run-length coded rows stored top-down");
  layout.fileBits = fields.bits;
  const std::int64_t fileBits = fields.bits == 15 ? 16 : fields.bits;
  layout.fileStride = (std::int64_t{layout.width} * fileBits + 31) / 32 * 4;
  layout.fileRowBytes = (std::int64_t{layout.width} * fileBits + 7) / 8;
  // Strides of 64 bits compared by division: a hostile width times height overflows even 64
  // bits as a product.
  const std::int64_t imageBits = layout.bitCount == 15 ? 16 : layout.bitCount;
  const std::int64_t imageStride = (std::int64_t{layout.width} * imageBits + 31) / 32 * 4;
  const std::int64_t rowsAllowed = kReaderPixelBytes / layout.height;
  if (imageStride > rowsAllowed || (!runs && layout.fileStride > rowsAllowed)) {
    throw EError(kImageTooLarge);
  }
}

// The colour table: its place, its entries (the old 12-byte header stores 3 bytes each, and
// as many as fit before the rows) and where the rows start.
void ChooseTableAndRows(const TBitmapFileHeader& file, const THeaderFields& fields,
                        std::int64_t available, TBitmapLayout& layout) {
  layout.paletteOffset = kFileHeaderSize + fields.size + MaskBytes(fields);
  if (fields.size == kCoreHeaderSize) {
    layout.paletteEntryBytes = 3;
    layout.paletteCount = fields.bits <= 8 ? 1 << fields.bits : 0;
    const std::int64_t room = (std::int64_t{file.bfOffBits} - layout.paletteOffset) / 3;
    if (file.bfOffBits != 0 && room >= 0 && room < layout.paletteCount) {
      layout.paletteCount = static_cast<std::int32_t>(room);
    }
  } else {
    TBitmapInfoHeader info{};
    info.biBitCount = static_cast<std::uint16_t>(fields.bits);
    info.biClrUsed = fields.coloursUsed;
    layout.paletteCount = PaletteCountOf(info);
  }
  const std::int64_t paletteEnd =
      layout.paletteOffset + std::int64_t{layout.paletteEntryBytes} * layout.paletteCount;
  if (paletteEnd > available) {
    InvalidBitmap("bad palette count: a colour table of " + Text(layout.paletteCount) +
                  " entries ends past the end of the file");
  }
  layout.pixelOffset = file.bfOffBits != 0 ? file.bfOffBits : paletteEnd;
  if (layout.pixelOffset < paletteEnd) {
    InvalidBitmap("bad offset: the rows at byte " + Text(layout.pixelOffset) +
                  " overlap the headers and colour table, which end at byte " + Text(paletteEnd));
  }
  if (layout.pixelOffset >= available) {
    InvalidBitmap("bad offset: the rows at byte " + Text(layout.pixelOffset) +
                  " start past the end of the file (" + Text(available) + " bytes)");
  }
}

// Stored rows must all be in the file; run-length data is checked while it is decoded.
void CheckRowsPresent(std::int64_t available, const TBitmapLayout& layout) {
  if (layout.pixels == TBitmapPixels::bpRunsOf8 || layout.pixels == TBitmapPixels::bpRunsOf4) {
    return;
  }
  const std::int64_t pixelEnd =
      layout.pixelOffset + (layout.height - 1) * layout.fileStride + layout.fileRowBytes;
  if (pixelEnd > available) {
    InvalidBitmap("truncated rows: " + Text(layout.height) + " rows need " + Text(pixelEnd) +
                  " bytes, the file holds " + Text(available));
  }
}

}  // namespace

void InvalidBitmap(const std::string& reason) {
  throw EReadError(kInvalidBitmap, reason);
}

void ReadBitmapBytes(TStream& stream, std::int64_t start, std::int64_t offset, void* buffer,
                     std::size_t count, const char* what) {
  stream.Seek(start + offset, soBeginning);
  if (stream.Read(buffer, count) != count) {
    InvalidBitmap(std::string("truncated file: the ") + what + " at byte " + Text(offset) +
                  " are cut short");
  }
}

TBitmapLayout ReadBitmapLayout(TStream& stream, std::int64_t start, std::int64_t available) {
  TBitmapFileHeader file{};
  std::uint8_t header[kLargestHeader] = {};
  stream.Seek(start, soBeginning);
  stream.Read(&file, sizeof file);
  if (file.bfType != 0x4D42) InvalidBitmap("no \"BM\" signature");
  if (available < kFileHeaderSize + 4) {
    InvalidBitmap("bad size: " + Text(available) + " bytes cannot hold the headers");
  }
  if (file.bfSize > available) {
    InvalidBitmap("bad size: the file header declares " + Text(file.bfSize) +
                  " bytes, the file holds " + Text(available));
  }
  ReadBitmapBytes(stream, start, kFileHeaderSize, header, 4, "info header");
  const std::uint32_t headerSize = U32At(header);
  if (kFileHeaderSize + std::int64_t{headerSize} > available) {
    InvalidBitmap("bad size: an info header of " + Text(headerSize) +
                  " bytes ends past the end of the file");
  }
  if (!IsSupportedHeaderSize(headerSize)) {
    throw EError("Bitmap header of " + Text(headerSize) + " bytes is not supported");
  }
  ReadBitmapBytes(stream, start, kFileHeaderSize, header, headerSize, "info header");
  const THeaderFields fields = FieldsOf(header, headerSize);
  RefuseExoticCompression(fields);

  TBitmapLayout layout;
  layout.xPelsPerMeter = fields.xPelsPerMeter;
  layout.yPelsPerMeter = fields.yPelsPerMeter;
  ChoosePixels(stream, start, header, fields, layout);
  ChooseGeometry(fields, layout);
  ChooseTableAndRows(file, fields, available, layout);
  CheckRowsPresent(available, layout);
  return layout;
}
