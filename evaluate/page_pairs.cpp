// Pairing pages with their ground truths.
#include "evaluate/page_pairs.h"

#include <filesystem>

#include "platform/ascii_case.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kTruthSuffix = "_gt";
constexpr const char* kTruthExtensions[] = {".png", ".tif", ".bmp"};

bool EndsWithIgnoringCase(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         SameTextIgnoringCase(text.substr(text.size() - tail.size()), tail);
}

std::optional<std::string> FindTruth(const fs::path& page,
                                     const std::optional<std::string>& folder) {
  const fs::path base = folder ? fs::path(*folder) : page.parent_path();
  for (const char* extension : kTruthExtensions) {
    const fs::path truth = base / (page.stem().string() + kTruthSuffix + extension);
    std::error_code error;
    if (fs::is_regular_file(truth, error)) return truth.string();
  }
  return std::nullopt;
}

}  // namespace

bool IsGroundTruthName(const std::string& fileName) {
  return EndsWithIgnoringCase(fs::path(fileName).stem().string(), kTruthSuffix);
}

TPagePairs FindPagePairs(const std::vector<std::string>& inputs,
                         const std::optional<std::string>& truthFolder) {
  const TInputList list = CollectInputs(inputs);
  TPagePairs pairs{{}, list.Errors};
  for (const std::string& page : list.Files) {
    if (IsGroundTruthName(page)) continue;
    const auto truth = FindTruth(page, truthFolder);
    if (!truth) {
      const fs::path where = truthFolder ? fs::path(*truthFolder) : fs::path(page).parent_path();
      const std::string expected = (where / (fs::path(page).stem().string() + "_gt.png")).string();
      pairs.Errors.push_back({page, "no ground truth (looked for " + expected + ")"});
      continue;
    }
    pairs.Pairs.push_back({fs::path(page).stem().string(), page, *truth});
  }
  return pairs;
}
