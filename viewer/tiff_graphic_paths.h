// The pixel paths of the view's TIFF reader and the progress it reports while they run.
#pragma once

#include <tiffio.h>

#include <cstdint>

#include "viewer/dib_graphic.h"
#include "viewer/tiff_graphic_page.h"

// Reports the progress of one read to the graphic's OnProgress: a percent of a position
// within a range, truncated, never the same value twice in a row. The first report of a
// read (0) is always made.
class TReadProgress {
 public:
  explicit TReadProgress(const TDibGraphic& graphic) : graphic_(graphic) {}
  void Report(std::int64_t position, std::int64_t min, std::int64_t max);
  // Row y of a page of the given height.
  void Row(std::uint32_t y, std::uint32_t height) { Report(y, 0, std::int64_t{height} - 1); }

 private:
  const TDibGraphic& graphic_;
  std::uint8_t last_ = 255;
};

// Rows of the RGBA reader decoded at a time: whole strips or rows of tiles, so that none is
// decoded twice, at least 64 rows, at most the page.
std::uint32_t TiffBandRows(const TTiffPage& page);

// Decodes the page's pixels into the graphic (already sized by NewImage) by the plan's path
// and complements them when the plan says so. A failed read raises ETiffError with the name of
// the libtiff call that failed.
void ReadTiffPixels(TIFF* tif, const TTiffPage& page, const TTiffPlan& plan, TDibGraphic& graphic,
                    TReadProgress& progress);
