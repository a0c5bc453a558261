// The tags of one TIFF directory and the reading plan drawn from them: display format,
// palette, complementing, compression code and pixel path.
#include "viewer/tiff_graphic_page.h"

#include <algorithm>
#include <string>

#include "image/rounding.h"
#include "viewer/viewer_errors.h"

namespace {

bool IsGray(std::uint16_t photometric) {
  return photometric == PHOTOMETRIC_MINISWHITE || photometric == PHOTOMETRIC_MINISBLACK;
}

// Inches and "no unit" give the value itself, any other unit is taken as centimetres. A value
// no resolution field can hold gives 0, the screen's resolution.
std::uint16_t DotsPerInch(float value, std::uint16_t unit) {
  const double perInch = unit == RESUNIT_INCH || unit == RESUNIT_NONE ? value : value * 2.54;
  const std::int32_t dpi = RoundHalfEven(perInch);
  return dpi > 0 && dpi <= 65535 ? static_cast<std::uint16_t>(dpi) : 0;
}

std::uint16_t ResolutionField(TIFF* tif, ttag_t tag, std::uint16_t unit) {
  float value = 0;
  return TIFFGetField(tif, tag, &value) ? DotsPerInch(value, unit) : 0;
}

std::uint32_t ClampRows(std::uint32_t rows, std::uint32_t height) {
  return std::clamp<std::uint32_t>(rows, 1, std::max<std::uint32_t>(height, 1));
}

void ReadLayout(TIFF* tif, TTiffPage& page) {
  // Without the tag libtiff reports its own layout (one strip, or the pieces it cut a large
  // uncompressed strip into): the one it reads by.
  std::uint32_t rowsPerStrip = 0;
  TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
  page.rowsPerStrip = ClampRows(rowsPerStrip, page.height);
  page.tiled = TIFFIsTiled(tif) != 0;
  std::uint32_t tileLength = 0;
  if (page.tiled) TIFFGetField(tif, TIFFTAG_TILELENGTH, &tileLength);
  page.rowsPerBlock = page.tiled ? ClampRows(tileLength, page.height) : page.rowsPerStrip;
  page.scanlineBytes = static_cast<std::int64_t>(TIFFScanlineSize64(tif));
  if (page.width > 0) {
    const double bytesPerPixel = static_cast<double>(page.scanlineBytes) / page.width;
    page.depth = std::int64_t{page.bitsPerSample} * std::max(1, RoundHalfEven(bytesPerPixel));
  }
}

std::uint16_t ReadPhotometric(TIFF* tif, std::uint16_t compression) {
  std::uint16_t photometric = PHOTOMETRIC_MINISWHITE;
  TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric);
  // Fax data has 0 as white whatever its writer declared.
  if (IsCCITT(compression) && photometric == PHOTOMETRIC_MINISBLACK) {
    return PHOTOMETRIC_MINISWHITE;
  }
  return photometric;
}

TTiffCompressionCode CompressionCode(const TTiffPage& page) {
  switch (page.compression) {
    case COMPRESSION_NONE:
      return ctNone;
    case COMPRESSION_PACKBITS:
      return ctPackbits;
    case COMPRESSION_CCITTRLE:
    case COMPRESSION_CCITTRLEW:
      return ctGroup3_1D;
    case COMPRESSION_CCITTFAX3:
      return page.group3TwoD ? ctGroup3_2D : ctGroup3_1D;
    case COMPRESSION_CCITTFAX4:
      return ctGroup4;
    // Deflate has two codes, the early one and the one most writers use now.
    case COMPRESSION_DEFLATE:
    case COMPRESSION_ADOBE_DEFLATE:
      return ctZLib;
    case COMPRESSION_JPEG:
      return ctJPEG;
    case COMPRESSION_LZW:
      return ctLZW;
    default:
      throw ETiffError("Unsupported compression tag, " + std::to_string(page.compression));
  }
}

bool AllowedWith(TTiffCompressionCode code, TGraphicFormat format) {
  switch (code) {
    case ctGroup3_1D:
    case ctGroup3_2D:
    case ctGroup4:
      return format == gfBilevel;
    case ctJPEG:
      return format == gfGray256 || format == gfTrueColor;
    default:
      return true;
  }
}

// Format, palette source and complementing by bits per sample and photometric.
void ChooseFormat(const TTiffPage& page, TTiffPlan& plan) {
  const std::uint16_t bits = page.bitsPerSample;
  const bool gray = IsGray(page.photometric);
  if (gray && (bits == 1 || bits == 4 || bits == 8 || bits == 16)) {
    plan.format = bits == 1 ? gfBilevel : (bits == 4 ? gfGray16 : gfGray256);
    plan.negate = page.photometric == PHOTOMETRIC_MINISWHITE;
  }
  if (page.photometric == PHOTOMETRIC_PALETTE) {
    plan.format = bits <= 4 ? gfColor16 : gfColor256;
    plan.colourMap = true;
  }
}

// The RGBA reader takes what the row paths cannot: JPEG, tiles, CMYK and YCbCr, deep or
// separated samples, and sample layouts that are not the display format's own.
bool NeedsFullColour(const TTiffPage& page, TGraphicFormat format) {
  if (page.compression == COMPRESSION_JPEG || page.tiled ||
      page.photometric == PHOTOMETRIC_SEPARATED || page.photometric == PHOTOMETRIC_YCBCR ||
      page.bitsPerSample > 8 || page.planarConfig > PLANARCONFIG_CONTIG) {
    return true;
  }
  const std::int64_t depth = page.depth;
  if (depth != 1 && depth != 4 && depth != 8 && depth != 24) return true;
  const bool ownSamples =
      page.samplesPerPixel == 1 && page.bitsPerSample == GraphicFormatBitCount(format);
  const bool rgb = page.samplesPerPixel == 3 && page.bitsPerSample == 8 &&
                   page.photometric == PHOTOMETRIC_RGB && format == gfTrueColor;
  return !ownSamples && !rgb;
}

TTiffPath ChoosePath(const TTiffPage& page, TGraphicFormat format) {
  const bool rows = !page.tiled && page.compression != COMPRESSION_JPEG;
  if (rows && page.bitsPerSample == 16 && page.samplesPerPixel == 1 && IsGray(page.photometric)) {
    return TTiffPath::Sixteen;
  }
  if (rows && IsCCITT(page.compression)) return TTiffPath::CCITT;
  return NeedsFullColour(page, format) ? TTiffPath::FullColour : TTiffPath::Strips;
}

}  // namespace

bool IsCCITT(std::uint16_t compression) {
  return compression == COMPRESSION_CCITTRLE || compression == COMPRESSION_CCITTFAX3 ||
         compression == COMPRESSION_CCITTFAX4 || compression == COMPRESSION_CCITTRLEW;
}

TTiffPage ReadTiffPage(TIFF* tif) {
  TTiffPage page;
  TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &page.width);
  TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &page.height);
  TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &page.compression);
  page.photometric = ReadPhotometric(tif, page.compression);
  if (!TIFFGetField(tif, TIFFTAG_BITSPERSAMPLE, &page.bitsPerSample)) {
    if (!IsCCITT(page.compression)) throw ETiffError("Bits per sample not specified");
    page.bitsPerSample = 1;
  }
  TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &page.samplesPerPixel);
  TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &page.planarConfig);
  std::uint32_t t4Options = 0;
  if (page.compression == COMPRESSION_CCITTFAX3) {
    TIFFGetField(tif, TIFFTAG_GROUP3OPTIONS, &t4Options);
  }
  page.group3TwoD = (t4Options & GROUP3OPT_2DENCODING) != 0;
  std::uint16_t unit = RESUNIT_INCH;
  TIFFGetField(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
  page.xDpi = ResolutionField(tif, TIFFTAG_XRESOLUTION, unit);
  page.yDpi = ResolutionField(tif, TIFFTAG_YRESOLUTION, unit);
  ReadLayout(tif, page);
  return page;
}

TTiffPlan PlanTiffRead(const TTiffPage& page) {
  TTiffPlan plan;
  ChooseFormat(page, plan);
  plan.code = CompressionCode(page);
  if (!AllowedWith(plan.code, plan.format)) {
    throw EViewerError(std::string(TiffCompressionName(plan.code)) +
                       " compression not supported with " + GraphicFormatDescription(plan.format) +
                       " images");
  }
  plan.path = ChoosePath(page, plan.format);
  // The RGBA reader delivers true colours: there is nothing left to complement.
  if (plan.path == TTiffPath::FullColour) plan.negate = false;
  return plan;
}

TLogPalette TiffColourMap(TIFF* tif, std::uint16_t bitsPerSample) {
  TLogPalette palette;
  std::uint16_t* red = nullptr;
  std::uint16_t* green = nullptr;
  std::uint16_t* blue = nullptr;
  if (bitsPerSample > 16 || !TIFFGetField(tif, TIFFTAG_COLORMAP, &red, &green, &blue)) {
    return palette;
  }
  const std::size_t count = std::min<std::size_t>(std::size_t{1} << bitsPerSample, 256);
  bool wide = false;
  for (std::size_t i = 0; i < count; ++i) {
    wide = wide || red[i] > 255 || green[i] > 255 || blue[i] > 255;
  }
  const auto level = [wide](std::uint16_t value) {
    return static_cast<std::uint8_t>(wide ? std::min(value * 256 / 65535, 255) : value);
  };
  palette.palNumEntries = static_cast<std::uint16_t>(count);
  for (std::size_t i = 0; i < count; ++i) {
    palette.palPalEntry[i] = {level(red[i]), level(green[i]), level(blue[i]), 0};
  }
  return palette;
}
