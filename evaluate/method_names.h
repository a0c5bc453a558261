// How the evaluator names the methods: parsing --algo values and labelling methods in reports,
// both from the one description of the methods.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// "M" or "M,M,..." where every M is a method's number or its short name in any letter case;
// each method once, in the order given. Throws EEvalUsageError naming the option otherwise.
std::vector<std::int32_t> ParseAlgoList(const std::string& option, const std::string& text);

// Every method number, in order.
std::vector<std::int32_t> AllAlgos();

// The label of a method in reports: "3 niblack"; the number alone for a number without a
// method.
std::string MethodLabel(std::int32_t algo);
