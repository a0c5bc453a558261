// The batch: the image files of the input folder, walked one at a time. Batch mode is on
// exactly while the list holds an entry; the selected entry is the image being worked on.
// Output names come from the naming the batch command uses, so that both programs agree on
// where a page's result lands.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "workflow/batch_options.h"

class TBatchList {
 public:
  // Lists the images of folder by the masks (see ScanImageFolder) and selects the first.
  void Scan(const std::string& folder);
  void Assign(std::vector<std::string> entries);
  void Clear() { Assign({}); }

  bool Empty() const { return entries_.empty(); }
  std::int32_t Count() const { return static_cast<std::int32_t>(entries_.size()); }
  // The selected entry, -1 for none.
  std::int32_t Index() const { return index_; }
  void Select(std::int32_t index) { index_ = index; }
  bool HasCurrent() const { return index_ >= 0 && index_ < Count(); }
  const std::string& Current() const { return entries_[static_cast<std::size_t>(index_)]; }
  const std::string& Entry(std::int32_t i) const { return entries_[static_cast<std::size_t>(i)]; }
  const std::vector<std::string>& Entries() const { return entries_; }

 private:
  std::vector<std::string> entries_;
  std::int32_t index_ = -1;
};

// The file panel's text in batch mode: "scan.tif (2 of 5)".
std::string BatchPanelText(const std::string& fileName, const TBatchList& batch);

// A folder name as the batch keeps it: with a trailing separator (an empty name becomes "/").
std::string WithTrailingSeparator(const std::string& folder);

// The output file of an input in batch mode.
std::string BatchOutputName(const TBatchOptions& options, const std::string& input);

// Whether two names are the same file: the same path, or the same device and inode.
bool SameFile(const std::string& a, const std::string& b);

enum class TBatchMove { bmFirst, bmPrior, bmNext, bmLast };

// Where a navigation action goes from index in a list of count entries: the entry to open
// (-1: none, the selection stays) and the message to show when the move would pass an end.
struct TBatchStep {
  std::int32_t Index;
  const char* Message;  // null when there is nothing to say
};
TBatchStep BatchStepOf(TBatchMove move, std::int32_t index, std::int32_t count);
