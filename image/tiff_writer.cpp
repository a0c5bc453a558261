// TIFF writer: a TDIB as one TIFF page, a new file or a page added to an existing one.
//
// The automatic compression follows the format: Group 4 for 1 bit, PackBits for 4 bits, JPEG
// for 8, 15, 16 and 24 bits. What goes into the file always shows the image's colours:
// 15- and 16-bit words are expanded to 24 bits, images JPEG cannot carry (1 and 4 bits,
// colour tables other than the gray ramp) to 8-bit gray or 24 bits, 1-bit rows are
// complemented whenever the photometric interpretation would otherwise show black as white,
// and 4- and 8-bit colour tables other than the gray ramp are written as a TIFF colour map.
// The image itself is never changed.
#include <algorithm>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "image/dibunit.h"
#include "image/five_bit_channels.h"
#include "image/safe_file.h"
#include "image/tiff_client.h"
#include "platform/errors.h"

namespace {

TTIFFCompression ResolveAuto(TTIFFCompression compression, TDIBFormat format) {
  if (compression != tcAuto) return compression;
  switch (format) {
    case df1Bit:
      return tcCCITT4;
    case df4Bit:
      return tcPackBits;
    case df8Bit:
    case df15Bit:
    case df16Bit:
    case df24Bit:
      return tcJPEG;
    default:
      return tcNone;
  }
}

std::uint32_t CompressionTag(TTIFFCompression compression) {
  switch (compression) {
    case tcPackBits:
      return COMPRESSION_PACKBITS;
    case tcCCITT3:
    case tcCCITT3_2D:
      return COMPRESSION_CCITTFAX3;
    case tcCCITT4:
      return COMPRESSION_CCITTFAX4;
    case tcDeflate:
      return COMPRESSION_DEFLATE;
    case tcJPEG:
      return COMPRESSION_JPEG;
    case tcLZW:
      return COMPRESSION_LZW;
    default:
      return COMPRESSION_NONE;
  }
}

bool IsCCITT(TTIFFCompression compression) {
  return compression == tcCCITT3 || compression == tcCCITT3_2D || compression == tcCCITT4;
}

// Colour-table entry as blue + 256 x green + 65536 x red; entries the table lacks are black.
std::uint32_t TableColour(const TDIB& image, std::int32_t index) {
  return index < image.PaletteCount() ? image.GetPaletteEntry(index) & 0xFFFFFF : 0;
}

std::uint32_t Luminance(std::uint32_t colour) {
  return 299 * ((colour >> 16) & 0xFF) + 587 * ((colour >> 8) & 0xFF) + 114 * (colour & 0xFF);
}

bool IsGrayColour(std::uint32_t colour) {
  return (colour & 0xFF) == ((colour >> 8) & 0xFF) && (colour & 0xFF) == (colour >> 16);
}

// Whether the colour table is the gray ramp the TIFF reader gives gray samples (entry i gray
// 255 x i / (entries - 1)), so that plain gray samples carry it.
bool HasGrayRamp(const TDIB& image) {
  const std::int32_t entries = std::int32_t{1} << image.BitCount();
  if (image.PaletteCount() != entries) return false;
  for (std::int32_t i = 0; i < entries; ++i) {
    const auto gray = static_cast<std::uint32_t>(255 * i / (entries - 1));
    if (TableColour(image, i) != gray * 0x010101) return false;
  }
  return true;
}

bool HasGrayTable(const TDIB& image) {
  for (std::int32_t i = 0; i < image.PaletteCount(); ++i) {
    if (!IsGrayColour(TableColour(image, i))) return false;
  }
  return true;
}

// The colour of a pixel value, red in the high byte; 15- and 16-bit words are read as
// 5-5-5 (blue in the low bits), each channel c widened to Round(c x 255 / 31) as the PNG
// writer does.
std::uint32_t PixelColour(const TDIB& image, std::int32_t value) {
  if (image.PaletteCount() > 0) return TableColour(image, value);
  const auto widen = [value](int shift) -> std::uint32_t {
    return WidenFiveBits(static_cast<std::uint32_t>(value >> shift) & 0x1F);
  };
  return (widen(10) << 16) | (widen(5) << 8) | widen(0);
}

// A copy of the image in format df8Bit (gray tables only) or df24Bit, pixel by pixel through
// the colours the pixel values stand for.
std::unique_ptr<TDIB> ExpandColours(const TDIB& image, TDIBFormat format) {
  auto result = std::make_unique<TDIB>();
  result->Allocate(image.Width(), image.Height(), format, image.XResolution(), image.YResolution());
  for (std::int32_t y = 0; y < image.Height(); ++y) {
    for (std::int32_t x = 0; x < image.Width(); ++x) {
      const std::uint32_t colour = PixelColour(image, image.GetPixel(x, y));
      // SetPixel takes 24-bit values as red + 256 x green + 65536 x blue.
      const std::uint32_t value =
          format == df8Bit ? (colour & 0xFF)
                           : ((colour & 0xFF) << 16) | (colour & 0xFF00) | (colour >> 16);
      result->SetPixel(x, y, static_cast<std::int32_t>(value));
    }
  }
  return result;
}

// The format the image must be expanded to before it can be written with the compression,
// or 0 when it goes as it is.
TDIBFormat ExpansionFormat(const TDIB& image, TTIFFCompression compression) {
  if (image.Format() == df15Bit || image.Format() == df16Bit) return df24Bit;
  const bool paletted = image.PaletteCount() > 0;
  const bool plainGray = image.Format() == df8Bit && HasGrayRamp(image);
  if (compression != tcJPEG || !paletted || plainGray) return 0;
  return HasGrayTable(image) ? df8Bit : df24Bit;
}

std::string LocalDateTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y:%m:%d %H:%M:%S", &local);
  return text;
}

class TFieldSetter {
 public:
  explicit TFieldSetter(const TTIFFHandle& tiff) : tiff_(tiff) {}
  void Int(ttag_t tag, std::uint32_t value) const {
    if (!TIFFSetField(tiff_.Get(), tag, value)) Fail("TIFFSetIntField", tag);
  }
  void Float(ttag_t tag, double value) const {
    if (!TIFFSetField(tiff_.Get(), tag, value)) Fail("TIFFSetFloatField", tag);
  }
  void Text(ttag_t tag, const std::string& value) const {
    if (!TIFFSetField(tiff_.Get(), tag, value.c_str())) Fail("TIFFSetField", tag);
  }
  void ColourMap(const TDIB& image) const {
    const std::size_t entries = std::size_t{1} << image.BitCount();
    std::vector<std::uint16_t> red(entries), green(entries), blue(entries);
    for (std::size_t i = 0; i < entries; ++i) {
      const std::uint32_t colour = TableColour(image, static_cast<std::int32_t>(i));
      red[i] = static_cast<std::uint16_t>(((colour >> 16) & 0xFF) * 257);
      green[i] = static_cast<std::uint16_t>(((colour >> 8) & 0xFF) * 257);
      blue[i] = static_cast<std::uint16_t>((colour & 0xFF) * 257);
    }
    if (!TIFFSetField(tiff_.Get(), TIFFTAG_COLORMAP, red.data(), green.data(), blue.data())) {
      Fail("TIFFSetField", TIFFTAG_COLORMAP);
    }
  }

 private:
  [[noreturn]] void Fail(const char* function, ttag_t tag) const {
    tiff_.Fail(std::string(function) + ": Tag = " + std::to_string(tag));
  }
  const TTIFFHandle& tiff_;
};

// How the rows of the image go into the file.
struct TRowForm {
  bool swapRedBlue = false;
  bool complement = false;
};

// Sets the fields in their fixed order and tells how the rows must be written.
TRowForm SetFields(const TTIFFHandle& tiff, const TDIB& image, TTIFFCompression compression,
                   std::int32_t rowsPerStrip) {
  const TFieldSetter set(tiff);
  if (compression == tcCCITT3 || compression == tcCCITT3_2D) {
    set.Int(TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX3);
    set.Int(TIFFTAG_GROUP3OPTIONS, compression == tcCCITT3 ? 0 : GROUP3OPT_2DENCODING);
  }
  // JPEG compresses blocks of 8 rows.
  const std::int32_t rows = compression == tcJPEG ? 8 : (rowsPerStrip > 0 ? rowsPerStrip : 16);
  set.Int(TIFFTAG_ROWSPERSTRIP, static_cast<std::uint32_t>(rows));
  set.Int(TIFFTAG_COMPRESSION, CompressionTag(compression));
  set.Int(TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  set.Text(TIFFTAG_SOFTWARE, "Vardemont Image Library");
  set.Text(TIFFTAG_DATETIME, LocalDateTime());
  set.Int(TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
  set.Float(TIFFTAG_XRESOLUTION, image.XResolution());
  set.Float(TIFFTAG_YRESOLUTION, image.YResolution());
  set.Int(TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(image.Width()));
  set.Int(TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(image.Height()));

  TRowForm form;
  const bool colour = image.Format() == df24Bit;
  set.Int(TIFFTAG_BITSPERSAMPLE, colour ? 8 : static_cast<std::uint32_t>(image.BitCount()));
  set.Int(TIFFTAG_SAMPLESPERPIXEL, colour ? 3 : 1);
  if (colour) {
    set.Int(TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    form.swapRedBlue = true;
  } else if (image.Format() == df1Bit) {
    // Fax codes are read as 0 = white; other codes get 0 = black. The brighter table entry
    // must land on the file's white bit.
    const bool minIsWhite = IsCCITT(compression);
    set.Int(TIFFTAG_PHOTOMETRIC, minIsWhite ? PHOTOMETRIC_MINISWHITE : PHOTOMETRIC_MINISBLACK);
    const bool whiteIsZero = Luminance(TableColour(image, 0)) > Luminance(TableColour(image, 1));
    form.complement = whiteIsZero != minIsWhite;
  } else if (HasGrayRamp(image)) {
    set.Int(TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
  } else {
    set.Int(TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_PALETTE);
    set.ColourMap(image);
  }
  return form;
}

void WriteRows(const TTIFFHandle& tiff, const TDIB& image, const TRowForm& form) {
  const std::size_t bytes = static_cast<std::size_t>(image.BytesPerRow());
  std::vector<std::uint8_t> row(
      std::max<std::size_t>(bytes, static_cast<std::size_t>(TIFFScanlineSize(tiff.Get()))));
  for (std::int32_t y = 0; y < image.Height(); ++y) {
    // libtiff may work on the buffer it is given: the image's own rows stay out of its reach.
    std::memcpy(row.data(), image.Row(y), bytes);
    if (form.swapRedBlue) {
      for (std::size_t i = 0; i + 2 < bytes; i += 3) std::swap(row[i], row[i + 2]);
    }
    if (form.complement) {
      for (std::size_t i = 0; i < bytes; ++i) row[i] = static_cast<std::uint8_t>(~row[i]);
    }
    if (TIFFWriteScanline(tiff.Get(), row.data(), static_cast<std::uint32_t>(y), 0) == -1) {
      tiff.Fail("TIFFWriteScanLine, row " + std::to_string(y));
    }
  }
}

}  // namespace

void TDIB::SaveTIFFToStream(TStream& stream, bool append, TTIFFCompression compression,
                            std::int32_t rowsPerStrip) {
  // A TIFF page has at least one pixel; libtiff would write an unreadable one.
  if (Width() <= 0 || Height() <= 0) throw EError(kNoImageToSave);
  compression = ResolveAuto(compression, Format());
  if (const TDIBFormat expanded = ExpansionFormat(*this, compression); expanded != 0) {
    ExpandColours(*this, expanded)->SaveTIFFToStream(stream, append, compression, rowsPerStrip);
    return;
  }
  TTIFFHandle tiff(stream);
  if (append) stream.Seek(0, soBeginning);
  // libtiff would take content too short for a TIFF header for an empty file and write over
  // it: a page is added only to nothing or to what begins like a TIFF.
  const bool addable =
      !append || stream.Size() == 0 || (stream.Size() >= 8 && IsTIFFStream(stream));
  if (!addable || !tiff.Open(append ? "a" : "w")) tiff.Fail("TIFFOpen");
  const TRowForm form = SetFields(tiff, *this, compression, rowsPerStrip);
  WriteRows(tiff, *this, form);
  tiff.Finish("TIFFWriteDirectory");
}

void TDIB::SaveTIFFToFile(const std::string& fileName, bool append, TTIFFCompression compression,
                          std::int32_t rowsPerStrip) {
  std::error_code error;
  const bool addPage = append && std::filesystem::exists(fileName, error);
  WriteFileSafely(fileName, addPage, [&](TStream& stream) {
    SaveTIFFToStream(stream, addPage, compression, rowsPerStrip);
  });
}
