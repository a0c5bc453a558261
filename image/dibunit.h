// TDIB, the system's one raster image: a packed device-independent bitmap (info header,
// colour table, bottom-up rows) in one relocatable memory block, kept locked while the
// image exists, with row and pixel access and the whole-image operations built on it.
//
// Pixel formats (TDIBFormat): 1 = 1 bit (2 palette entries), 2 = 4 bits (16), 3 = 8 bits
// (256), 4 = 15 bits, 5 = 16 bits, 6 = 24 bits (stored blue, green, red). Image row y = 0 is
// the top row, although rows are stored bottom-up.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/memory_block.h"

class TStream;

// The fetch and store operations of one pixel format, bound once per set-up.
using TPixelReader = std::int32_t (*)(const std::uint8_t* row, std::int32_t x);
using TPixelWriter = void (*)(std::uint8_t* row, std::int32_t x, std::int32_t value);

using TDIBFormat = std::uint8_t;
enum : TDIBFormat { df1Bit = 1, df4Bit = 2, df8Bit = 3, df15Bit = 4, df16Bit = 5, df24Bit = 6 };

// TIFF compression choice of the TIFF writer.
using TTIFFCompression = std::uint8_t;
enum : TTIFFCompression {
  tcAuto = 0,
  tcNone,
  tcPackBits,
  tcCCITT3,
  tcCCITT3_2D,
  tcCCITT4,
  tcDeflate,
  tcJPEG,
  tcLZW
};

// The texts of the unit's string table.
inline constexpr const char* kNeeds1Bit = "This operation requires 1 bit per pixel bitmap !";
inline constexpr const char* kNeeds8Bit = "This operation requires 8 bit per pixel bitmap !";
inline constexpr const char* kNeeds24Bit = "This operation requires 24 bit per pixel bitmap !";
inline constexpr const char* kInvalidBitmap = "Invalid bitmap file !";
inline constexpr const char* kBitDepthNotAllowed = "Bit depht not allowed";
inline constexpr const char* kNoImageToSave = "There is no image to save";
inline constexpr const char* kImageTooLarge = "Image too large: its pixel data would exceed 1 GiB";

// The largest pixel area an image may have; readers refuse larger files before allocating.
inline constexpr std::int64_t kMaxPixelBytes = std::int64_t{1} << 30;

// a x b for sizes (both at least 0), saturated instead of overflowing: hostile files declare
// geometries whose byte counts exceed even 64 bits.
inline std::int64_t SaturatedProduct(std::int64_t a, std::int64_t b) {
  constexpr std::int64_t kLargest = std::int64_t{1} << 62;
  return a != 0 && b > kLargest / a ? kLargest : a * b;
}

#pragma pack(push, 1)
struct TBitmapFileHeader {
  std::uint16_t bfType;
  std::uint32_t bfSize;
  std::uint16_t bfReserved1;
  std::uint16_t bfReserved2;
  std::uint32_t bfOffBits;
};
struct TBitmapInfoHeader {
  std::uint32_t biSize;
  std::int32_t biWidth;
  std::int32_t biHeight;
  std::uint16_t biPlanes;
  std::uint16_t biBitCount;
  std::uint32_t biCompression;
  std::uint32_t biSizeImage;
  std::int32_t biXPelsPerMeter;
  std::int32_t biYPelsPerMeter;
  std::uint32_t biClrUsed;
  std::uint32_t biClrImportant;
};
#pragma pack(pop)
static_assert(sizeof(TBitmapFileHeader) == 14 && sizeof(TBitmapInfoHeader) == 40);

// A logical palette record: version 0x300, entry count, 256 entries of red, green, blue, flags.
struct TLogPalette {
  std::uint16_t palVersion = 0x300;
  std::uint16_t palNumEntries = 0;
  struct Entry {
    std::uint8_t red, green, blue, flags;
  };
  std::array<Entry, 256> palPalEntry{};
};

// Rectangle in image pixels, inclusive on all four sides.
struct TRect {
  std::int32_t Left, Top, Right, Bottom;
};

// Row geometry of a format: the results of ComputeLayout.
struct TDIBLayout {
  std::int32_t Stride;       // bytes per stored row, a multiple of 4 (valid within the limit)
  std::int32_t BytesPerRow;  // bytes of a stored row that hold pixels
  std::int64_t PixelBytes;   // height x the row stride, saturated; compare with kMaxPixelBytes
  std::int64_t Size;         // whole block: header, colour table and rows
};

// Colour-table entries a header describes: biClrUsed when it lies between 1 and 2 to the
// power of the bit count, else that power; none above 8 bits.
std::int32_t PaletteCountOf(const TBitmapInfoHeader& header);

class TDIB {
 public:
  TDIB();
  ~TDIB();
  TDIB(const TDIB&) = delete;
  TDIB& operator=(const TDIB&) = delete;

  // When true, Clear and destruction free the block; when false they leave it to its owner.
  bool OwnsHandle = true;

  // --- lifecycle and block -------------------------------------------------------------
  void Clear();
  void* Lock();
  void Unlock();
  void UnlockAll();
  // Replaces the image by a blank one; throws "Bit depht not allowed" for other codes.
  void Allocate(std::int32_t width, std::int32_t height, TDIBFormat format,
                std::int32_t xResolution, std::int32_t yResolution);
  // Derives header pointers, layout, format and pixel operations from the locked block.
  void ReadHeader();
  void BuildRowTable();
  // Layout of a geometry; false (and outputs untouched) for a code outside 1..6.
  static bool ComputeLayout(std::int32_t width, std::int32_t height, TDIBFormat format,
                            TDIBLayout& layout);

  // --- queries ---------------------------------------------------------------------------
  TMemoryHandle Handle() const { return handle_; }
  void* Block() const { return block_; }
  std::int32_t BlockSize() const { return blockSize_; }
  TDIBFormat Format() const { return format_; }
  std::int32_t LockCount() const { return lockCount_; }
  const TBitmapFileHeader& FileHeader() const { return fileHeader_; }
  TBitmapInfoHeader* InfoHeader() const { return infoHeader_; }
  std::uint8_t* Palette() const { return palette_; }
  std::uint8_t* Bits() const { return bits_; }
  std::int32_t PaletteCount() const { return paletteCount_; }
  std::int32_t Stride() const { return stride_; }
  std::int32_t BytesPerRow() const { return bytesPerRow_; }
  // Address of image row y (0 = top row); the algorithms work on rows directly.
  std::uint8_t* Row(std::int32_t y) const { return rows_[static_cast<std::size_t>(y)]; }
  std::uint8_t* const* Rows() const { return rows_.data(); }

  std::int32_t Width() const;
  std::int32_t Height() const;
  std::int32_t BitCount() const;
  std::int32_t XResolution() const;
  std::int32_t YResolution() const;

  // --- pixels and colour table -------------------------------------------------------------
  // Outside the image GetPixel answers 0 and SetPixel does nothing.
  std::int32_t GetPixel(std::int32_t x, std::int32_t y) const;
  void SetPixel(std::int32_t x, std::int32_t y, std::int32_t value);
  void Fill(std::uint8_t value);
  std::uint32_t GetPaletteEntry(std::int32_t index) const;
  void SetPaletteEntry(std::int32_t index, std::uint32_t value);
  void AssignLogPalette(const TLogPalette& palette);
  std::int32_t WhiteIndex() const;
  std::int32_t BlackIndex() const;
  bool HasStandardPalette() const;
  void Invert();
  std::unique_ptr<TDIB> Duplicate() const;

  // --- conversions -----------------------------------------------------------------------
  void ConvertTo(TDIBFormat format);
  // An 8-bit image made 1-bit in one pass: a pixel is set when (value > level ? high : low) is
  // not 0, as mapping the values and then ConvertTo(df1Bit) would set it.
  void ConvertAboveLevelTo1Bit(std::uint8_t level, std::uint8_t low, std::uint8_t high);
  void RGBToGray(bool weighted, bool red, bool green, bool blue);

  // --- file reading --------------------------------------------------------------------
  void LoadFromFile(const std::string& fileName, std::int32_t page);
  void LoadFromStream(TStream& stream, std::int32_t page);
  static bool IsBMPStream(TStream& stream);
  static bool IsTIFFStream(TStream& stream);
  static bool IsPNGStream(TStream& stream);
  void LoadBMPFromStream(TStream& stream);
  void LoadTIFFFromStream(TStream& stream, std::int32_t page);
  void LoadPNGFromStream(TStream& stream);
  void LoadJPEGFromStream(TStream& stream);

  // --- file writing ----------------------------------------------------------------------
  void SaveTIFFToFile(const std::string& fileName, bool append, TTIFFCompression compression,
                      std::int32_t rowsPerStrip);
  void SaveTIFFToStream(TStream& stream, bool append, TTIFFCompression compression,
                        std::int32_t rowsPerStrip);
  void SaveBMPToFile(const std::string& fileName);
  void SaveBMPToStream(TStream& stream);
  void SavePNGToFile(const std::string& fileName);
  void SavePNGToStream(TStream& stream);

  // --- block exchange and region copy -------------------------------------------------
  void AssignHandle(TMemoryHandle handle);
  TMemoryHandle GetHandle() const;
  void Crop(const TRect& rect);
  void ResizeCanvas(std::int32_t newWidth, std::int32_t newHeight, std::uint8_t fill);
  void ShiftLine(std::int32_t row, std::int32_t count);
  void ShiftHorizontal(std::int32_t count);
  void ShiftVertical(std::int32_t count);
  void Paste(const TDIB& source, std::int32_t x, std::int32_t y);

 private:
  // Resizes the block in place to the layout of a new geometry and format: releases every
  // lock, resizes (new bytes zero), locks once, zeroes FileHeader, patches the header and
  // rebuilds the derived fields. Rows are not moved; the caller repacks them.
  void ResizeBlock(std::int32_t width, std::int32_t height, std::int32_t bitCount,
                   std::int32_t paletteCount);

  // Converts every row into a new layout of newBitCount bits and newPaletteCount colour-table
  // entries, inside the block, ordering the row moves so that no row is overwritten before it
  // was read. convert(source row, zeroed destination row, width) writes one row's pixels; the
  // new colour table is left to the caller.
  using TRowConvert = void (*)(const std::uint8_t* source, std::uint8_t* destination,
                               std::int32_t width, const void* context);
  void Repack(std::int32_t newBitCount, std::int32_t newPaletteCount, TRowConvert convert,
              const void* context);
  // Releases every lock, resizes the block (content kept, growth zero) and locks it once.
  void ReallocBlock(std::int64_t size);
  void BindPixelOperations();
  void ConvertStep(TDIBFormat target);
  // Adopts a block of blockSize bytes: locks it once, reads its header, builds the row table.
  void AdoptBlock(TMemoryHandle handle, std::int32_t blockSize);

  std::vector<std::uint8_t*> rows_;
  TMemoryHandle handle_ = 0;
  void* block_ = nullptr;
  std::int32_t blockSize_ = 0;
  TDIBFormat format_ = df8Bit;
  std::int32_t lockCount_ = 0;
  TBitmapFileHeader fileHeader_{};
  TBitmapInfoHeader* infoHeader_ = nullptr;
  std::uint8_t* palette_ = nullptr;
  std::uint8_t* bits_ = nullptr;
  std::int32_t paletteCount_ = 0;
  std::int32_t stride_ = 0;
  std::int32_t bytesPerRow_ = 0;
  TPixelWriter pixelWriter_ = nullptr;
  TPixelReader pixelReader_ = nullptr;
};
