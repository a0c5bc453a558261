// Parsing the batch command's options and running the command.
#include "cli/command_line.h"

#include <sys/stat.h>

#include <cerrno>
#include <charconv>
#include <system_error>

#include "binarize/method_catalog.h"
#include "cli/method_help.h"
#include "cli/progress.h"
#include "platform/ascii_case.h"
#include "platform/folder_list.h"
#include "platform/settings_store.h"

namespace {

constexpr std::int32_t kMaxJobs = 1024;

std::optional<std::int32_t> ReadInteger(const std::string& text) {
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return {};
  return value;
}

std::int32_t ParseInteger(const std::string& option, const std::string& text) {
  const std::optional<std::int32_t> value = ReadInteger(text);
  if (!value) throw EUsageError(option + ": '" + text + "' is not a 32-bit integer");
  return *value;
}

std::int32_t ParseInRange(const std::string& option, const std::string& text, std::int32_t low,
                          std::int32_t high) {
  const std::int32_t value = ParseInteger(option, text);
  if (value < low || value > high) {
    throw EUsageError(option + ": " + text + " is outside " + std::to_string(low) + ".." +
                      std::to_string(high));
  }
  return value;
}

// A method's number or its short name in any letter case.
std::int32_t ParseAlgo(const std::string& text) {
  if (const TMethodDescription* method = FindMethodByName(text)) return method->Algo;
  const std::string numbers = "0.." + std::to_string(MethodCatalog().back().Algo);
  if (!ReadInteger(text)) {
    throw EUsageError("--algo: '" + text + "' names no method; give a number " + numbers +
                      " or one of " + MethodNameList());
  }
  return ParseInRange("--algo", text, 0, MethodCatalog().back().Algo);
}

// "A<separator>B" as two integers.
std::pair<std::int32_t, std::int32_t> ParsePair(const std::string& option, const std::string& text,
                                                const char* separators, const char* form) {
  const auto at = text.find_first_of(separators, 1);
  if (at == std::string::npos) throw EUsageError(option + ": '" + text + "' is not " + form);
  return {ParseInteger(option, text.substr(0, at)), ParseInteger(option, text.substr(at + 1))};
}

std::int32_t ParseFormat(const std::string& text) {
  if (SameTextIgnoringCase(text, "tiff") || SameTextIgnoringCase(text, "tif")) return ofTIFF;
  if (SameTextIgnoringCase(text, "bmp")) return ofBMP;
  if (SameTextIgnoringCase(text, "png")) return ofPNG;
  throw EUsageError("--format: '" + text + "' is none of tiff, bmp, png");
}

void ParseShard(TCommandLine& c, const std::string& text) {
  const auto [index, count] = ParsePair("--shard", text, "/", "K/N");
  if (count < 1 || index < 1 || index > count) {
    throw EUsageError("--shard: " + text + " needs 1 <= K <= N");
  }
  c.ShardIndex = index;
  c.ShardCount = count;
}

struct TOption {
  const char* Long;
  char Short;
  bool TakesValue;
  void (*Apply)(TCommandLine& c, const std::string& value);
};

const TOption kOptions[] = {
    {"output", 'o', true, [](TCommandLine& c, const std::string& v) { c.OutputFolder = v; }},
    {"settings", 0, true, [](TCommandLine& c, const std::string& v) { c.SettingsFile = v; }},
    {"algo", 0, true, [](TCommandLine& c, const std::string& v) { c.Algo = ParseAlgo(v); }},
    {"method", 0, true,
     [](TCommandLine& c, const std::string& v) { c.Method = ParseInteger("--method", v); }},
    {"contrast", 0, true,
     [](TCommandLine& c, const std::string& v) { c.Contrast = ParseInteger("--contrast", v); }},
    {"brightness", 0, true,
     [](TCommandLine& c, const std::string& v) { c.Brightness = ParseInteger("--brightness", v); }},
    {"area", 0, true,
     [](TCommandLine& c, const std::string& v) {
       std::tie(c.AreaWidth, c.AreaHeight) = ParsePair("--area", v, "xX", "WxH");
     }},
    {"format", 0, true,
     [](TCommandLine& c, const std::string& v) { c.OutputFormat = ParseFormat(v); }},
    {"uncompressed", 0, false, [](TCommandLine& c, const std::string&) { c.Uncompressed = true; }},
    {"compressed", 0, false, [](TCommandLine& c, const std::string&) { c.Uncompressed = false; }},
    {"overwrite", 0, false, [](TCommandLine& c, const std::string&) { c.Overwrite = true; }},
    {"append", 0, false, [](TCommandLine& c, const std::string&) { c.Overwrite = false; }},
    {"skip-existing", 0, false, [](TCommandLine& c, const std::string&) { c.SkipExisting = true; }},
    {"all-pages", 0, false, [](TCommandLine& c, const std::string&) { c.AllPages = true; }},
    {"jobs", 'j', true,
     [](TCommandLine& c, const std::string& v) {
       c.Jobs = ParseInRange("--jobs", v, 1, kMaxJobs);
     }},
    {"shard", 0, true, ParseShard},
    {"verbose", 'v', false, [](TCommandLine& c, const std::string&) { c.Verbose = true; }},
    {"quiet", 'q', false, [](TCommandLine& c, const std::string&) { c.Quiet = true; }},
    {"help", 'h', false, [](TCommandLine& c, const std::string&) { c.Help = true; }},
    {"version", 0, false, [](TCommandLine& c, const std::string&) { c.Version = true; }},
};

const TOption* FindOption(const std::string& name, char shortName) {
  for (const auto& option : kOptions) {
    if (shortName != 0 ? option.Short == shortName : name == option.Long) return &option;
  }
  return nullptr;
}

// The stored settings and batch options, from --settings or the default store. A store
// named on the command line must exist: a mistyped name must not quietly give defaults.
void LoadStored(const TCommandLine& c, TThresholdSettings& settings, TBatchOptions& options) {
  struct stat status {};
  if (c.SettingsFile && ::stat(c.SettingsFile->c_str(), &status) != 0) {
    throw EUsageError("--settings " + *c.SettingsFile + ": " + SystemErrorText(errno));
  }
  const TSettingsStore store(c.SettingsFile.value_or(DefaultSettingsFileName()));
  LoadSettings(store, settings, options);
}

}  // namespace

TCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  TCommandLine c;
  bool onlyInputs = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (onlyInputs || argument.size() < 2 || argument[0] != '-') {
      c.Inputs.push_back(argument);
      continue;
    }
    if (argument == "--") {
      onlyInputs = true;
      continue;
    }
    const bool isLong = argument[1] == '-';
    const auto equals = argument.find('=');
    const bool hasValue = isLong ? equals != std::string::npos : argument.size() > 2;
    const std::string name = isLong ? argument.substr(2, equals - 2) : argument.substr(0, 2);
    std::string value = !hasValue ? "" : isLong ? argument.substr(equals + 1) : argument.substr(2);
    const TOption* option = FindOption(name, isLong ? 0 : argument[1]);
    if (option == nullptr) throw EUsageError("unknown option '" + argument + "'");
    const std::string shown = std::string("--") + option->Long;
    if (!option->TakesValue && hasValue) throw EUsageError(shown + " takes no value");
    if (option->TakesValue && !hasValue) {
      if (++i == arguments.size()) throw EUsageError(shown + " needs a value");
      value = arguments[i];
    }
    option->Apply(c, value);
  }
  if (c.Verbose && c.Quiet) throw EUsageError("--verbose and --quiet exclude each other");
  if (!c.Help && !c.Version && c.Inputs.empty()) {
    throw EUsageError("no input: name image files or folders");
  }
  return c;
}

TBatchRequest MakeRequest(const TCommandLine& c, const TThresholdSettings& settings,
                          const TBatchOptions& options) {
  TBatchRequest request;
  request.Inputs = c.Inputs;
  const std::string folder = c.OutputFolder.value_or(options.OutputFolder);
  if (folder.empty()) throw EUsageError("no output folder: give one with -o DIR");
  request.OutputFolder = IncludeTrailingPathDelimiter(folder);
  request.Settings = settings;
  auto& s = request.Settings;
  s.Algo = c.Algo.value_or(s.Algo);
  s.Method = c.Method.value_or(s.Method);
  s.Contrast = c.Contrast.value_or(s.Contrast);
  s.Brightness = c.Brightness.value_or(s.Brightness);
  s.AreaWidth = c.AreaWidth.value_or(s.AreaWidth);
  s.AreaHeight = c.AreaHeight.value_or(s.AreaHeight);
  request.OutputFormat = c.OutputFormat.value_or(options.OutputFormat);
  request.Uncompressed = c.Uncompressed.value_or(options.TIFFUncompressed);
  request.Overwrite = c.Overwrite.value_or(options.OverwriteTIFF);
  request.SkipExisting = c.SkipExisting;
  request.AllPages = c.AllPages;
  request.Jobs = c.Jobs.value_or(DefaultJobCount());
  request.ShardIndex = c.ShardIndex;
  request.ShardCount = c.ShardCount;
  return request;
}

std::string UsageText() {
  return std::string("Usage: ") + kProgramName + R"( [options] INPUT... -o OUTDIR
Turns scanned pages into black-and-white images. Every INPUT file, and the *.tif, *.jpg,
*.bmp and *.png files of every INPUT folder (in that order, any letter case), is binarized
and written to OUTDIR under its own name with the extension of the output format.
Options left out take the stored settings, as the desktop program saved them.

Method:
  --algo A          the method: its number or its name, any letter case (below)
  --method N        the method's choice, where it has one
  --contrast N      its first parameter, the one the left slider carries
  --brightness N    its second parameter, the one the right slider carries
  --area WxH        its local window in pixels
  --settings FILE   read the stored settings from FILE (default: $ZONEWRIGHT_SETTINGS,
                    else $XDG_CONFIG_HOME/zonewright/settings.reg, else
                    ~/.config/zonewright/settings.reg)

Methods (--algo) and the options each reads, with range and default:
)" + MethodHelpText() +
         R"(
Output:
  -o, --output DIR  output folder, created when missing
  --format F        tiff, bmp or png
  --uncompressed    write TIFF without compression
  --compressed      let the TIFF writer choose (Group 4 for bi-level pages)
  --overwrite       replace an existing TIFF output
  --append          add the image to an existing TIFF output as a further page
                    (BMP and PNG outputs are always written anew)
  --skip-existing   leave inputs whose output exists alone, to resume a run
  --all-pages       binarize every page of a multi-page TIFF into one multi-page
                    TIFF (numbered files NAME-0001.png ... for BMP and PNG);
                    without it only the first page is read

Running:
  -j, --jobs N      files processed at once (default: the number of processors)
  --shard K/N       process only the K-th of N equal shares of the sorted inputs,
                    to spread one collection over N machines (K counts from 1)
  -v, --verbose     show each file's times for reading, binarizing and writing
  -q, --quiet       show failures only
  -h, --help        show this text
  --version         show the program's version

Exit status: 0 when every file was written or skipped, 1 when any failed,
2 for a bad command line.
)";
}

int RunCommand(const std::vector<std::string>& arguments, std::FILE* out, std::FILE* err,
               bool errIsTerminal) {
  TCommandLine c;
  TBatchRequest request;
  try {
    c = ParseCommandLine(arguments);
    if (c.Help) {
      std::fputs(UsageText().c_str(), out);
      return 0;
    }
    if (c.Version) {
      std::fprintf(out, "%s %s\n", kProgramName, ZW_VERSION);
      return 0;
    }
    TThresholdSettings settings;
    TBatchOptions options;
    LoadStored(c, settings, options);
    request = MakeRequest(c, settings, options);
  } catch (const EUsageError& error) {
    std::fprintf(err, "%s: %s\nTry '%s --help' for more information.\n", kProgramName, error.what(),
                 kProgramName);
    return 2;
  }
  TProgressDisplay display(err, errIsTerminal, c.Quiet, c.Verbose);
  try {
    const TBatchSummary summary = RunBatch(request, display);
    display.Finished(summary);
    return summary.Failed == 0 ? 0 : 1;
  } catch (const std::exception& error) {
    std::fprintf(err, "%s: %s\n", kProgramName, error.what());
    return 1;
  }
}
