// Method numbers and names on the command line and in reports.
#include "evaluate/method_names.h"

#include <algorithm>
#include <charconv>

#include "binarize/method_catalog.h"
#include "evaluate/eval_command_line.h"

namespace {

std::int32_t ParseAlgo(const std::string& option, const std::string& text) {
  if (const TMethodDescription* method = FindMethodByName(text)) return method->Algo;
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
      FindMethod(value) == nullptr) {
    throw EEvalUsageError(option + ": '" + text + "' is no method: give a number 0.." +
                          std::to_string(MethodCatalog().back().Algo) + " or one of " +
                          MethodNameList());
  }
  return value;
}

}  // namespace

std::vector<std::int32_t> ParseAlgoList(const std::string& option, const std::string& text) {
  std::vector<std::int32_t> algos;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(',', start);
    const std::int32_t algo = ParseAlgo(option, text.substr(start, comma - start));
    if (std::find(algos.begin(), algos.end(), algo) == algos.end()) algos.push_back(algo);
    if (comma == std::string::npos) return algos;
    start = comma + 1;
  }
}

std::vector<std::int32_t> AllAlgos() {
  std::vector<std::int32_t> algos;
  for (const TMethodDescription& method : MethodCatalog()) algos.push_back(method.Algo);
  return algos;
}

std::string MethodLabel(std::int32_t algo) {
  const TMethodDescription* method = FindMethod(algo);
  return std::to_string(algo) + (method != nullptr ? " " + method->Name : "");
}
