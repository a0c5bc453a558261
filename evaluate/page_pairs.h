// The pages of an evaluation and their ground truths. A page NAME.ext has its ground truth
// NAME_gt.png (or NAME_gt.tif, NAME_gt.bmp) beside it, or in the ground-truth folder when one is
// given. Inputs whose name ends in "_gt" are ground truths themselves and are not pages.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "workflow/input_list.h"

struct TPagePair {
  std::string Name;  // the page's file name without folder and extension, for reports
  std::string Page;
  std::string Truth;
};

struct TPagePairs {
  std::vector<TPagePair> Pairs;
  std::vector<TInputError> Errors;  // inputs that cannot be read, pages without ground truth
};

// Whether a file name's stem ends in "_gt" (any letter case).
bool IsGroundTruthName(const std::string& fileName);

// Expands files and folders as the batch command does and pairs every page with its ground
// truth.
TPagePairs FindPagePairs(const std::vector<std::string>& inputs,
                         const std::optional<std::string>& truthFolder);
