// TJpegGraphic: the image library's JPEG reader decodes, and the graphic takes a copy of the
// image's packed DIB block. Progress: 0 before decoding, 50 once decoded, 100 when taken over.
#include "viewer/jpeg_graphic.h"

#include <string>

#include "image/dibunit.h"
#include "viewer/viewer_errors.h"

namespace {

void Report(const TDibGraphic& graphic, std::uint8_t percent) {
  if (graphic.OnProgress) graphic.OnProgress(&graphic, percent);
}

}  // namespace

void TJpegGraphic::ReadImage(TStream& stream, std::int32_t index) {
  Report(*this, 0);
  // A JPEG file holds one image; asking for another is an error, never the first one again.
  if (index != 1) throw EViewerError("Image " + std::to_string(index) + " does not exist");
  try {
    TDIB image;
    image.LoadJPEGFromStream(stream);
    Report(*this, 50);
    AssignHDIB(image.GetHandle());
  } catch (...) {
    // A file that could not be read is never shown, nor the image shown before it.
    ReleaseImage();
    throw;
  }
  Report(*this, 100);
}

std::unique_ptr<TDibGraphic> TJpegGraphic::NewOfSameClass() const {
  return std::make_unique<TJpegGraphic>();
}
