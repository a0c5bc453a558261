// How the evaluator names the methods: parsing --algo values and labelling methods in reports.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The highest method number the settings record defines.
inline constexpr std::int32_t kLastAlgo = 11;

// "N" or "N,M,..." with every number in 0..kLastAlgo; each method once, in the order given.
// Throws EEvalUsageError naming the option otherwise.
std::vector<std::int32_t> ParseAlgoList(const std::string& option, const std::string& text);

// The label of a method in reports.
std::string MethodLabel(std::int32_t algo);
