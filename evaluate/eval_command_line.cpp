// Parsing the evaluator's command line.
#include "evaluate/eval_command_line.h"

#include <charconv>
#include <tuple>

#include "evaluate/method_names.h"

namespace {

constexpr std::int32_t kMaxJobs = 1024;

std::int32_t ParseInteger(const std::string& option, const std::string& text) {
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
    throw EEvalUsageError(option + ": '" + text + "' is not a 32-bit integer");
  }
  return value;
}

std::pair<std::int32_t, std::int32_t> ParseArea(const std::string& text) {
  const auto at = text.find_first_of("xX", 1);
  if (at == std::string::npos) throw EEvalUsageError("--area: '" + text + "' is not WxH");
  return {ParseInteger("--area", text.substr(0, at)), ParseInteger("--area", text.substr(at + 1))};
}

std::int32_t ParseJobs(const std::string& text) {
  const std::int32_t jobs = ParseInteger("--jobs", text);
  if (jobs < 1 || jobs > kMaxJobs) {
    throw EEvalUsageError("--jobs: " + text + " is outside 1.." + std::to_string(kMaxJobs));
  }
  return jobs;
}

using TEvalApply = void (*)(TEvalCommandLine& c, const std::string& value);

struct TEvalOption {
  const char* Long;
  char Short;
  bool TakesValue;
  bool ForScore;  // whether score takes it; tune takes the others
  bool ForTune;
  TEvalApply Apply;
};

const TEvalOption kEvalOptions[] = {
    {"algo", 0, true, true, true,
     [](TEvalCommandLine& c, const std::string& v) { c.Algos = ParseAlgoList("--algo", v); }},
    {"method", 0, true, true, false,
     [](TEvalCommandLine& c, const std::string& v) { c.Method = ParseInteger("--method", v); }},
    {"contrast", 0, true, true, false,
     [](TEvalCommandLine& c, const std::string& v) { c.Contrast = ParseInteger("--contrast", v); }},
    {"brightness", 0, true, true, false,
     [](TEvalCommandLine& c, const std::string& v) {
       c.Brightness = ParseInteger("--brightness", v);
     }},
    {"area", 0, true, true, false,
     [](TEvalCommandLine& c, const std::string& v) {
       std::tie(c.AreaWidth, c.AreaHeight) = ParseArea(v);
     }},
    {"gt", 0, true, true, true,
     [](TEvalCommandLine& c, const std::string& v) { c.TruthFolder = v; }},
    {"csv", 0, false, true, true, [](TEvalCommandLine& c, const std::string&) { c.Csv = true; }},
    {"jobs", 'j', true, false, true,
     [](TEvalCommandLine& c, const std::string& v) { c.Jobs = ParseJobs(v); }},
    {"quiet", 'q', false, true, true,
     [](TEvalCommandLine& c, const std::string&) { c.Quiet = true; }},
    {"help", 'h', false, true, true,
     [](TEvalCommandLine& c, const std::string&) { c.Help = true; }},
    {"version", 0, false, true, true,
     [](TEvalCommandLine& c, const std::string&) { c.Version = true; }},
};

const TEvalOption* FindEvalOption(const std::string& name, char shortName) {
  for (const auto& option : kEvalOptions) {
    if (shortName != 0 ? option.Short == shortName : name == option.Long) return &option;
  }
  return nullptr;
}

TEvalCommand ParseCommand(const std::string& word) {
  if (word == "score") return TEvalCommand::ecScore;
  if (word == "tune") return TEvalCommand::ecTune;
  throw EEvalUsageError("unknown command '" + word + "': give score or tune");
}

// One option at arguments[i]; i moves past a separate value. Returns the option applied.
const TEvalOption& ApplyOption(TEvalCommandLine& c, const std::vector<std::string>& arguments,
                               std::size_t& i) {
  const std::string& argument = arguments[i];
  const bool isLong = argument[1] == '-';
  const auto equals = argument.find('=');
  const bool hasValue = isLong ? equals != std::string::npos : argument.size() > 2;
  const std::string name = isLong ? argument.substr(2, equals - 2) : argument.substr(0, 2);
  std::string value = !hasValue ? "" : isLong ? argument.substr(equals + 1) : argument.substr(2);
  const TEvalOption* option = FindEvalOption(name, isLong ? 0 : argument[1]);
  if (option == nullptr) throw EEvalUsageError("unknown option '" + argument + "'");
  const std::string shown = std::string("--") + option->Long;
  if (!option->TakesValue && hasValue) throw EEvalUsageError(shown + " takes no value");
  if (option->TakesValue && !hasValue) {
    if (++i == arguments.size()) throw EEvalUsageError(shown + " needs a value");
    value = arguments[i];
  }
  option->Apply(c, value);
  return *option;
}

// Options are checked against the command once it is known, wherever it stood.
void CheckOptions(const TEvalCommandLine& c, const std::vector<const TEvalOption*>& given) {
  const bool score = c.Command == TEvalCommand::ecScore;
  for (const TEvalOption* option : given) {
    if (!(score ? option->ForScore : option->ForTune)) {
      throw EEvalUsageError(std::string("--") + option->Long + " is not an option of " +
                            (score ? "score" : "tune"));
    }
  }
}

void CheckComplete(const TEvalCommandLine& c, const std::vector<const TEvalOption*>& given) {
  if (c.Help || c.Version) return;
  if (c.Command == TEvalCommand::ecNone) throw EEvalUsageError("no command: give score or tune");
  CheckOptions(c, given);
  if (c.Inputs.empty()) throw EEvalUsageError("no input: name pages or folders");
  if (c.Command == TEvalCommand::ecScore && c.Algos.size() > 1) {
    throw EEvalUsageError("--algo: score runs one method");
  }
  const bool settingGiven = c.Method || c.Contrast || c.Brightness || c.AreaWidth;
  if (c.Command == TEvalCommand::ecScore && settingGiven && c.Algos.empty()) {
    throw EEvalUsageError("method settings need --algo");
  }
}

}  // namespace

TEvalCommandLine ParseEvalCommandLine(const std::vector<std::string>& arguments) {
  TEvalCommandLine c;
  std::vector<const TEvalOption*> given;
  bool onlyInputs = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (!onlyInputs && argument == "--") {
      onlyInputs = true;
    } else if (onlyInputs || argument.size() < 2 || argument[0] != '-') {
      if (c.Command == TEvalCommand::ecNone) {
        c.Command = ParseCommand(argument);
      } else {
        c.Inputs.push_back(argument);
      }
    } else {
      given.push_back(&ApplyOption(c, arguments, i));
    }
  }
  CheckComplete(c, given);
  return c;
}

TThresholdSettings ScoreSettings(const TEvalCommandLine& c) {
  TThresholdSettings s;
  if (!c.Algos.empty()) s.Algo = c.Algos.front();
  s.Method = c.Method.value_or(s.Method);
  s.Contrast = c.Contrast.value_or(s.Contrast);
  s.Brightness = c.Brightness.value_or(s.Brightness);
  s.AreaWidth = c.AreaWidth.value_or(s.AreaWidth);
  s.AreaHeight = c.AreaHeight.value_or(s.AreaHeight);
  return s;
}
