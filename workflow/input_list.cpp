// Expanding the inputs of a batch into image files.
#include "workflow/input_list.h"

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "platform/errors.h"
#include "platform/folder_list.h"

namespace {

// The entries of a folder that match the masks, mask by mask. Throws EOSError when the folder
// cannot be read.
std::vector<std::string> ListImages(const std::string& folder) {
  const std::string prefix = IncludeTrailingPathDelimiter(folder);
  std::vector<std::string> files;
  for (const char* mask : kImageMasks) {
    for (const auto& name : ListFolder(prefix, mask)) files.push_back(prefix + name);
  }
  return files;
}

class TCollector {
 public:
  void Add(const std::string& file) {
    if (list_.Identities.insert(FileIdentity(file)).second) list_.Files.push_back(file);
  }
  void AddFolder(const std::string& folder) {
    for (const auto& file : ListImages(folder)) {
      std::error_code error;
      if (!std::filesystem::is_directory(file, error)) Add(file);
    }
  }
  void AddError(const std::string& input, std::string reason) {
    list_.Errors.push_back({input, std::move(reason)});
  }
  TInputList Take() { return std::move(list_); }

 private:
  TInputList list_;
};

}  // namespace

std::vector<std::string> ScanImageFolder(const std::string& folder) {
  try {
    return ListImages(folder);
  } catch (const EOSError&) {
    return {};
  }
}

std::string FileIdentity(const std::string& fileName) {
  std::error_code error;
  const auto canonical = std::filesystem::weakly_canonical(fileName, error);
  return error ? fileName : canonical.string();
}

TInputList CollectInputs(const std::vector<std::string>& inputs) {
  TCollector collector;
  for (const auto& input : inputs) {
    struct stat status {};
    if (::stat(input.c_str(), &status) != 0) {
      collector.AddError(input, SystemErrorText(errno));
    } else if (!S_ISDIR(status.st_mode)) {
      collector.Add(input);
    } else {
      try {
        collector.AddFolder(input);
      } catch (const EOSError& error) {
        collector.AddError(input, SystemErrorText(error.ErrorCode()));
      }
    }
  }
  return collector.Take();
}
