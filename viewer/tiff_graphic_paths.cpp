// The four ways the view's TIFF reader fills a display graphic: 16-bit gray and fax pages row
// by row through libtiff's scanline reader, plain pages strip by strip, and everything else
// through libtiff's RGBA reader in bands of rows. A read that fails raises; no partly decoded
// page is kept.
#include "viewer/tiff_graphic_paths.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "viewer/viewer_errors.h"

namespace {

std::unique_ptr<std::uint8_t[]> Buffer(std::int64_t bytes) {
  return std::make_unique_for_overwrite<std::uint8_t[]>(static_cast<std::size_t>(bytes));
}

// Copies one decoded row into the graphic's row; a row of the file longer than the graphic's
// is cut, a shorter one leaves zeros.
void CopyRow(const std::uint8_t* source, std::int64_t sourceBytes, TDibGraphic& graphic,
             std::uint32_t y) {
  std::uint8_t* target = graphic.ScanLine(static_cast<std::int32_t>(y));
  const auto targetBytes = static_cast<std::int64_t>(graphic.BytesPerRow());
  const std::int64_t copied = std::min(sourceBytes, targetBytes);
  std::memcpy(target, source, static_cast<std::size_t>(copied));
  std::memset(target + copied, 0, static_cast<std::size_t>(targetBytes - copied));
}

// Red, green, blue samples of the file set as colours of row y.
void SetRGBRow(const std::uint8_t* source, const TTiffPage& page, TDibGraphic& graphic,
               std::uint32_t y) {
  const auto row = static_cast<std::int32_t>(y);
  if (graphic.ImageFormat() == gfTrueColor) {
    std::uint8_t* target = graphic.ScanLine(row);
    for (std::uint32_t x = 0; x < page.width; ++x, source += 3, target += 3) {
      target[0] = source[2];
      target[1] = source[1];
      target[2] = source[0];
    }
    return;
  }
  for (std::uint32_t x = 0; x < page.width; ++x, source += 3) {
    graphic.SetPixelColor(static_cast<std::int32_t>(x), row,
                          TColorValue{source[0]} << 16 | TColorValue{source[1]} << 8 | source[2]);
  }
}

void ReadScanline(TIFF* tif, std::uint8_t* buffer, std::uint32_t y) {
  if (TIFFReadScanline(tif, buffer, y, 0) < 0) throw ETiffError("TIFFReadScanline");
}

// 16-bit gray: libtiff hands the samples over in host byte order; the high byte is the level.
void ReadSixteen(TIFF* tif, const TTiffPage& page, TDibGraphic& graphic, TReadProgress& progress) {
  const auto buffer = Buffer(page.scanlineBytes);
  const std::uint32_t samples =
      std::min<std::uint32_t>(page.width, static_cast<std::uint32_t>(page.scanlineBytes / 2));
  for (std::uint32_t y = 0; y < page.height; ++y) {
    ReadScanline(tif, buffer.get(), y);
    std::uint8_t* target = graphic.ScanLine(static_cast<std::int32_t>(y));
    for (std::uint32_t x = 0; x < samples; ++x) {
      std::uint16_t sample;
      std::memcpy(&sample, buffer.get() + 2 * std::size_t{x}, 2);
      target[x] = static_cast<std::uint8_t>(sample >> 8);
    }
    progress.Row(y, page.height);
  }
}

void ReadFax(TIFF* tif, const TTiffPage& page, TDibGraphic& graphic, TReadProgress& progress) {
  const auto buffer = Buffer(page.scanlineBytes);
  for (std::uint32_t y = 0; y < page.height; ++y) {
    ReadScanline(tif, buffer.get(), y);
    CopyRow(buffer.get(), page.scanlineBytes, graphic, y);
    progress.Row(y, page.height);
  }
}

void ReadStrips(TIFF* tif, const TTiffPage& page, TDibGraphic& graphic, TReadProgress& progress) {
  const auto buffer = Buffer(static_cast<std::int64_t>(TIFFStripSize64(tif)));
  const bool rgb = page.samplesPerPixel == 3;
  for (std::uint32_t top = 0; top < page.height; top += page.rowsPerStrip) {
    const std::uint32_t rows = std::min(page.rowsPerStrip, page.height - top);
    const std::int64_t wanted = std::int64_t{rows} * page.scanlineBytes;
    const tmsize_t got = TIFFReadEncodedStrip(tif, TIFFComputeStrip(tif, top, 0), buffer.get(),
                                              static_cast<tmsize_t>(wanted));
    if (got < wanted) throw ETiffError("TIFFReadEncodedStrip");
    for (std::uint32_t i = 0; i < rows; ++i) {
      const std::uint8_t* row = buffer.get() + i * page.scanlineBytes;
      if (rgb) {
        SetRGBRow(row, page, graphic, top + i);
      } else {
        CopyRow(row, page.scanlineBytes, graphic, top + i);
      }
      progress.Row(top + i, page.height);
    }
  }
}

// libtiff 4.5's RGBA reader refuses an uncompressed tile unless its raw buffer is exactly one
// tile long (it compares the buffer's size where it means the tile's byte count), so such a
// page gets a buffer of that size for the length of the read. libtiff then gets a buffer of
// its own again.
class TExactTileBuffer {
 public:
  TExactTileBuffer(TIFF* tif, const TTiffPage& page) : tif_(tif) {
    if (!page.tiled || page.compression != COMPRESSION_NONE) return;
    buffer_.resize(static_cast<std::size_t>(TIFFTileSize64(tif)));
    TIFFReadBufferSetup(tif, buffer_.data(), static_cast<tmsize_t>(buffer_.size()));
  }
  ~TExactTileBuffer() {
    if (!buffer_.empty()) TIFFReadBufferSetup(tif_, nullptr, static_cast<tmsize_t>(buffer_.size()));
  }
  TExactTileBuffer(const TExactTileBuffer&) = delete;
  TExactTileBuffer& operator=(const TExactTileBuffer&) = delete;

 private:
  TIFF* tif_;
  std::vector<std::uint8_t> buffer_;
};

struct TRGBAImageGuard {
  TIFFRGBAImage image{};
  bool begun = false;
  ~TRGBAImageGuard() {
    if (begun) TIFFRGBAImageEnd(&image);
  }
};

void SetABGRRow(const std::uint32_t* abgr, std::uint32_t width, TDibGraphic& graphic,
                std::uint32_t y) {
  const auto row = static_cast<std::int32_t>(y);
  if (graphic.ImageFormat() == gfTrueColor) {
    std::uint8_t* target = graphic.ScanLine(row);
    for (std::uint32_t x = 0; x < width; ++x, target += 3) {
      target[0] = static_cast<std::uint8_t>(TIFFGetB(abgr[x]));
      target[1] = static_cast<std::uint8_t>(TIFFGetG(abgr[x]));
      target[2] = static_cast<std::uint8_t>(TIFFGetR(abgr[x]));
    }
    return;
  }
  for (std::uint32_t x = 0; x < width; ++x) {
    graphic.SetPixelColor(static_cast<std::int32_t>(x), row,
                          TIFFGetR(abgr[x]) << 16 | TIFFGetG(abgr[x]) << 8 | TIFFGetB(abgr[x]));
  }
}

void ReadFullColour(TIFF* tif, const TTiffPage& page, TDibGraphic& graphic,
                    TReadProgress& progress) {
  char reason[1024] = "";
  if (!TIFFRGBAImageOK(tif, reason)) throw ETiffError("TIFFReadRGBAImage");
  const TExactTileBuffer tileBuffer(tif, page);
  TRGBAImageGuard rgba;
  rgba.begun = TIFFRGBAImageBegin(&rgba.image, tif, 1, reason) != 0;
  if (!rgba.begun) throw ETiffError("TIFFReadRGBAImage");
  rgba.image.req_orientation = ORIENTATION_TOPLEFT;
  const std::uint32_t band = TiffBandRows(page);
  std::vector<std::uint32_t> raster(std::size_t{page.width} * band);
  for (std::uint32_t top = 0; top < page.height; top += band) {
    const std::uint32_t rows = std::min(band, page.height - top);
    rgba.image.row_offset = static_cast<int>(top);
    rgba.image.col_offset = 0;
    if (!TIFFRGBAImageGet(&rgba.image, raster.data(), page.width, rows)) {
      throw ETiffError("TIFFReadRGBAImage");
    }
    for (std::uint32_t i = 0; i < rows; ++i) {
      SetABGRRow(raster.data() + std::size_t{i} * page.width, page.width, graphic, top + i);
      progress.Row(top + i, page.height);
    }
  }
}

void Negate(TDibGraphic& graphic) {
  const std::size_t bytes = static_cast<std::size_t>(graphic.BytesPerRow());
  for (std::int32_t y = 0; y < graphic.Height(); ++y) {
    std::uint8_t* row = graphic.ScanLine(y);
    for (std::size_t i = 0; i < bytes; ++i) row[i] = static_cast<std::uint8_t>(~row[i]);
  }
}

}  // namespace

void TReadProgress::Report(std::int64_t position, std::int64_t min, std::int64_t max) {
  const std::int64_t percent =
      max <= min ? 0 : std::clamp<std::int64_t>((position - min) * 100 / (max - min), 0, 100);
  if (!graphic_.OnProgress) {
    last_ = 0;
    return;
  }
  if (percent == last_) return;
  last_ = static_cast<std::uint8_t>(percent);
  graphic_.OnProgress(&graphic_, last_);
}

std::uint32_t TiffBandRows(const TTiffPage& page) {
  const std::uint32_t unit = page.rowsPerBlock;
  const std::uint32_t band = unit >= 64 ? unit : unit * ((64 + unit - 1) / unit);
  return std::min(band, std::max<std::uint32_t>(page.height, 1));
}

void ReadTiffPixels(TIFF* tif, const TTiffPage& page, const TTiffPlan& plan, TDibGraphic& graphic,
                    TReadProgress& progress) {
  switch (plan.path) {
    case TTiffPath::Sixteen:
      ReadSixteen(tif, page, graphic, progress);
      break;
    case TTiffPath::CCITT:
      ReadFax(tif, page, graphic, progress);
      break;
    case TTiffPath::FullColour:
      ReadFullColour(tif, page, graphic, progress);
      break;
    case TTiffPath::Strips:
      ReadStrips(tif, page, graphic, progress);
      break;
  }
  if (plan.negate) Negate(graphic);
}
