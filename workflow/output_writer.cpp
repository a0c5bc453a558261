// The batch output writers.
#include "workflow/output_writer.h"

#include <filesystem>

#include "image/safe_file.h"
#include "platform/ascii_case.h"
#include "platform/errors.h"
#include "workflow/output_naming.h"

namespace {

constexpr const char* kUnknownOutputFormat = "Unknown output format";

TTIFFCompression Compression(bool uncompressed) {
  return uncompressed ? tcNone : tcAuto;
}

std::vector<std::uint8_t> FileBytes(const std::string& fileName) {
  TFileStream file(fileName, fmOpenRead);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(file.Size()));
  bytes.resize(file.Read(bytes.data(), bytes.size()));
  return bytes;
}

}  // namespace

std::optional<TOutputFormat> OutputFormatOfName(const std::string& fileName) {
  for (const auto format : {ofTIFF, ofBMP, ofPNG}) {
    if (EndsWithIgnoringCase(fileName, OutputExtension(format))) return format;
  }
  return std::nullopt;
}

void WriteOutput(TDIB& image, const std::string& fileName, std::int32_t format, bool overwrite,
                 bool uncompressed) {
  switch (format) {
    case ofTIFF:
      // Replacing goes through the writer's safe replacement rather than deleting first, so
      // that a failed write leaves the earlier output in place.
      image.SaveTIFFToFile(fileName, !overwrite, Compression(uncompressed), kOutputRowsPerStrip);
      break;
    case ofBMP:
      image.SaveBMPToFile(fileName);
      break;
    case ofPNG:
      image.SavePNGToFile(fileName);
      break;
    default:
      throw EError(kUnknownOutputFormat);
  }
}

bool SaveOutput(TDIB& image, const std::string& fileName, bool overwrite, bool uncompressed) {
  const auto format = OutputFormatOfName(fileName);
  if (format) WriteOutput(image, fileName, *format, overwrite, uncompressed);
  return format.has_value();
}

TTIFFOutputPages::TTIFFOutputPages(std::string fileName, bool overwrite, bool uncompressed)
    : fileName_(std::move(fileName)), uncompressed_(uncompressed) {
  if (!overwrite && std::filesystem::exists(fileName_))
    pages_ = TMemoryStream(FileBytes(fileName_));
}

void TTIFFOutputPages::Add(TDIB& image) {
  const bool append = pages_.Size() > 0;
  pages_.Seek(0, soBeginning);
  image.SaveTIFFToStream(pages_, append, Compression(uncompressed_), kOutputRowsPerStrip);
}

void TTIFFOutputPages::Save() {
  WriteFileSafely(fileName_, false, [this](TStream& stream) {
    stream.Write(pages_.Bytes().data(), pages_.Bytes().size());
  });
}
