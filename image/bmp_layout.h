// What the headers of a bitmap file say about its pixels, read and checked by
// ReadBitmapLayout (bmp_headers.cpp) and used by the reader (bmp_reader.cpp) and the
// run-length decoder (bmp_rle.cpp). Every refusal of an unreadable file is "Invalid bitmap
// file !" with its reason beside it; variants the reader does not take have messages of
// their own.
#pragma once

#include <cstdint>
#include <string>

#include "image/dibunit.h"
#include "image/stream.h"

// [[noreturn]] "Invalid bitmap file !" with the reason beside it.
[[noreturn]] void InvalidBitmap(const std::string& reason);

// How the pixels are stored in the file.
enum class TBitmapPixels {
  bpRows,     // rows of 1, 4, 8, 16 (5-5-5), 24 or 32 (8-8-8) bits as the image keeps them
  bpMasks,    // 16- or 32-bit words with colour masks, widened to 24 bits
  bpRunsOf8,  // run-length coded 8-bit indices
  bpRunsOf4,  // run-length coded 4-bit indices
};

// One colour channel of a masked pixel word: mask >> shift gives a value of `bits` bits.
struct TChannelMask {
  std::uint32_t mask = 0;
  std::int32_t shift = 0;
  std::int32_t bits = 0;
};

struct TBitmapLayout {
  std::int32_t width = 0;
  std::int32_t height = 0;    // always positive
  bool topDown = false;       // rows stored top row first
  std::int32_t fileBits = 0;  // bits per pixel in the file
  TBitmapPixels pixels = TBitmapPixels::bpRows;
  TChannelMask red, green, blue;  // for bpMasks
  std::int32_t xPelsPerMeter = 0;
  std::int32_t yPelsPerMeter = 0;
  std::int64_t paletteOffset = 0;      // from the start of the file header
  std::int32_t paletteCount = 0;       // entries stored in the file
  std::int32_t paletteEntryBytes = 4;  // 3 in the old 12-byte header's table
  std::int64_t pixelOffset = 0;
  std::int64_t fileStride = 0;    // for stored rows
  std::int64_t fileRowBytes = 0;  // bytes of a stored row that hold pixels
  TDIBFormat format = 0;          // of the image made
  std::int32_t bitCount = 0;      // biBitCount of the image made
};

// Reads and checks the headers of the bitmap file that starts at `start`; available is the
// number of bytes from there to the end of the stream.
TBitmapLayout ReadBitmapLayout(TStream& stream, std::int64_t start, std::int64_t available);

// Reads exactly count bytes at offset from the start of the file, or refuses the file as
// cut short (`what` names the part that is missing).
void ReadBitmapBytes(TStream& stream, std::int64_t start, std::int64_t offset, void* buffer,
                     std::size_t count, const char* what);
