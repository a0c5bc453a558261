// TDIB: set-up, layout, header reading, row table, pixel access and the whole-image
// operations on the colour table and pixels.
#include <cstring>

#include "image/dib_pixels.h"
#include "image/dibunit.h"
#include "image/rounding.h"
#include "platform/errors.h"

namespace {

constexpr std::int32_t kInfoHeaderSize = 40;
constexpr double kInchesPerMetre = 39.37;

std::int32_t BitsOfFormat(TDIBFormat format) {
  switch (format) {
    case df1Bit:
      return 1;
    case df4Bit:
      return 4;
    case df8Bit:
      return 8;
    case df15Bit:
    case df16Bit:
      return 16;
    case df24Bit:
      return 24;
    default:
      return 0;
  }
}

// Rows of 15-bit pixels hold 16-bit words, so their stride is that of 16 bits.
std::int64_t StrideOf(std::int64_t width, std::int32_t bitCount) {
  std::int32_t bits = bitCount == 15 ? 16 : bitCount;
  return (width * bits + 31) / 32 * 4;
}

TDIBFormat FormatOfBitCount(std::int32_t bitCount) {
  switch (bitCount) {
    case 1:
      return df1Bit;
    case 4:
      return df4Bit;
    case 8:
      return df8Bit;
    case 15:
      return df15Bit;
    case 16:
      return df16Bit;
    case 24:
      return df24Bit;
    default:
      return 0;
  }
}

bool IsGray(std::uint32_t entry, std::uint32_t level) {
  return (entry & 0xFFFFFF) == level * 0x010101u;
}

// The info header and standard colour table of a new image: two entries black and white,
// 16 or 256 entries an even gray ramp.
void WriteBlankHeader(std::uint8_t* block, std::int32_t width, std::int32_t height,
                      std::int32_t bits, std::int32_t entries, std::int32_t stride,
                      std::int32_t xResolution, std::int32_t yResolution) {
  *reinterpret_cast<TBitmapInfoHeader*>(block) =
      TBitmapInfoHeader{static_cast<std::uint32_t>(kInfoHeaderSize),
                        width,
                        height,
                        1,
                        static_cast<std::uint16_t>(bits),
                        0,
                        static_cast<std::uint32_t>(std::int64_t{height} * stride),
                        RoundHalfEven(xResolution * kInchesPerMetre),
                        RoundHalfEven(yResolution * kInchesPerMetre),
                        static_cast<std::uint32_t>(entries),
                        static_cast<std::uint32_t>(entries)};
  std::uint8_t* table = block + kInfoHeaderSize;
  for (std::int32_t i = 0; i < entries; ++i) {
    std::uint8_t gray = entries == 2
                            ? static_cast<std::uint8_t>(i * 255)
                            : static_cast<std::uint8_t>(RoundHalfEven(256.0 / entries * i));
    table[4 * i] = table[4 * i + 1] = table[4 * i + 2] = gray;
  }
}

}  // namespace

std::int32_t PaletteCountOf(const TBitmapInfoHeader& header) {
  if (header.biBitCount > 8) return 0;
  std::uint32_t full = 1u << header.biBitCount;
  return header.biClrUsed >= 1 && header.biClrUsed <= full
             ? static_cast<std::int32_t>(header.biClrUsed)
             : static_cast<std::int32_t>(full);
}

TDIB::TDIB() = default;

TDIB::~TDIB() {
  Clear();
}

void TDIB::Clear() {
  rows_.clear();
  rows_.shrink_to_fit();
  UnlockAll();
  if (handle_ != 0 && OwnsHandle) BlockFree(handle_);
  handle_ = 0;
  block_ = nullptr;
  blockSize_ = 0;
  infoHeader_ = nullptr;
  palette_ = nullptr;
  bits_ = nullptr;
  paletteCount_ = 0;
  stride_ = 0;
  bytesPerRow_ = 0;
  format_ = df8Bit;
  fileHeader_ = {};
}

void* TDIB::Lock() {
  if (lockCount_ == 0) block_ = BlockLock(handle_);
  ++lockCount_;
  return block_;
}

void TDIB::Unlock() {
  if (lockCount_ == 0) return;
  --lockCount_;
  if (lockCount_ == 0) {
    BlockUnlock(handle_);
    block_ = nullptr;
  }
}

void TDIB::UnlockAll() {
  if (handle_ == 0) return;
  while (lockCount_ > 0) Unlock();
}

bool TDIB::ComputeLayout(std::int32_t width, std::int32_t height, TDIBFormat format,
                         TDIBLayout& layout) {
  std::int32_t bits = BitsOfFormat(format);
  if (bits == 0) return false;
  std::int64_t stride = StrideOf(width, bits);
  std::int64_t entries = bits <= 8 ? (std::int64_t{1} << bits) : 0;
  layout.Stride = static_cast<std::int32_t>(stride);
  layout.BytesPerRow = static_cast<std::int32_t>((std::int64_t{width} * bits + 7) / 8);
  layout.PixelBytes = SaturatedProduct(height, stride);
  layout.Size = kInfoHeaderSize + 4 * entries + layout.PixelBytes;
  return true;
}

void TDIB::Allocate(std::int32_t width, std::int32_t height, TDIBFormat format,
                    std::int32_t xResolution, std::int32_t yResolution) {
  Clear();
  TDIBLayout layout{};
  if (!ComputeLayout(width, height, format, layout)) throw EError(kBitDepthNotAllowed);
  if (width < 0 || height < 0) throw EError("Invalid image dimensions");
  std::int32_t bits = BitsOfFormat(format);
  // The stride on its own too: a row longer than the limit does not fit the layout's 32 bits.
  if (layout.PixelBytes > kMaxPixelBytes || StrideOf(width, bits) > kMaxPixelBytes) {
    throw EError(kImageTooLarge);
  }
  std::int32_t entries = bits <= 8 ? 1 << bits : 0;

  TBlockOwner owner(BlockAlloc(static_cast<std::size_t>(layout.Size)));
  {
    TBlockLock lock(owner.Get());
    WriteBlankHeader(lock.Address(), width, height, bits, entries, layout.Stride, xResolution,
                     yResolution);
  }
  handle_ = owner.Release();
  blockSize_ = static_cast<std::int32_t>(layout.Size);
  Lock();
  fileHeader_.bfType = 0x4D42;
  fileHeader_.bfSize = static_cast<std::uint32_t>(blockSize_);
  fileHeader_.bfOffBits = static_cast<std::uint32_t>(54 + 4 * entries);
  ReadHeader();
  // A 15-bit image is allocated with 16 in its header but keeps its own format code.
  format_ = format;
  BuildRowTable();
}

void TDIB::AdoptBlock(TMemoryHandle handle, std::int32_t blockSize) {
  handle_ = handle;
  blockSize_ = blockSize;
  Lock();
  try {
    ReadHeader();
  } catch (...) {
    Clear();
    throw;
  }
  BuildRowTable();
}

// Refuses every header that cannot be described safely inside the block: unknown bit
// counts, top-down or compressed rows, and rows that would reach past the block's end.
void TDIB::ReadHeader() {
  auto* base = static_cast<std::uint8_t*>(block_);
  if (base == nullptr || blockSize_ < kInfoHeaderSize) throw EError(kInvalidBitmap);
  auto* header = reinterpret_cast<TBitmapInfoHeader*>(base);
  TDIBFormat format = FormatOfBitCount(header->biBitCount);
  if (format == 0) throw EError(kBitDepthNotAllowed);
  if (header->biWidth < 0 || header->biHeight < 0 || header->biCompression != 0) {
    throw EError(kInvalidBitmap);
  }
  std::int32_t paletteCount = PaletteCountOf(*header);
  std::int64_t bitsOffset = kInfoHeaderSize + 4 * std::int64_t{paletteCount};
  if (fileHeader_.bfOffBits != 0) bitsOffset = std::int64_t{fileHeader_.bfOffBits} - 14;
  const std::int64_t stride = StrideOf(header->biWidth, header->biBitCount);
  const std::int64_t pixelBytes = SaturatedProduct(stride, header->biHeight);
  if (bitsOffset < kInfoHeaderSize + 4 * std::int64_t{paletteCount} || stride > kMaxPixelBytes ||
      pixelBytes > kMaxPixelBytes || bitsOffset + pixelBytes > blockSize_) {
    throw EError(kInvalidBitmap);
  }
  infoHeader_ = header;
  paletteCount_ = paletteCount;
  palette_ = base + kInfoHeaderSize;
  bits_ = base + bitsOffset;
  stride_ = static_cast<std::int32_t>(stride);
  bytesPerRow_ =
      static_cast<std::int32_t>((std::int64_t{header->biWidth} * header->biBitCount + 7) / 8);
  if (header->biBitCount == 15) bytesPerRow_ = 2 * header->biWidth;
  // Allocate writes 16 into the header of a 15-bit image: re-reading that header (after a
  // copy or a resize) keeps the image's own code, so its 5-5-5 words stay 5-5-5.
  if (format != df16Bit || format_ != df15Bit) format_ = format;
  BindPixelOperations();
}

void TDIB::BuildRowTable() {
  std::int32_t height = Height();
  rows_.assign(static_cast<std::size_t>(height), nullptr);
  for (std::int32_t y = 0; y < height; ++y) {
    rows_[static_cast<std::size_t>(y)] =
        bits_ + static_cast<std::ptrdiff_t>(height - 1 - y) * stride_;
  }
}

void TDIB::BindPixelOperations() {
  TPixelOperations operations = PixelOperationsOf(format_);
  pixelReader_ = operations.reader;
  pixelWriter_ = operations.writer;
}

std::int32_t TDIB::Width() const {
  return infoHeader_ ? infoHeader_->biWidth : 0;
}
std::int32_t TDIB::Height() const {
  return infoHeader_ ? infoHeader_->biHeight : 0;
}
std::int32_t TDIB::BitCount() const {
  return infoHeader_ ? infoHeader_->biBitCount : 0;
}

std::int32_t TDIB::XResolution() const {
  return infoHeader_ ? RoundHalfEven(infoHeader_->biXPelsPerMeter / kInchesPerMetre) : 0;
}

std::int32_t TDIB::YResolution() const {
  return infoHeader_ ? RoundHalfEven(infoHeader_->biYPelsPerMeter / kInchesPerMetre) : 0;
}

std::int32_t TDIB::GetPixel(std::int32_t x, std::int32_t y) const {
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) return 0;
  return pixelReader_(Row(y), x);
}

void TDIB::SetPixel(std::int32_t x, std::int32_t y, std::int32_t value) {
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) return;
  pixelWriter_(Row(y), x, value);
}

void TDIB::Fill(std::uint8_t value) {
  if (bits_ != nullptr) std::memset(bits_, value, static_cast<std::size_t>(Height()) * stride_);
}

std::uint32_t TDIB::GetPaletteEntry(std::int32_t index) const {
  if (index < 0 || index >= paletteCount_) return 0;
  std::uint32_t value;
  std::memcpy(&value, palette_ + 4 * index, 4);
  return value;
}

void TDIB::SetPaletteEntry(std::int32_t index, std::uint32_t value) {
  if (index < 0 || index >= paletteCount_) return;
  std::memcpy(palette_ + 4 * index, &value, 4);
}

void TDIB::AssignLogPalette(const TLogPalette& palette) {
  std::int32_t count = std::min<std::int32_t>(palette.palNumEntries, paletteCount_);
  for (std::int32_t i = 0; i < count; ++i) {
    const TLogPalette::Entry& entry = palette.palPalEntry[static_cast<std::size_t>(i)];
    SetPaletteEntry(i, entry.blue | entry.green << 8 | entry.red << 16);
  }
}

std::int32_t TDIB::WhiteIndex() const {
  for (std::int32_t i = 0; i < paletteCount_; ++i) {
    if (IsGray(GetPaletteEntry(i), 255)) return i;
  }
  switch (BitCount()) {
    case 8:
      return 255;
    case 24:
      return 0xFFFFFF;
    default:
      return 0;
  }
}

std::int32_t TDIB::BlackIndex() const {
  for (std::int32_t i = 0; i < paletteCount_; ++i) {
    if (IsGray(GetPaletteEntry(i), 0)) return i;
  }
  std::int32_t bitCount = BitCount();
  return bitCount == 8 || bitCount == 24 ? 0 : 1;
}

bool TDIB::HasStandardPalette() const {
  if (format_ == df1Bit) {
    return paletteCount_ == 2 && IsGray(GetPaletteEntry(0), 255) && IsGray(GetPaletteEntry(1), 0);
  }
  if (format_ == df8Bit) {
    if (paletteCount_ != 256) return false;
    for (std::int32_t i = 0; i < 256; ++i) {
      if (!IsGray(GetPaletteEntry(i), static_cast<std::uint32_t>(i))) return false;
    }
  }
  return true;
}

void TDIB::Invert() {
  for (std::int32_t y = 0; y < Height(); ++y) {
    std::uint8_t* row = Row(y);
    for (std::int32_t i = 0; i < bytesPerRow_; ++i) row[i] = static_cast<std::uint8_t>(~row[i]);
  }
}

std::unique_ptr<TDIB> TDIB::Duplicate() const {
  auto copy = std::make_unique<TDIB>();
  copy->Allocate(Width(), Height(), format_, XResolution(), YResolution());
  if (copy->BlockSize() != blockSize_) throw EError("DIB Duplicate error !");
  std::memcpy(copy->Block(), block_, static_cast<std::size_t>(blockSize_));
  copy->ReadHeader();
  copy->BuildRowTable();
  return copy;
}
