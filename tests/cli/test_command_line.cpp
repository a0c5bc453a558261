// The batch command's options: what each sets, what is refused, and how options and stored
// settings combine into a request.
#include <gtest/gtest.h>

#include "binarize/method_catalog.h"
#include "cli/command_line.h"
#include "temp_folder.h"

namespace {

TCommandLine Parse(std::vector<std::string> arguments) {
  return ParseCommandLine(arguments);
}

TEST(CommandLine, OptionsSetTheirFields) {
  const TCommandLine c = Parse({"in1",
                                "--algo",
                                "7",
                                "--method=1",
                                "--contrast",
                                "-1",
                                "--brightness=300",
                                "--area",
                                "15x-1",
                                "-o",
                                "out",
                                "--format",
                                "PNG",
                                "--uncompressed",
                                "--append",
                                "--skip-existing",
                                "--all-pages",
                                "-j3",
                                "--shard",
                                "2/5",
                                "-v",
                                "--settings=/s.reg",
                                "--",
                                "-in2"});
  EXPECT_EQ(c.Inputs, (std::vector<std::string>{"in1", "-in2"}));
  EXPECT_EQ(c.Algo, 7);
  EXPECT_EQ(c.Method, 1);
  EXPECT_EQ(c.Contrast, -1);
  EXPECT_EQ(c.Brightness, 300);
  EXPECT_EQ(c.AreaWidth, 15);
  EXPECT_EQ(c.AreaHeight, -1);
  EXPECT_EQ(c.OutputFolder, "out");
  EXPECT_EQ(c.OutputFormat, ofPNG);
  EXPECT_EQ(c.Uncompressed, true);
  EXPECT_EQ(c.Overwrite, false);
  EXPECT_TRUE(c.SkipExisting);
  EXPECT_TRUE(c.AllPages);
  EXPECT_EQ(c.Jobs, 3);
  EXPECT_EQ(c.ShardIndex, 2);
  EXPECT_EQ(c.ShardCount, 5);
  EXPECT_TRUE(c.Verbose);
  EXPECT_EQ(c.SettingsFile, "/s.reg");
}

TEST(CommandLine, TheLastOfTwoOpposedOptionsWins) {
  EXPECT_EQ(Parse({"in", "--append", "--overwrite"}).Overwrite, true);
  EXPECT_EQ(Parse({"in", "--uncompressed", "--compressed"}).Uncompressed, false);
  EXPECT_FALSE(Parse({"in"}).Overwrite.has_value()) << "left to the stored options";
}

TEST(CommandLine, BadCommandLinesAreRefusedWithAReason) {
  struct TCase {
    std::vector<std::string> arguments;
    const char* message;
  } cases[] = {
      {{}, "no input"},
      {{"in", "--bogus"}, "unknown option '--bogus'"},
      {{"in", "-x"}, "unknown option '-x'"},
      {{"in", "--algo"}, "--algo needs a value"},
      {{"in", "--algo", "12"}, "--algo: 12 is outside 0..11"},
      {{"in", "--algo", "-1"}, "--algo: -1 is outside 0..11"},
      {{"in", "--algo", "otsu"},
       "--algo: 'otsu' names no method; give a number 0..11 or one of standard, auto, dynamic, "
       "niblack, edge, pei, adaptive, background-tracking, sauvola, wolf, nick, normalized"},
      {{"in", "--algo", "sauvola2"}, "names no method"},
      {{"in", "--algo", ""}, "names no method"},
      {{"in", "--contrast", "12a"}, "--contrast: '12a' is not a 32-bit integer"},
      {{"in", "--brightness", "4294967296"}, "not a 32-bit integer"},
      {{"in", "--brightness", ""}, "not a 32-bit integer"},
      {{"in", "--area", "7"}, "--area: '7' is not WxH"},
      {{"in", "--area", "7x"}, "not a 32-bit integer"},
      {{"in", "--format", "gif"}, "--format: 'gif' is none of tiff, bmp, png"},
      {{"in", "--jobs", "0"}, "--jobs: 0 is outside"},
      {{"in", "--shard", "0/2"}, "--shard: 0/2 needs 1 <= K <= N"},
      {{"in", "--shard", "3/2"}, "needs 1 <= K <= N"},
      {{"in", "--shard", "1/0"}, "needs 1 <= K <= N"},
      {{"in", "--shard", "2"}, "is not K/N"},
      {{"in", "--quiet=yes"}, "--quiet takes no value"},
      {{"in", "-v", "-q"}, "exclude each other"},
  };
  for (const auto& c : cases) {
    try {
      Parse(c.arguments);
      ADD_FAILURE() << "accepted: " << testing::PrintToString(c.arguments);
    } catch (const EUsageError& error) {
      EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos)
          << error.what() << " lacks " << c.message;
    }
  }
}

// --algo takes a method's number or its name in any letter case.
TEST(CommandLine, AlgoTakesANumberOrAName) {
  struct TCase {
    const char* text;
    std::int32_t algo;
    const char* reason;
  } cases[] = {
      {"0", taStandard, "the first number"},
      {"11", taBackgroundNormalized, "the last number"},
      {"5", taPEI, "the external engine's number, as a stored setting may hold it"},
      {"standard", taStandard, "a name"},
      {"Background-Tracking", taBackgroundTracking, "any letter case"},
      {"SAUVOLA", taSauvola, "a new method by name"},
      {"wolf", taWolfJolion, "its short name"},
      {"nick", taNick, "NICK"},
      {"normalized", taBackgroundNormalized, "background-normalised"},
  };
  for (const TCase& c : cases) EXPECT_EQ(Parse({"in", "--algo", c.text}).Algo, c.algo) << c.reason;
  for (const TMethodDescription& method : MethodCatalog()) {
    EXPECT_EQ(Parse({"in", "--algo=" + method.Name}).Algo, method.Algo) << method.Name;
  }
}

// A store written with one of the methods after the first eight keeps it: the batch command
// runs the stored method, not a clamped or defaulted one.
TEST(CommandLine, AStoredNewMethodIsKept) {
  TTempFolder folder;
  const TSettingsStore store(
      folder.Write("s.reg",
                   "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Vardemont Technologies\\Zonewright\\"
                   "Thresholding]\n\"Algo\"=dword:0000000a\n\"Contrast\"=dword:00000012\n"));
  TThresholdSettings settings;
  TBatchOptions options;
  LoadSettings(store, settings, options);
  const TBatchRequest request = MakeRequest(Parse({"a", "-o", "/o/"}), settings, options);
  EXPECT_EQ(request.Settings.Algo, taNick);
  EXPECT_EQ(request.Settings.Contrast, 18);
}

TEST(CommandLine, HelpNeedsNoInput) {
  EXPECT_TRUE(Parse({"--help"}).Help);
}

TEST(CommandLine, OptionsOverrideTheStoredSettings) {
  const TThresholdSettings stored{2, 1, 50, 60, 9, 11, 80, 128, 200};
  const TBatchOptions options{"/in/", "/stored", true, false, ofBMP};
  const TBatchRequest plain = MakeRequest(Parse({"a"}), stored, options);
  EXPECT_EQ(plain.Settings, stored);
  EXPECT_EQ(plain.OutputFolder, "/stored/") << "a separator is added";
  EXPECT_EQ(plain.OutputFormat, ofBMP);
  EXPECT_TRUE(plain.Uncompressed);
  EXPECT_FALSE(plain.Overwrite);
  EXPECT_GE(plain.Jobs, 1);

  const TBatchRequest over =
      MakeRequest(Parse({"a", "--algo", "3", "--contrast", "70", "--area", "3x5", "-o", "/o/",
                         "--format", "tiff", "--compressed", "--overwrite", "-j", "2"}),
                  stored, options);
  EXPECT_EQ(over.Settings, (TThresholdSettings{3, 1, 70, 60, 3, 5, 80, 128, 200}));
  EXPECT_EQ(over.OutputFolder, "/o/");
  EXPECT_EQ(over.OutputFormat, ofTIFF);
  EXPECT_FALSE(over.Uncompressed);
  EXPECT_TRUE(over.Overwrite);
  EXPECT_EQ(over.Jobs, 2);
}

TEST(CommandLine, AnEmptyOutputFolderIsRefused) {
  const TBatchOptions noFolder{"", "", false, true, ofTIFF};
  EXPECT_THROW(MakeRequest(Parse({"a"}), {}, noFolder), EUsageError);
  EXPECT_THROW(MakeRequest(Parse({"a", "-o", ""}), {}, {"/i/", "/o/", false, true, 0}),
               EUsageError);
}

TEST(CommandLine, HelpListsEveryOption) {
  const std::string usage = UsageText();
  for (const char* option :
       {"--algo", "--method", "--contrast", "--brightness", "--area", "--settings", "--output",
        "--format", "--uncompressed", "--compressed", "--overwrite", "--append", "--skip-existing",
        "--all-pages", "--jobs", "--shard", "--verbose", "--quiet", "--help"}) {
    EXPECT_NE(usage.find(option), std::string::npos) << option;
  }
}

// Every method appears in the help with its number, its name and its rule.
TEST(CommandLine, HelpListsEveryMethod) {
  const std::string usage = UsageText();
  for (const TMethodDescription& method : MethodCatalog()) {
    const std::string head = std::to_string(method.Algo) + " " + method.Name;
    EXPECT_NE(usage.find(head + std::string(20 - method.Name.size(), ' ') + method.Caption),
              std::string::npos)
        << head;
  }
  EXPECT_NE(usage.find("--contrast        -k x 100, so k = -Contrast / 100, typically 10..20"),
            std::string::npos)
      << "NICK's contrast with its meaning:\n"
      << usage;
}

}  // namespace
