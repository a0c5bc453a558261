// Output file names of the batch.
#include "workflow/output_naming.h"

#include <cstdio>

#include "platform/folder_list.h"
#include "workflow/batch_options.h"

namespace {

// Position of the extension's '.' in the last component, or npos when it has none.
std::size_t ExtensionPosition(const std::string& fileName) {
  const auto dot = fileName.rfind('.');
  const auto slash = fileName.rfind(kPathDelimiter);
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
    return std::string::npos;
  }
  return dot;
}

}  // namespace

std::string ChangeFileExt(const std::string& fileName, const std::string& extension) {
  return fileName.substr(0, ExtensionPosition(fileName)) + extension;
}

std::string ExtractFileName(const std::string& fileName) {
  const auto slash = fileName.rfind(kPathDelimiter);
  return slash == std::string::npos ? fileName : fileName.substr(slash + 1);
}

std::string OutputExtension(std::int32_t outputFormat) {
  switch (outputFormat) {
    case ofTIFF:
      return ".tif";
    case ofBMP:
      return ".bmp";
    case ofPNG:
      return ".png";
    default:
      return {};
  }
}

std::string OutputFileName(const std::string& outputFolder, const std::string& inputFile,
                           std::int32_t outputFormat) {
  const std::string extension = OutputExtension(outputFormat);
  return outputFolder +
         ChangeFileExt(ExtractFileName(inputFile), extension.empty() ? ".tif" : extension);
}

std::string PageFileName(const std::string& fileName, std::int32_t page) {
  const auto dot = ExtensionPosition(fileName);
  char number[16];
  std::snprintf(number, sizeof number, "-%04d", static_cast<int>(page) + 1);
  return fileName.substr(0, dot) + number + (dot == std::string::npos ? "" : fileName.substr(dot));
}
