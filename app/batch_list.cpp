// The batch list, its output names and its navigation.
#include "app/batch_list.h"

#include <sys/stat.h>

#include "platform/folder_list.h"
#include "workflow/input_list.h"
#include "workflow/output_naming.h"

void TBatchList::Scan(const std::string& folder) {
  Assign(ScanImageFolder(folder));
}

void TBatchList::Assign(std::vector<std::string> entries) {
  entries_ = std::move(entries);
  index_ = entries_.empty() ? -1 : 0;
}

std::string BatchPanelText(const std::string& fileName, const TBatchList& batch) {
  return fileName + " (" + std::to_string(batch.Index() + 1) + " of " +
         std::to_string(batch.Count()) + ")";
}

std::string WithTrailingSeparator(const std::string& folder) {
  if (!folder.empty() && folder.back() == kPathDelimiter) return folder;
  return folder + kPathDelimiter;
}

std::string BatchOutputName(const TBatchOptions& options, const std::string& input) {
  return OutputFileName(options.OutputFolder, input, options.OutputFormat);
}

bool SameFile(const std::string& a, const std::string& b) {
  if (FileIdentity(a) == FileIdentity(b)) return true;
  struct stat first {
  }, second{};
  return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

TBatchStep BatchStepOf(TBatchMove move, std::int32_t index, std::int32_t count) {
  switch (move) {
    case TBatchMove::bmFirst:
      return {count > 0 ? 0 : -1, nullptr};
    case TBatchMove::bmPrior:
      if (index - 1 < 0) return {-1, "This is the first file of the batch !"};
      return {index - 1, nullptr};
    case TBatchMove::bmNext:
      if (index + 1 > count - 1) return {-1, "This is the last file of the batch !"};
      return {index + 1, nullptr};
    case TBatchMove::bmLast:
      return {count - 1, nullptr};
  }
  return {-1, nullptr};
}
