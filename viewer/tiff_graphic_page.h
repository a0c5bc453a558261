// What the view's TIFF reader learns from one TIFF directory (TTiffPage) and what it decides
// from that (TTiffPlan): the display format and palette, whether the levels are complemented
// after reading, the compression code, and which of the four pixel paths decodes the page.
// Shared by tiff_graphic.cpp, which opens the file and checks the limits, and
// tiff_graphic_paths.cpp, which decodes the pixels.
#pragma once

#include <tiffio.h>

#include <cstdint>

#include "viewer/dib_graphic.h"
#include "viewer/tiff_graphic.h"

struct TTiffPage {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  // PhotometricInterpretation, 0 when absent; fax pages declared min-is-black read as 0.
  std::uint16_t photometric = PHOTOMETRIC_MINISWHITE;
  std::uint16_t compression = COMPRESSION_NONE;
  std::uint16_t bitsPerSample = 1;
  std::uint16_t samplesPerPixel = 1;
  std::uint16_t planarConfig = PLANARCONFIG_CONTIG;
  bool group3TwoD = false;  // bit 0 of T4Options
  bool tiled = false;
  std::uint16_t xDpi = 0;  // 0: the screen's resolution
  std::uint16_t yDpi = 0;
  // The rows of one strip as libtiff reads them (a page without the tag is one strip),
  // 1 .. height; for tiles, the rows of one row of tiles.
  std::uint32_t rowsPerStrip = 1;
  std::uint32_t rowsPerBlock = 1;
  std::int64_t scanlineBytes = 0;
  std::int64_t depth = 0;  // bits per sample x Round(scanline bytes / width)
};

enum class TTiffPath : std::uint8_t {
  Sixteen,     // 16-bit gray, row by row: the high byte of each sample
  CCITT,       // fax strips, row by row, bits copied
  FullColour,  // libtiff's RGBA reader, true colours set into the graphic
  Strips       // whole strips, bits copied or red, green and blue set
};

struct TTiffPlan {
  TGraphicFormat format = gfTrueColor;
  bool colourMap = false;  // the palette comes from the file's colour map
  bool negate = false;     // complement every byte after reading
  TTiffCompressionCode code = ctNone;
  TTiffPath path = TTiffPath::Strips;
};

bool IsCCITT(std::uint16_t compression);

// Reads the tags of the current directory; raises ETiffError "Bits per sample not specified".
TTiffPage ReadTiffPage(TIFF* tif);
// Raises ETiffError "Unsupported compression tag, %d" and EViewerError "%s compression not
// supported with %s images".
TTiffPlan PlanTiffRead(const TTiffPage& page);
// The file's colour map as a palette of 2^BitsPerSample entries (at most 256); 16-bit maps
// (any value of 256 or more) are scaled down, 65535 giving 255.
TLogPalette TiffColourMap(TIFF* tif, std::uint16_t bitsPerSample);
