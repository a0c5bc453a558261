// The PNG reader over libpng. Formats by colour type and bit depth: gray and palette at
// depth 1 give 1 bit; at depth 2 or 4 give 4 bits (2-bit samples widened to 4-bit pixels of
// the same value); gray, gray with alpha and palette at depth 8 or 16 give 8 bits; truecolour
// with or without alpha gives 24 bits. Alpha is dropped, 16-bit samples keep their high byte,
// gray images get an even ramp of 2^depth levels, and pHYs gives the resolution.
#include <csetjmp>
#include <cstring>
#include <vector>

#include "image/dibunit.h"
#include "image/png_codec.h"
#include "image/rounding.h"
#include "platform/errors.h"

namespace {

// What the header says, in plain values that survive a longjmp.
struct TPngHeader {
  png_uint_32 width;
  png_uint_32 height;
  int colourType;
  int depth;
  png_size_t rowBytes;  // of a decoded row, after the transforms
  bool hasPhys;
  png_uint_32 physX, physY;
  int paletteCount;
  png_color palette[256];
};

// The reader uses IHDR, PLTE, IDAT, IEND and pHYs. Every other chunk is skipped unread, as a
// stream of bytes: no text, profile or scale chunk can make libpng allocate or inflate what
// it declares (a 500-byte file may declare gigabytes). What is still read is bounded.
void SkipUnusedChunks(png_structp png) {
  static constexpr png_byte kPhys[] = "pHYs";
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);  // known ancillary
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);   // and unknown ones
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_AS_DEFAULT, kPhys, 1);
  png_set_chunk_cache_max(png, 16);
  png_set_chunk_malloc_max(png, png_alloc_size_t{1} << 20);
}

// Reads the chunks up to the image data and sets the transforms. Returns false when libpng
// failed; nothing in this frame needs destruction, so the longjmp may leave it.
bool ReadPngHeader(png_structp png, png_infop info, TPngHeader* header) {
  if (setjmp(png_jmpbuf(png))) return false;
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
  // Mutated files rarely keep a valid CRC; fuzzing looks past the checksums at the decoder.
  png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
#endif
  SkipUnusedChunks(png);
  png_read_info(png, info);
  header->width = png_get_image_width(png, info);
  header->height = png_get_image_height(png, info);
  header->colourType = png_get_color_type(png, info);
  header->depth = png_get_bit_depth(png, info);
  if (header->depth == 16) png_set_strip_16(png);
  if (header->colourType & PNG_COLOR_MASK_ALPHA) png_set_strip_alpha(png);
  if (header->colourType & PNG_COLOR_MASK_COLOR && header->colourType != PNG_COLOR_TYPE_PALETTE) {
    png_set_bgr(png);
  }
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  header->rowBytes = png_get_rowbytes(png, info);
  int unit = 0;
  header->hasPhys = png_get_pHYs(png, info, &header->physX, &header->physY, &unit) != 0;
  png_colorp palette = nullptr;
  int count = 0;
  if (png_get_PLTE(png, info, &palette, &count) != 0 && count > 0) {
    header->paletteCount = count < 256 ? count : 256;
    std::memcpy(header->palette, palette, sizeof(png_color) * header->paletteCount);
  }
  return true;
}

// Decodes every row, all interlace passes, into rows. Returns false when libpng failed.
bool ReadPngRows(png_structp png, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_image(png, rows);
  return true;
}

TDIBFormat FormatOf(const TPngHeader& header) {
  if (header.colourType & PNG_COLOR_MASK_COLOR && header.colourType != PNG_COLOR_TYPE_PALETTE) {
    return df24Bit;
  }
  switch (header.depth) {
    case 1:
      return df1Bit;
    case 2:
    case 4:
      return df4Bit;
    default:
      return df8Bit;
  }
}

std::int32_t DotsPerInch(png_uint_32 pixelsPerUnit) {
  return RoundHalfEven(pixelsPerUnit * 0.0254);
}

// Gray images below 8 bits: entry i of 2^depth levels is i * 255 / (2^depth - 1).
void InstallGrayRamp(TDIB& image, int depth) {
  std::uint32_t top = (1u << depth) - 1;
  for (std::uint32_t i = 0; i <= top; ++i) {
    image.SetPaletteEntry(static_cast<std::int32_t>(i), i * 255 / top * 0x010101u);
  }
}

void InstallPalette(TDIB& image, const TPngHeader& header) {
  for (int i = 0; i < header.paletteCount; ++i) {
    const png_color& colour = header.palette[i];
    image.SetPaletteEntry(i, colour.blue | colour.green << 8 | colour.red << 16);
  }
}

// 2-bit samples, four to a byte, become 4-bit pixels of the same value, two to a byte.
void WidenTwoBitRow(const std::uint8_t* from, std::uint8_t* to, std::int32_t width) {
  for (std::int32_t x = 0; x < width; x += 2) {
    std::uint8_t packed = from[x / 4];
    int shift = 6 - 2 * (x % 4);
    std::uint8_t high = (packed >> shift) & 3;
    std::uint8_t low = x + 1 < width ? (packed >> (shift - 2)) & 3 : 0;
    to[x / 2] = static_cast<std::uint8_t>(high << 4 | low);
  }
}

}  // namespace

void TDIB::LoadPNGFromStream(TStream& stream) {
  Clear();
  TPngSession session(stream, TPngSession::pdRead);
  TPngHeader header{};
  if (!ReadPngHeader(session.Png(), session.Info(), &header)) session.Raise();
  std::int32_t xDpi = header.hasPhys ? DotsPerInch(header.physX) : 0;
  std::int32_t yDpi = header.hasPhys ? DotsPerInch(header.physY) : 0;
  // libpng limits both dimensions to a million pixels, so they fit; Allocate refuses an
  // image too large before it takes any memory.
  Allocate(static_cast<std::int32_t>(header.width), static_cast<std::int32_t>(header.height),
           FormatOf(header), xDpi, yDpi);
  try {
    bool twoBit = header.depth == 2;
    if (!twoBit && header.rowBytes != static_cast<png_size_t>(bytesPerRow_)) {
      throw EError("PNG row size does not match the image");
    }
    if (header.colourType == PNG_COLOR_TYPE_GRAY && header.depth < 8) {
      InstallGrayRamp(*this, header.depth);
    }
    if (format_ != df24Bit) InstallPalette(*this, header);

    std::vector<std::uint8_t> samples(twoBit ? header.rowBytes * header.height : 0);
    std::vector<png_bytep> rows(header.height);
    for (png_uint_32 y = 0; y < header.height; ++y) {
      rows[y] = twoBit ? samples.data() + y * header.rowBytes : Row(static_cast<std::int32_t>(y));
    }
    if (!ReadPngRows(session.Png(), rows.data())) session.Raise();
    if (twoBit) {
      for (std::int32_t y = 0; y < Height(); ++y) WidenTwoBitRow(rows[y], Row(y), Width());
    }
  } catch (...) {
    Clear();
    throw;
  }
}
