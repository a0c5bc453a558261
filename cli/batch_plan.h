// The plan of a batch run: inputs grouped by the output file they produce, and the share of
// the groups one machine of many processes.
//
// Inputs that produce the same output file (scan.tif and scan.jpg both give scan.tif) form
// one group and are processed one after another in list order, so that appending pages or
// replacing the file gives the same result as a run without parallel jobs. Groups are sorted
// by output name, byte by byte, so that every machine sharing a collection plans alike
// whatever the order of its arguments or its locale.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct TOutputGroup {
  std::string Output;
  std::vector<std::string> Inputs;
};

std::vector<TOutputGroup> GroupByOutput(const std::vector<std::string>& files,
                                        const std::string& outputFolder, std::int32_t outputFormat);

// The half-open range [first, last) of count items that share index (1..shards) of shards
// holds: consecutive ranges whose sizes differ by at most one and that cover every item once.
std::pair<std::size_t, std::size_t> ShardRange(std::size_t count, std::int32_t index,
                                               std::int32_t shards);
