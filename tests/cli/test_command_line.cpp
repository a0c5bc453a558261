// The batch command's options: what each sets, what is refused, and how options and stored
// settings combine into a request.
#include <gtest/gtest.h>

#include "cli/command_line.h"

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
      {{"in", "--algo", "8"}, "--algo: 8 is outside 0..7"},
      {{"in", "--algo", "-1"}, "--algo: -1 is outside 0..7"},
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

}  // namespace
