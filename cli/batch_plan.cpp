// Grouping the inputs by output file and dividing the groups between machines.
#include "cli/batch_plan.h"

#include <map>

#include "workflow/output_naming.h"

std::vector<TOutputGroup> GroupByOutput(const std::vector<std::string>& files,
                                        const std::string& outputFolder,
                                        std::int32_t outputFormat) {
  std::map<std::string, std::vector<std::string>> byOutput;
  for (const auto& file : files) {
    byOutput[OutputFileName(outputFolder, file, outputFormat)].push_back(file);
  }
  std::vector<TOutputGroup> groups;
  groups.reserve(byOutput.size());
  for (auto& [output, inputs] : byOutput) groups.push_back({output, std::move(inputs)});
  return groups;
}

std::pair<std::size_t, std::size_t> ShardRange(std::size_t count, std::int32_t index,
                                               std::int32_t shards) {
  // floor(count * k / shards), split so that no product overflows.
  const auto n = static_cast<std::uint64_t>(shards);
  const auto bound = [&](std::int32_t k) {
    const auto kk = static_cast<std::uint64_t>(k);
    return static_cast<std::size_t>(count / n * kk + count % n * kk / n);
  };
  return {bound(index - 1), bound(index)};
}
