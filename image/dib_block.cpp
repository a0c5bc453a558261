// Resizing an image's block in place: the block keeps its handle, rows are repacked inside it.
#include <algorithm>
#include <cstring>
#include <vector>

#include "image/dibunit.h"
#include "platform/errors.h"

namespace {

constexpr std::int64_t kInfoHeaderSize = 40;

std::int64_t StrideOfBits(std::int64_t width, std::int32_t bitCount) {
  return (width * (bitCount == 15 ? 16 : bitCount) + 31) / 32 * 4;
}

}  // namespace

void TDIB::ReallocBlock(std::int64_t size) {
  if (size > INT32_MAX) throw EError(kImageTooLarge);
  UnlockAll();
  BlockReAlloc(handle_, static_cast<std::size_t>(size));
  blockSize_ = static_cast<std::int32_t>(size);
  Lock();
}

void TDIB::ResizeBlock(std::int32_t width, std::int32_t height, std::int32_t bitCount,
                       std::int32_t paletteCount) {
  std::int64_t stride = StrideOfBits(width, bitCount);
  if (stride > kMaxPixelBytes || stride * height > kMaxPixelBytes) throw EError(kImageTooLarge);
  ReallocBlock(kInfoHeaderSize + 4 * std::int64_t{paletteCount} + stride * height);
  fileHeader_ = {};
  auto* header = static_cast<TBitmapInfoHeader*>(block_);
  header->biWidth = width;
  header->biHeight = height;
  header->biBitCount = static_cast<std::uint16_t>(bitCount);
  header->biSizeImage = static_cast<std::uint32_t>(stride * height);
  header->biClrUsed = static_cast<std::uint32_t>(paletteCount);
  header->biClrImportant = static_cast<std::uint32_t>(paletteCount);
  ReadHeader();
  BuildRowTable();
}

void TDIB::Repack(std::int32_t newBitCount, std::int32_t newPaletteCount, TRowConvert convert,
                  const void* context) {
  const std::int32_t width = Width();
  const std::int32_t height = Height();
  const std::int64_t oldOffset = bits_ - static_cast<std::uint8_t*>(block_);
  const std::int64_t oldStride = stride_;
  const std::int64_t newOffset = kInfoHeaderSize + 4 * std::int64_t{newPaletteCount};
  const std::int64_t newStride = StrideOfBits(width, newBitCount);
  const std::int64_t newSize = newOffset + newStride * height;
  if (newStride * height > kMaxPixelBytes) throw EError(kImageTooLarge);
  std::vector<std::uint8_t> source(static_cast<std::size_t>(oldStride));

  if (newSize > blockSize_) ReallocBlock(newSize);
  auto* base = static_cast<std::uint8_t*>(block_);
  // A row whose new place overlaps its old one is converted from a copy.
  auto convertRow = [&](const std::uint8_t* from, std::uint8_t* to) {
    if (to < from + oldStride && from < to + newStride) {
      std::memcpy(source.data(), from, source.size());
      from = source.data();
    }
    std::memset(to, 0, static_cast<std::size_t>(newStride));
    convert(from, to, width, context);
  };
  if (newStride <= oldStride && newOffset + newStride <= oldOffset) {
    // Rows shrink into the room the smaller colour table leaves: each lands wholly before its
    // old place, straight where it ends up.
    for (std::int64_t s = 0; s < height; ++s) {
      convertRow(base + oldOffset + s * oldStride, base + newOffset + s * newStride);
    }
  } else if (newStride <= oldStride) {
    // Rows shrink: each lands at or before its old place, so walk forwards, then close up.
    for (std::int64_t s = 0; s < height; ++s) {
      convertRow(base + oldOffset + s * oldStride, base + oldOffset + s * newStride);
    }
    std::memmove(base + newOffset, base + oldOffset, static_cast<std::size_t>(newStride * height));
  } else {
    // Rows grow: move the pixel area to its new start, then widen from the last row back.
    std::memmove(base + newOffset, base + oldOffset, static_cast<std::size_t>(oldStride * height));
    for (std::int64_t s = height - 1; s >= 0; --s) {
      convertRow(base + newOffset + s * oldStride, base + newOffset + s * newStride);
    }
  }

  auto* header = static_cast<TBitmapInfoHeader*>(block_);
  header->biBitCount = static_cast<std::uint16_t>(newBitCount);
  header->biClrUsed = static_cast<std::uint32_t>(newPaletteCount);
  header->biClrImportant = static_cast<std::uint32_t>(newPaletteCount);
  header->biSizeImage = static_cast<std::uint32_t>(newStride * height);
  fileHeader_ = {};
  if (newSize < blockSize_) ReallocBlock(newSize);
  ReadHeader();
  BuildRowTable();
}
