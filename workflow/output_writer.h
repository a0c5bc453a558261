// Writing outputs as the background saver writes them: the format follows the extension of
// the output name (".tif", ".bmp", ".png", ignoring case) or is given. A TIFF output is
// compressed by the writer's automatic choice (Group 4 for bi-level images) unless
// uncompressed; an existing TIFF output is replaced when overwrite is set and otherwise
// receives the image as a further page. BMP and PNG outputs are always written anew.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "image/dibunit.h"
#include "image/streams.h"
#include "workflow/batch_options.h"

// The writer's strip height for TIFF outputs.
inline constexpr std::int32_t kOutputRowsPerStrip = 16;

// The format the extension of fileName gives (".tif", ".bmp", ".png", ignoring case); none
// for any other extension.
std::optional<TOutputFormat> OutputFormatOfName(const std::string& fileName);

// Writes image to fileName in format, whatever the name's extension, so that a name the
// operator chose ("scan.tiff") is written as it is. Throws EError for a format outside 0..2.
void WriteOutput(TDIB& image, const std::string& fileName, std::int32_t format, bool overwrite,
                 bool uncompressed);

// Writes image in the format of fileName's extension; false, with nothing written, for any
// other extension.
bool SaveOutput(TDIB& image, const std::string& fileName, bool overwrite, bool uncompressed);

// Collects the pages of one multi-page TIFF output in memory and writes the file in one
// step, so that an interrupted run never leaves part of a document behind.
class TTIFFOutputPages {
 public:
  // Starts from the existing file unless overwrite is set.
  TTIFFOutputPages(std::string fileName, bool overwrite, bool uncompressed);
  void Add(TDIB& image);
  void Save();

 private:
  std::string fileName_;
  bool uncompressed_;
  TMemoryStream pages_;
};
