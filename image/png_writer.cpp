// The PNG writer over libpng: 1, 4 and 8-bit images become palette PNGs of depth 1, 4 and 8
// with their colour table as PLTE; 24-bit images become 8-bit truecolour; 15 and 16-bit
// images hold 5-5-5 words (red in bits 10 to 14) and are widened to 8-bit truecolour, each
// 5-bit channel c becoming Round(c * 255 / 31). pHYs carries the resolution in pixels per
// metre. Chunks: IHDR, PLTE for palettes, pHYs, IDAT, IEND; no interlace, no tRNS.
#include <csetjmp>
#include <vector>

#include "image/dibunit.h"
#include "image/five_bit_channels.h"
#include "image/png_codec.h"
#include "image/rounding.h"
#include "image/safe_file.h"
#include "platform/errors.h"

namespace {

// What the file will say, in plain values that survive a longjmp.
struct TPngDescription {
  png_uint_32 width;
  png_uint_32 height;
  int colourType;
  int depth;
  bool blueFirst;  // rows hold blue, green, red
  png_uint_32 physX, physY;
  int paletteCount;
  png_color palette[256];
  int memLevel;
};

// Writes the whole file. Returns false when libpng failed; nothing in this frame needs
// destruction, so the longjmp may leave it.
bool WritePng(png_structp png, png_infop info, const TPngDescription* description,
              png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_IHDR(png, info, description->width, description->height, description->depth,
               description->colourType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (description->paletteCount > 0) {
    png_set_PLTE(png, info, description->palette, description->paletteCount);
  }
  png_set_pHYs(png, info, description->physX, description->physY, PNG_RESOLUTION_METER);
  png_set_compression_mem_level(png, description->memLevel);
  png_write_info(png, info);
  if (description->blueFirst) png_set_bgr(png);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  return true;
}

png_uint_32 PixelsPerMetre(std::int32_t dotsPerInch) {
  return dotsPerInch > 0 ? static_cast<png_uint_32>(RoundHalfEven(dotsPerInch / 0.0254)) : 0;
}

// 5-5-5 words to red, green, blue bytes, top row first.
std::vector<std::uint8_t> WidenWords(const TDIB& image) {
  std::size_t width = static_cast<std::size_t>(image.Width());
  std::vector<std::uint8_t> rgb(3 * width * static_cast<std::size_t>(image.Height()));
  std::uint8_t* out = rgb.data();
  for (std::int32_t y = 0; y < image.Height(); ++y) {
    const std::uint8_t* row = image.Row(y);
    for (std::size_t x = 0; x < width; ++x, out += 3) {
      std::uint32_t word = row[2 * x] | row[2 * x + 1] << 8;
      out[0] = WidenFiveBits(word >> 10 & 31);
      out[1] = WidenFiveBits(word >> 5 & 31);
      out[2] = WidenFiveBits(word & 31);
    }
  }
  return rgb;
}

// The compressor's memory level: level m keeps a hash table of 2^(m + 7) entries, and one
// larger than the image's bytes finds no more matches, only costs clearing. Small images
// (thumbnails, strips of a page) thus take a small compressor instead of the full 256 KiB.
int CompressorMemoryLevel(std::int64_t imageBytes) {
  int level = 1;
  while (level < 8 && (std::int64_t{1} << (level + 7)) < imageBytes) ++level;
  return level;
}

}  // namespace

void TDIB::SavePNGToStream(TStream& stream) {
  if (infoHeader_ == nullptr) throw EError(kNoImageToSave);
  TPngDescription description{};
  description.width = static_cast<png_uint_32>(Width());
  description.height = static_cast<png_uint_32>(Height());
  description.physX = PixelsPerMetre(XResolution());
  description.physY = PixelsPerMetre(YResolution());
  bool palette = format_ == df1Bit || format_ == df4Bit || format_ == df8Bit;
  description.colourType = palette ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB;
  description.depth = palette ? BitCount() : 8;
  description.blueFirst = format_ == df24Bit;
  description.paletteCount = palette ? paletteCount_ : 0;
  for (int i = 0; i < description.paletteCount; ++i) {
    std::uint32_t entry = GetPaletteEntry(i);
    description.palette[i] = {static_cast<png_byte>(entry >> 16), static_cast<png_byte>(entry >> 8),
                              static_cast<png_byte>(entry)};
  }

  bool words = format_ == df15Bit || format_ == df16Bit;
  const std::int64_t rowBytes = words ? std::int64_t{3} * Width() : BytesPerRow();
  description.memLevel = CompressorMemoryLevel(rowBytes * Height());
  std::vector<std::uint8_t> widened = words ? WidenWords(*this) : std::vector<std::uint8_t>();
  std::vector<png_bytep> rows(description.height);
  for (std::int32_t y = 0; y < Height(); ++y) {
    rows[static_cast<std::size_t>(y)] =
        words ? widened.data() + 3 * static_cast<std::size_t>(Width()) * y : Row(y);
  }
  TPngSession session(stream, TPngSession::pdWrite);
  if (!WritePng(session.Png(), session.Info(), &description, rows.data())) session.Raise();
}

void TDIB::SavePNGToFile(const std::string& fileName) {
  WriteFileSafely(fileName, false, [this](TStream& stream) { SavePNGToStream(stream); });
}
