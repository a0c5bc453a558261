// Seeds for the bitmap target beyond what the system's writer makes: the same small images
// run-length coded (8 and 4 bits, with every kind of code: runs, literals, deltas, end of
// line), with the OS/2 headers, and as 16- and 32-bit words with colour masks, so that the
// fuzzer starts inside the run-length decoder and the mask widening.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "image/dibunit.h"

namespace seeds {

using TBytes = std::vector<std::uint8_t>;

inline void Put32(TBytes& bytes, std::size_t offset, std::uint32_t value) {
  std::memcpy(bytes.data() + offset, &value, 4);
}

inline void Append32(TBytes& bytes, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> 8 * i));
}

// A 40-byte-header file of the image's geometry with `bits`, `compression`, the bytes that
// follow the header (masks, colour table) and the pixel data.
inline TBytes Bitmap(const TDIB& image, std::uint16_t bits, std::uint32_t compression,
                     const TBytes& extra, const TBytes& pixels) {
  TBytes file(54, 0);
  file[0] = 'B';
  file[1] = 'M';
  Put32(file, 10, static_cast<std::uint32_t>(54 + extra.size()));
  Put32(file, 14, 40);
  Put32(file, 18, static_cast<std::uint32_t>(image.Width()));
  Put32(file, 22, static_cast<std::uint32_t>(image.Height()));
  file[26] = 1;
  file[28] = static_cast<std::uint8_t>(bits);
  Put32(file, 30, compression);
  file.insert(file.end(), extra.begin(), extra.end());
  file.insert(file.end(), pixels.begin(), pixels.end());
  Put32(file, 2, static_cast<std::uint32_t>(file.size()));
  return file;
}

inline TBytes Table(const TDIB& image) {
  TBytes table;
  for (std::int32_t i = 0; i < image.PaletteCount(); ++i) Append32(table, image.GetPaletteEntry(i));
  return table;
}

// Runs of equal indices, a literal stretch where they change often, a delta over the first
// pixel of every third row, end of line after each row and end of bitmap at the end.
inline TBytes Runs(const TDIB& image, bool four) {
  TBytes codes;
  for (std::int32_t row = 0; row < image.Height(); ++row) {
    const std::int32_t y = image.Height() - 1 - row;
    std::int32_t x = 0;
    if (row % 3 == 2 && image.Width() > 1) {
      codes.insert(codes.end(), {0, 2, 1, 0});
      x = 1;
    }
    while (x < image.Width()) {
      const std::int32_t value = image.GetPixel(x, y);
      std::int32_t n = 1;
      while (x + n < image.Width() && n < 255 && image.GetPixel(x + n, y) == value) ++n;
      if (n == 1 && x + 4 <= image.Width()) {
        codes.insert(codes.end(), {0, 4});
        for (int i = 0; i < 4; i += four ? 2 : 1) {
          const std::int32_t next = four ? image.GetPixel(x + i + 1, y) : 0;
          codes.push_back(static_cast<std::uint8_t>(four ? image.GetPixel(x + i, y) << 4 | next
                                                         : image.GetPixel(x + i, y)));
        }
        x += 4;
        continue;
      }
      codes.push_back(static_cast<std::uint8_t>(n));
      codes.push_back(static_cast<std::uint8_t>(four ? value << 4 | value : value));
      x += n;
    }
    codes.insert(codes.end(), {0, 0});
  }
  codes.insert(codes.end(), {0, 1});
  return codes;
}

// The plain file with the 12-byte header of OS/2 1.x and its 3-byte colour table.
inline TBytes OldHeader(const TDIB& image, const TBytes& plain) {
  TBytes file(26, 0);
  std::memcpy(file.data(), plain.data(), 14);
  Put32(file, 14, 12);
  file[18] = static_cast<std::uint8_t>(image.Width());
  file[19] = static_cast<std::uint8_t>(image.Width() >> 8);
  file[20] = static_cast<std::uint8_t>(image.Height());
  file[21] = static_cast<std::uint8_t>(image.Height() >> 8);
  file[22] = 1;
  file[24] = static_cast<std::uint8_t>(image.BitCount());
  for (std::int32_t i = 0; i < image.PaletteCount(); ++i) {
    const std::uint32_t entry = image.GetPaletteEntry(i);
    for (int b = 0; b < 3; ++b) file.push_back(static_cast<std::uint8_t>(entry >> 8 * b));
  }
  Put32(file, 10, static_cast<std::uint32_t>(file.size()));
  const std::size_t rows = 14 + 40 + 4 * static_cast<std::size_t>(image.PaletteCount());
  file.insert(file.end(), plain.begin() + static_cast<std::ptrdiff_t>(rows), plain.end());
  Put32(file, 2, static_cast<std::uint32_t>(file.size()));
  return file;
}

// 5-6-5 words for a 16-bit image's 5-5-5 ones; 10-10-10 words for a 24-bit image's bytes.
inline TBytes MaskedWords(const TDIB& image, bool wide) {
  TBytes pixels;
  for (std::int32_t row = 0; row < image.Height(); ++row) {
    const std::int32_t y = image.Height() - 1 - row;
    for (std::int32_t x = 0; x < image.Width(); ++x) {
      const auto v = static_cast<std::uint32_t>(image.GetPixel(x, y));
      if (wide) {
        Append32(pixels, (v & 0xFF) << 22 | (v >> 8 & 0xFF) << 12 | (v >> 16 & 0xFF) << 2);
      } else {
        const std::uint32_t word = (v >> 10 & 31) << 11 | (v >> 5 & 31) << 6 | (v & 31);
        pixels.push_back(static_cast<std::uint8_t>(word));
        pixels.push_back(static_cast<std::uint8_t>(word >> 8));
      }
    }
    while (pixels.size() % 4 != 0) pixels.push_back(0);
  }
  return pixels;
}

// The variants of one image that has them; plain is the system's own bitmap file of it.
inline std::vector<std::pair<std::string, TBytes>> BitmapVariants(const TDIB& image,
                                                                  const TBytes& plain) {
  std::vector<std::pair<std::string, TBytes>> variants;
  const TDIBFormat format = image.Format();
  if (format == df8Bit)
    variants.push_back({"rle8", Bitmap(image, 8, 1, Table(image), Runs(image, false))});
  if (format == df4Bit)
    variants.push_back({"rle4", Bitmap(image, 4, 2, Table(image), Runs(image, true))});
  if (format != df15Bit && format != df16Bit) {
    variants.push_back({"os2", OldHeader(image, plain)});
  }
  if (format == df16Bit) {
    TBytes masks;
    for (std::uint32_t mask : {0xF800u, 0x07E0u, 0x001Fu}) Append32(masks, mask);
    variants.push_back({"565", Bitmap(image, 16, 3, masks, MaskedWords(image, false))});
  }
  if (format == df24Bit) {
    TBytes masks;
    for (std::uint32_t mask : {0x3FF00000u, 0x000FFC00u, 0x000003FFu}) Append32(masks, mask);
    variants.push_back({"101010", Bitmap(image, 32, 3, masks, MaskedWords(image, true))});
  }
  return variants;
}

}  // namespace seeds
