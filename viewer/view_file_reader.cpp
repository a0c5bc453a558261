// Reader choice and reading of a view's source graphic.
#include "viewer/view_file_reader.h"

#include <cctype>

#include "image/dibunit.h"
#include "viewer/jpeg_graphic.h"
#include "viewer/tiff_graphic.h"

namespace {

std::unique_ptr<TDibGraphic> RegisteredReader(const std::string& extension) {
  if (extension == "TIF" || extension == "TIFF") return std::make_unique<TTiffGraphic>();
  if (extension == "JPG" || extension == "JPEG") return std::make_unique<TJpegGraphic>();
  return nullptr;
}

// Reads through a registered reader. Index 0 selects the last image: reading that one page is
// enough, the others would only be held in memory.
void ReadWithReader(TDibGraphic& reader, TStream& stream, std::int32_t imageIndex) {
  std::int32_t index = imageIndex;
  if (index <= 0) {
    std::int64_t start = stream.Position();
    index = reader.ImageCount(stream);
    stream.Seek(start, soBeginning);
    if (index < 1) index = 1;
  }
  reader.ImageIndex = index;
  reader.ReadAllImages = false;
  reader.LoadFromStream(stream);
}

std::unique_ptr<TDibGraphic> ReadWithImageLibrary(TStream& stream, std::int32_t imageIndex,
                                                  const TDibGraphic::TProgressEvent& progress,
                                                  const void* sender) {
  auto report = [&](std::uint8_t percent) {
    if (progress) progress(sender, percent);
  };
  report(0);
  report(25);
  TDIB image;
  image.LoadFromStream(stream, imageIndex > 0 ? imageIndex - 1 : 0);
  report(90);
  auto graphic = std::make_unique<TDibGraphic>();
  graphic->AssignHDIB(image.GetHandle());
  report(100);
  return graphic;
}

}  // namespace

std::string ReaderExtension(const std::string& fileName) {
  std::string name = fileName.substr(fileName.find_last_of('/') + 1);
  std::size_t dot = name.find_last_of('.');
  std::string extension = dot == std::string::npos ? name : name.substr(dot + 1);
  for (char& c : extension) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return extension;
}

std::unique_ptr<TDibGraphic> ReadViewGraphic(TStream& stream, const std::string& fileName,
                                             std::int32_t imageIndex,
                                             const TDibGraphic::TProgressEvent& progress,
                                             const void* sender) {
  std::unique_ptr<TDibGraphic> reader = RegisteredReader(ReaderExtension(fileName));
  if (!reader) return ReadWithImageLibrary(stream, imageIndex, progress, sender);
  reader->OnProgress = progress;
  ReadWithReader(*reader, stream, imageIndex);
  reader->OnProgress = nullptr;
  return reader;
}
