// Names of batch output files: the output folder plus the input file's name with the
// extension of the output format.
#pragma once

#include <cstdint>
#include <string>

// The name with the extension of its last component (from its last '.') replaced, or with
// the extension appended when it has none.
std::string ChangeFileExt(const std::string& fileName, const std::string& extension);
// The last component of a file name.
std::string ExtractFileName(const std::string& fileName);
// ".tif", ".bmp" or ".png" for the output formats 0, 1 and 2; empty for any other value.
std::string OutputExtension(std::int32_t outputFormat);
// outputFolder (with a trailing separator) + the input's name with the extension of the
// format; a format outside 0..2 keeps ".tif", so that such an output is a TIFF file.
std::string OutputFileName(const std::string& outputFolder, const std::string& inputFile,
                           std::int32_t outputFormat);
// The file of one page when the pages of a multi-page input go to separate files:
// "out/scan.png", page 2 -> "out/scan-0003.png" (pages count from 0, names from 1).
std::string PageFileName(const std::string& fileName, std::int32_t page);
