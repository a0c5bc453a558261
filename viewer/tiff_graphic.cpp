// TTiffGraphic: opens the TIFF data from the stream's position on, selects the directory,
// refuses pages past the size limits before anything is allocated, sizes the graphic and
// lets the pixel paths (tiff_graphic_paths.cpp) fill it.
#include "viewer/tiff_graphic.h"

#include <algorithm>
#include <limits>
#include <string>

#include "image/dibunit.h"
#include "image/reader_limits.h"
#include "image/tiff_client.h"
#include "viewer/tiff_graphic_page.h"
#include "viewer/tiff_graphic_paths.h"
#include "viewer/viewer_errors.h"

namespace {

// The stream from the position it had when the window was made: TIFF offsets count from the
// first byte of the TIFF data, wherever that lies in the stream.
class TStreamWindow : public TStream {
 public:
  explicit TStreamWindow(TStream& stream) : stream_(stream), start_(stream.Position()) {}
  std::size_t Read(void* buffer, std::size_t count) override { return stream_.Read(buffer, count); }
  void Write(const void*, std::size_t) override { throw EError("TIFF data is read only"); }
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override {
    if (origin == soBeginning) {
      if (offset < 0 || offset > std::numeric_limits<std::int64_t>::max() - start_) {
        throw EError("Seek before the TIFF data");
      }
      offset += start_;
    }
    const std::int64_t position = stream_.Seek(offset, origin);
    if (position < start_) throw EError("Seek before the TIFF data");
    return position - start_;
  }
  std::int64_t Size() override { return std::max<std::int64_t>(stream_.Size() - start_, 0); }

 private:
  TStream& stream_;
  std::int64_t start_;
};

// libtiff over the window; raises ETiffError "TIFFOpen" when the data is no TIFF libtiff reads.
class TTiffSource {
 public:
  explicit TTiffSource(TStream& stream) : window_(stream), handle_(window_) {
    if (!handle_.Open("r")) throw ETiffError("TIFFOpen");
  }
  TIFF* Get() const { return handle_.Get(); }

 private:
  TStreamWindow window_;
  TTIFFHandle handle_;
};

std::int32_t DirectoryCount(TIFF* tif) {
  const tdir_t count = TIFFNumberOfDirectories(tif);
  return static_cast<std::int32_t>(
      std::min<tdir_t>(count, static_cast<tdir_t>(std::numeric_limits<std::int32_t>::max())));
}

// Index counts from 1; a page the file does not have is an error, never another page.
void SelectDirectory(TIFF* tif, std::int32_t index) {
  if (index == 1) return;  // opening read the first directory
  if (index < 1 || index > DirectoryCount(tif)) {
    throw ETiffError("Image " + std::to_string(index) + " does not exist");
  }
  if (!TIFFSetDirectory(tif, static_cast<tdir_t>(index - 1))) {
    throw ETiffError("TIFFReadDirectory");
  }
}

// The graphic, the rows libtiff decodes at a time and the RGBA band must all stay within the
// image library's limit; hostile tags declare far more than their data holds.
void CheckSize(TIFF* tif, const TTiffPage& page, const TTiffPlan& plan) {
  if (page.width == 0 || page.height == 0) throw ETiffError("Image has no pixels");
  if (page.scanlineBytes <= 0) throw ETiffError("TIFFScanlineSize");
  constexpr std::uint32_t kLargestSide = std::numeric_limits<std::int32_t>::max();
  const std::int64_t rowBytes =
      (SaturatedProduct(page.width, GraphicFormatBitCount(plan.format)) + 31) / 32 * 4;
  std::int64_t decoded = page.scanlineBytes;
  if (plan.path == TTiffPath::Strips) decoded = static_cast<std::int64_t>(TIFFStripSize64(tif));
  if (plan.path == TTiffPath::FullColour) {
    decoded = SaturatedProduct(page.width, std::int64_t{TiffBandRows(page)} * 4);
  }
  const std::int64_t tile = page.tiled ? static_cast<std::int64_t>(TIFFTileSize64(tif)) : 0;
  if (page.width > kLargestSide || page.height > kLargestSide ||
      SaturatedProduct(rowBytes, page.height) > kReaderPixelBytes || decoded > kMaxPixelBytes ||
      page.scanlineBytes > kMaxPixelBytes || tile > kMaxPixelBytes) {
    throw EViewerError(kImageTooLarge);
  }
}

}  // namespace

const char* TiffCompressionName(TTiffCompressionCode code) {
  static const char* const kNames[] = {
      "None", "Packbits", "CCITT Group 3, 1D", "CCITT Group 3, 2D", "CCITT Group 4", "ZLib",
      "JPEG", "LZW"};
  return code <= ctLZW ? kNames[code] : "";
}

std::int32_t TTiffGraphic::ImageCount(TStream& stream) {
  const TTiffSource source(stream);
  return DirectoryCount(source.Get());
}

void TTiffGraphic::ReadImage(TStream& stream, std::int32_t index) {
  TReadProgress progress(*this);
  progress.Report(0, 0, 100);
  try {
    const TTiffSource source(stream);
    TIFF* tif = source.Get();
    SelectDirectory(tif, index);
    const TTiffPage page = ReadTiffPage(tif);
    const TTiffPlan plan = PlanTiffRead(page);
    CheckSize(tif, page, plan);
    const TLogPalette palette =
        plan.colourMap ? TiffColourMap(tif, page.bitsPerSample) : TLogPalette{};
    NewImage(static_cast<std::int32_t>(page.width), static_cast<std::int32_t>(page.height),
             plan.format, palette.palNumEntries > 0 ? &palette : nullptr, page.xDpi, page.yDpi);
    compression_ = plan.code;
    rowsPerStrip_ = page.rowsPerStrip;
    ReadTiffPixels(tif, page, plan, *this, progress);
  } catch (...) {
    // A page that could not be read whole is never shown in part.
    ReleaseImage();
    throw;
  }
  progress.Report(100, 0, 100);
}

std::unique_ptr<TDibGraphic> TTiffGraphic::NewOfSameClass() const {
  return std::make_unique<TTiffGraphic>();
}
