// TIFF reader: one page of a TIFF stream into a TDIB, through libtiff.
//
// Pages whose samples fit a TDIB format row by row (1-, 4-, 8- and 16-bit gray, 1- to 8-bit
// palette, 8- and 16-bit RGB) are decoded strip by strip in libtiff's own strip layout, or
// tile by tile, and unpacked row by row; min-is-white gray is inverted afterwards. Every
// other page (JPEG, YCbCr, separate planes, other sample layouts) goes through libtiff's RGBA
// interface, whose true colours are mapped to the pixel values of the chosen format. (Tiles
// stay out of the RGBA interface because libtiff 4.5 misreads uncompressed tiles there when
// the file is not mapped into memory, as a stream never is.)
#include <algorithm>
#include <cstring>
#include <memory>
#include <unordered_map>
#include <vector>

#include "image/dibunit.h"
#include "image/reader_limits.h"
#include "image/rounding.h"
#include "image/tiff_client.h"
#include "platform/errors.h"

namespace {

struct TTIFFTags {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint16_t photometric = 0;
  std::uint16_t compression = COMPRESSION_NONE;
  std::uint16_t bitsPerSample = 1;
  std::uint16_t samplesPerPixel = 1;
  std::uint16_t planarConfig = PLANARCONFIG_CONTIG;
  std::int32_t xDpi = 0;
  std::int32_t yDpi = 0;
  std::uint32_t rowsPerStrip = 1;  // libtiff's strip layout, clamped to 1 .. height
  std::uint32_t rowsPerBlock = 1;  // rows of one strip or tile row, clamped to 1 .. height
  bool tiled = false;
  std::uint32_t tileWidth = 0;
};

bool IsCCITT(std::uint16_t compression) {
  return compression == COMPRESSION_CCITTRLE || compression == COMPRESSION_CCITTFAX3 ||
         compression == COMPRESSION_CCITTFAX4 || compression == COMPRESSION_CCITTRLEW;
}

// Inches and "no unit" give the value itself; centimetres (or anything else) are converted.
std::int32_t DotsPerInch(float value, std::uint16_t unit) {
  if (unit == RESUNIT_INCH || unit == RESUNIT_NONE) return RoundHalfEven(value);
  return RoundHalfEven(static_cast<double>(value) * 2.54);
}

std::uint32_t ClampRows(std::uint32_t rows, std::uint32_t height) {
  return std::clamp<std::uint32_t>(rows, 1, std::max<std::uint32_t>(height, 1));
}

TTIFFTags ReadTags(TIFF* tif) {
  TTIFFTags tags;
  TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &tags.width);
  TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &tags.height);
  if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &tags.photometric)) tags.photometric = 0;
  TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &tags.compression);
  if (!TIFFGetField(tif, TIFFTAG_BITSPERSAMPLE, &tags.bitsPerSample)) {
    if (!IsCCITT(tags.compression)) throw EError("Bits per sample not specified");
    tags.bitsPerSample = 1;
  }
  TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &tags.samplesPerPixel);
  TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &tags.planarConfig);
  std::uint16_t unit = RESUNIT_INCH;
  TIFFGetField(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
  float xResolution = 0;
  float yResolution = 0;
  TIFFGetField(tif, TIFFTAG_XRESOLUTION, &xResolution);
  TIFFGetField(tif, TIFFTAG_YRESOLUTION, &yResolution);
  tags.xDpi = DotsPerInch(xResolution, unit);
  tags.yDpi = DotsPerInch(yResolution, unit);
  // Without the tag libtiff reports its default (one strip, or the rows it chopped a large
  // uncompressed strip into): the layout it really reads by.
  std::uint32_t rowsPerStrip = 0;
  TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
  tags.rowsPerStrip = ClampRows(rowsPerStrip, tags.height);
  tags.tiled = TIFFIsTiled(tif) != 0;
  std::uint32_t tileLength = 0;
  if (tags.tiled) {
    TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tags.tileWidth);
    TIFFGetField(tif, TIFFTAG_TILELENGTH, &tileLength);
  }
  tags.rowsPerBlock = tags.tiled ? ClampRows(tileLength, tags.height) : tags.rowsPerStrip;
  return tags;
}

// Turns one decoded row of the file (sourceBytes bytes, possibly short) into `width` pixels
// of a TDIB row, whose targetBytes bytes hold those pixels.
using TRowUnpacker = void (*)(const std::uint8_t* source, std::size_t sourceBytes,
                              std::uint8_t* target, std::uint32_t width, std::size_t targetBytes);

void CopyRow(const std::uint8_t* source, std::size_t sourceBytes, std::uint8_t* target,
             std::uint32_t, std::size_t targetBytes) {
  std::memcpy(target, source, std::min(sourceBytes, targetBytes));
}

// The most significant byte of sample i; 16-bit samples are already in host byte order.
template <unsigned SampleBytes>
std::uint8_t HighByte(const std::uint8_t* samples, std::size_t i) {
  if constexpr (SampleBytes == 1) {
    return samples[i];
  } else {
    std::uint16_t sample;
    std::memcpy(&sample, samples + 2 * i, 2);
    return static_cast<std::uint8_t>(sample >> 8);
  }
}

// Red, green, blue in the file; blue, green, red in the image.
template <unsigned SampleBytes>
void RGBRow(const std::uint8_t* source, std::size_t sourceBytes, std::uint8_t* target,
            std::uint32_t width, std::size_t) {
  const std::size_t pixels = std::min<std::size_t>(width, sourceBytes / (3 * SampleBytes));
  for (std::size_t x = 0; x < pixels; ++x) {
    target[3 * x] = HighByte<SampleBytes>(source, 3 * x + 2);
    target[3 * x + 1] = HighByte<SampleBytes>(source, 3 * x + 1);
    target[3 * x + 2] = HighByte<SampleBytes>(source, 3 * x);
  }
}

// 16-bit gray keeps the high byte of each sample.
void HighByteRow(const std::uint8_t* source, std::size_t sourceBytes, std::uint8_t* target,
                 std::uint32_t width, std::size_t) {
  const std::size_t pixels = std::min<std::size_t>(width, sourceBytes / 2);
  for (std::size_t x = 0; x < pixels; ++x) target[x] = HighByte<2>(source, x);
}

// Palette indices of 1 or 2 bits become 4-bit pixels, leftmost pixel in the high nibble.
template <unsigned Bits>
void UnpackToNibblesRow(const std::uint8_t* source, std::size_t sourceBytes, std::uint8_t* target,
                        std::uint32_t width, std::size_t targetBytes) {
  constexpr unsigned kPerByte = 8 / Bits;
  constexpr unsigned kMask = (1u << Bits) - 1;
  std::memset(target, 0, targetBytes);
  const std::size_t pixels = std::min<std::size_t>(width, sourceBytes * kPerByte);
  for (std::size_t x = 0; x < pixels; ++x) {
    const unsigned shift = 8 - Bits * (1 + x % kPerByte);
    const unsigned index = (source[x / kPerByte] >> shift) & kMask;
    target[x / 2] |= static_cast<std::uint8_t>(x % 2 == 0 ? index << 4 : index);
  }
}

enum class TTable { Gray, FileColourMap, None };

struct TReadPlan {
  TDIBFormat format = df24Bit;
  TTable table = TTable::None;
  bool invert = false;
  // Null when the samples have no TDIB layout and the page goes through the RGBA interface.
  TRowUnpacker unpacker = nullptr;
};

bool IsGray(std::uint16_t photometric) {
  return photometric == PHOTOMETRIC_MINISWHITE || photometric == PHOTOMETRIC_MINISBLACK;
}

// The unpacker for samples stored one pixel after the other, in strips or in tiles as wide as
// the TIFF standard asks (a multiple of 16, so that every tile starts on a byte of the
// image row), in a layout the format can take row by row; null when there is none.
TRowUnpacker ChooseUnpacker(const TTIFFTags& tags, std::uint16_t photometric, TDIBFormat format) {
  const bool contiguous = tags.planarConfig == PLANARCONFIG_CONTIG || tags.samplesPerPixel == 1;
  const bool standardTiles = tags.tileWidth > 0 && tags.tileWidth % 16 == 0;
  const bool plainBlocks = contiguous && (!tags.tiled || standardTiles) &&
                           tags.compression != COMPRESSION_JPEG &&
                           tags.compression != COMPRESSION_OJPEG;
  if (!plainBlocks) return nullptr;
  const std::uint16_t bits = tags.bitsPerSample;
  if (tags.samplesPerPixel == 3) {
    if (format != df24Bit || photometric != PHOTOMETRIC_RGB) return nullptr;
    return bits == 8 ? RGBRow<1> : (bits == 16 ? RGBRow<2> : nullptr);
  }
  if (tags.samplesPerPixel != 1) return nullptr;
  const bool palette = photometric == PHOTOMETRIC_PALETTE;
  if (!palette && !IsGray(photometric)) return nullptr;
  if (format == df1Bit && bits == 1) return CopyRow;
  if (format == df4Bit && bits == 4) return CopyRow;
  if (format == df4Bit && palette && bits == 2) return UnpackToNibblesRow<2>;
  if (format == df4Bit && palette && bits == 1) return UnpackToNibblesRow<1>;
  if (format == df8Bit && bits == 8) return CopyRow;
  if (format == df8Bit && !palette && bits == 16) return HighByteRow;
  return nullptr;
}

// Format, colour table and inversion by bits per sample and photometric interpretation.
TReadPlan ChoosePlan(const TTIFFTags& tags) {
  std::uint16_t photometric = tags.photometric;
  // Fax images are bi-level with 0 as white, whatever their writer declared.
  if (IsCCITT(tags.compression) && photometric == PHOTOMETRIC_MINISBLACK) {
    photometric = PHOTOMETRIC_MINISWHITE;
  }
  const bool minIsWhite = photometric == PHOTOMETRIC_MINISWHITE;
  const std::uint16_t bits = tags.bitsPerSample;
  TReadPlan plan;
  if (IsGray(photometric) && (bits == 1 || bits == 4 || bits == 8 || bits == 16)) {
    plan.format = bits == 1 ? df1Bit : (bits == 4 ? df4Bit : df8Bit);
    plan.table = TTable::Gray;
    plan.invert = minIsWhite;
  }
  if (photometric == PHOTOMETRIC_PALETTE) {
    plan.format = bits > 4 ? df8Bit : df4Bit;
    plan.table = TTable::FileColourMap;
    plan.invert = false;
  }
  plan.unpacker = ChooseUnpacker(tags, photometric, plan.format);
  // The RGBA interface delivers true colours: nothing is left to invert.
  if (plan.unpacker == nullptr) plan.invert = false;
  return plan;
}

// Rows read through the RGBA interface at a time: whole strips or tile rows, so that none is
// decoded twice, and at least 64 rows.
std::uint32_t RGBABandRows(const TTIFFTags& tags) {
  const std::uint32_t unit = tags.rowsPerBlock;
  const std::uint32_t band = unit >= 64 ? unit : unit * ((64 + unit - 1) / unit);
  return std::min(band, std::max<std::uint32_t>(tags.height, 1));
}

// Refuses, before anything is allocated, a page whose image, decoded rows, tile or RGBA band
// would pass the size limit.
void CheckSize(TIFF* tif, const TTIFFTags& tags, const TReadPlan& plan) {
  TDIBLayout layout{};
  const bool fits =
      tags.width <= INT32_MAX && tags.height <= INT32_MAX &&
      TDIB::ComputeLayout(static_cast<std::int32_t>(tags.width),
                          static_cast<std::int32_t>(tags.height), plan.format, layout);
  const std::int64_t decoded =
      plan.unpacker != nullptr
          ? SaturatedProduct(tags.height, static_cast<std::int64_t>(TIFFScanlineSize64(tif)))
          : SaturatedProduct(tags.width, std::int64_t{RGBABandRows(tags)} * 4);
  const std::int64_t tile = tags.tiled ? static_cast<std::int64_t>(TIFFTileSize64(tif)) : 0;
  if (!fits || layout.PixelBytes > kReaderPixelBytes || decoded > kMaxPixelBytes ||
      tile > kMaxPixelBytes) {
    throw EError(kImageTooLarge);
  }
}

std::uint8_t ColourMapByte(std::uint16_t value, bool sixteenBit) {
  return static_cast<std::uint8_t>(sixteenBit ? value * 255 / 65535 : value & 0xFF);
}

// The file's colour map; maps written with 8-bit values are told apart by having no value
// of 256 or more.
TLogPalette FileColourMap(TIFF* tif, std::uint16_t bitsPerSample) {
  TLogPalette palette;
  std::uint16_t* red = nullptr;
  std::uint16_t* green = nullptr;
  std::uint16_t* blue = nullptr;
  if (bitsPerSample > 16 || !TIFFGetField(tif, TIFFTAG_COLORMAP, &red, &green, &blue)) {
    return palette;
  }
  const std::size_t count = std::size_t{1} << bitsPerSample;
  bool sixteenBit = false;
  for (std::size_t i = 0; i < count; ++i) {
    sixteenBit = sixteenBit || red[i] > 255 || green[i] > 255 || blue[i] > 255;
  }
  palette.palNumEntries = static_cast<std::uint16_t>(std::min<std::size_t>(count, 256));
  for (std::size_t i = 0; i < palette.palNumEntries; ++i) {
    palette.palPalEntry[i] = {ColourMapByte(red[i], sixteenBit),
                              ColourMapByte(green[i], sixteenBit),
                              ColourMapByte(blue[i], sixteenBit), 0};
  }
  return palette;
}

TLogPalette GrayRamp(std::int32_t entries) {
  TLogPalette palette;
  palette.palNumEntries = static_cast<std::uint16_t>(entries);
  for (std::int32_t i = 0; i < entries; ++i) {
    const auto gray = static_cast<std::uint8_t>(255 * i / (entries - 1));
    palette.palPalEntry[static_cast<std::size_t>(i)] = {gray, gray, gray, 0};
  }
  return palette;
}

// Bytes of a TDIB row that hold `pixels` pixels of the image's format.
std::size_t PixelBytes(const TDIB& image, std::uint32_t pixels) {
  return (std::size_t{pixels} * static_cast<std::size_t>(image.BitCount()) + 7) / 8;
}

// Unpacks the decoded rows of one strip or tile (`got` bytes, rows of `rowBytes`) into image
// rows top, top + 1 ... from pixel `left` on.
void UnpackBlock(const std::uint8_t* block, tmsize_t got, tmsize_t rowBytes, std::uint32_t rows,
                 std::uint32_t top, std::uint32_t left, std::uint32_t pixels, TRowUnpacker unpack,
                 TDIB& image) {
  const std::size_t offset = PixelBytes(image, left);
  const std::size_t targetBytes = PixelBytes(image, pixels);
  for (std::uint32_t i = 0; i < rows && i * rowBytes < got; ++i) {
    const tmsize_t at = i * rowBytes;
    unpack(block + at, static_cast<std::size_t>(std::min(rowBytes, got - at)),
           image.Row(static_cast<std::int32_t>(top + i)) + offset, pixels, targetBytes);
  }
}

// Decodes the page strip by strip, in the strips libtiff knows, or tile by tile.
void ReadBlocks(const TTIFFHandle& tiff, const TTIFFTags& tags, TRowUnpacker unpack, TDIB& image) {
  TIFF* tif = tiff.Get();
  const bool tiled = tags.tiled;
  const tmsize_t rowBytes = tiled ? TIFFTileRowSize(tif) : TIFFScanlineSize(tif);
  const tmsize_t blockBytes = tiled ? TIFFTileSize(tif) : TIFFStripSize(tif);
  const std::uint32_t blockWidth = tiled ? tags.tileWidth : tags.width;
  const auto fail = [&] {
    if (tiled) tiff.FailWithReason("TIFFReadEncodedTile");
    tiff.FailBecause("TIFFReadEncodedStrip");
  };
  if (rowBytes <= 0 || blockBytes <= 0) fail();
  const auto buffer = std::make_unique_for_overwrite<std::uint8_t[]>(blockBytes);
  for (std::uint32_t top = 0; top < tags.height; top += tags.rowsPerBlock) {
    const std::uint32_t rows = std::min(tags.rowsPerBlock, tags.height - top);
    for (std::uint32_t left = 0; left < tags.width; left += blockWidth) {
      const tmsize_t got =
          tiled ? TIFFReadEncodedTile(tif, TIFFComputeTile(tif, left, top, 0, 0), buffer.get(),
                                      blockBytes)
                : TIFFReadEncodedStrip(tif, TIFFComputeStrip(tif, top, 0), buffer.get(),
                                       std::min<tmsize_t>(rowBytes * rows, blockBytes));
      if (got < 0) fail();
      const std::uint32_t pixels = std::min(blockWidth, tags.width - left);
      UnpackBlock(buffer.get(), got, rowBytes, rows, top, left, pixels, unpack, image);
    }
  }
}

// True colours of the RGBA interface to pixel values of a palette format (24 bits take them as
// they are, StoreColourRow): a file's palette takes its nearest entry (exact for colours that
// came from the map); gray tables take the luminance, thresholded at the middle for 1 bit
// and rounded to the nearest of the 16 levels for 4 bits.
class TColourToPixel {
 public:
  TColourToPixel(const TDIB& image, std::int32_t paletteEntries)
      : image_(image), paletteEntries_(paletteEntries) {}

  std::int32_t Value(std::uint32_t abgr) {
    if (paletteEntries_ > 0) return NearestEntry(abgr & 0xFFFFFF);
    // Gray sources give equal channels; the weights only matter for odd files.
    const std::uint32_t level =
        (299 * TIFFGetR(abgr) + 587 * TIFFGetG(abgr) + 114 * TIFFGetB(abgr) + 500) / 1000;
    if (image_.Format() == df1Bit) return level >= 128 ? image_.WhiteIndex() : image_.BlackIndex();
    if (image_.Format() == df4Bit) return static_cast<std::int32_t>((level + 8) / 17);
    return static_cast<std::int32_t>(level);
  }

 private:
  // rgb: red + 256 x green + 65536 x blue.
  std::int32_t NearestEntry(std::uint32_t rgb) {
    const auto cached = cache_.find(rgb);
    if (cached != cache_.end()) return cached->second;
    std::int32_t best = 0;
    std::int32_t bestDistance = INT32_MAX;
    for (std::int32_t i = 0; i < paletteEntries_; ++i) {
      const std::uint32_t entry = image_.GetPaletteEntry(i);  // blue + 256 green + 65536 red
      const std::int32_t dr = static_cast<std::int32_t>((entry >> 16) & 0xFF) - (rgb & 0xFF);
      const std::int32_t dg = static_cast<std::int32_t>((entry >> 8) & 0xFF) - ((rgb >> 8) & 0xFF);
      const std::int32_t db = static_cast<std::int32_t>(entry & 0xFF) - (rgb >> 16);
      const std::int32_t distance = dr * dr + dg * dg + db * db;
      if (distance < bestDistance) {
        best = i;
        bestDistance = distance;
      }
    }
    cache_.emplace(rgb, best);
    return best;
  }

  const TDIB& image_;
  std::int32_t paletteEntries_;
  std::unordered_map<std::uint32_t, std::int32_t> cache_;
};

// The 24-bit case of TColourToPixel, a whole row at a time: blue, green, red bytes.
void StoreColourRow(const std::uint32_t* abgr, std::uint32_t width, std::uint8_t* target) {
  for (std::uint32_t x = 0; x < width; ++x, target += 3) {
    target[0] = static_cast<std::uint8_t>(TIFFGetB(abgr[x]));
    target[1] = static_cast<std::uint8_t>(TIFFGetG(abgr[x]));
    target[2] = static_cast<std::uint8_t>(TIFFGetR(abgr[x]));
  }
}

struct TRGBAImageGuard {
  TIFFRGBAImage image{};
  bool begun = false;
  ~TRGBAImageGuard() {
    if (begun) TIFFRGBAImageEnd(&image);
  }
};

void ReadRGBA(const TTIFFHandle& tiff, const TTIFFTags& tags, std::int32_t paletteEntries,
              TDIB& image) {
  char reason[1024] = "";
  TRGBAImageGuard rgba;
  rgba.begun = TIFFRGBAImageBegin(&rgba.image, tiff.Get(), 1, reason) != 0;
  if (!rgba.begun) tiff.Fail(std::string("TIFFReadRGBAImage: ") + reason);
  rgba.image.req_orientation = ORIENTATION_TOPLEFT;
  const std::uint32_t band = RGBABandRows(tags);
  std::vector<std::uint32_t> raster(static_cast<std::size_t>(tags.width) * band);
  TColourToPixel toPixel(image, paletteEntries);
  for (std::uint32_t row = 0; row < tags.height; row += band) {
    const std::uint32_t rows = std::min(band, tags.height - row);
    rgba.image.row_offset = static_cast<int>(row);
    rgba.image.col_offset = 0;
    if (!TIFFRGBAImageGet(&rgba.image, raster.data(), tags.width, rows)) {
      tiff.FailWithReason("TIFFReadRGBAImage");
    }
    for (std::uint32_t i = 0; i < rows; ++i) {
      const std::uint32_t* source = raster.data() + static_cast<std::size_t>(i) * tags.width;
      const auto y = static_cast<std::int32_t>(row + i);
      if (image.Format() == df24Bit) {
        StoreColourRow(source, tags.width, image.Row(y));
        continue;
      }
      for (std::uint32_t x = 0; x < tags.width; ++x) {
        image.SetPixel(static_cast<std::int32_t>(x), y, toPixel.Value(source[x]));
      }
    }
  }
}

}  // namespace

void TDIB::LoadTIFFFromStream(TStream& stream, std::int32_t page) {
  TTIFFHandle tiff(stream);
  if (!tiff.Open("r")) {
    stream.Seek(0, soBeginning);
    if (!tiff.Open("r")) tiff.FailBecause("TIFFOpen");
  }
  TIFF* tif = tiff.Get();
  // A page that does not exist is an error, not silently another page.
  if (page < 0 || !TIFFSetDirectory(tif, static_cast<tdir_t>(page))) {
    tiff.FailWithReason("TIFFSetDirectory");
  }
  const TTIFFTags tags = ReadTags(tif);
  const TReadPlan plan = ChoosePlan(tags);
  CheckSize(tif, tags, plan);
  char reason[1024] = "";
  if (plan.unpacker == nullptr && !TIFFRGBAImageOK(tif, reason)) {
    tiff.Fail(std::string("TIFFReadRGBAImage: ") + reason);
  }
  Allocate(static_cast<std::int32_t>(tags.width), static_cast<std::int32_t>(tags.height),
           plan.format, tags.xDpi, tags.yDpi);
  TLogPalette palette;
  if (plan.table == TTable::FileColourMap) palette = FileColourMap(tif, tags.bitsPerSample);
  if (plan.table == TTable::Gray) palette = GrayRamp(PaletteCount());
  AssignLogPalette(palette);
  if (plan.unpacker != nullptr) {
    ReadBlocks(tiff, tags, plan.unpacker, *this);
  } else {
    const std::int32_t paletteEntries =
        plan.table == TTable::FileColourMap ? palette.palNumEntries : 0;
    ReadRGBA(tiff, tags, paletteEntries, *this);
  }
  if (plan.invert) Invert();
}
