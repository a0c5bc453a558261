// One walk through a folder in the real window against the batch command: five generated
// pages, Next and Auto Save, the same stored settings; the outputs must be the same files.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include "batch_window_fixture.h"
#include "workflow/batch_options.h"

extern char** environ;

namespace {

// Runs the batch command with arguments; its exit status, -1 when it did not run.
int RunBatchCommand(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), ZW_CLI_PATH);
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST_F(TBatchWindowTest, WalkWritesWhatTheBatchCommandWrites) {
  TThresholdSettings settings;
  settings.Algo = taDynamic;
  settings.Method = 1;
  settings.Contrast = 12;
  settings.Brightness = -1;
  settings.AreaWidth = 9;
  settings.AreaHeight = 9;
  TBatchOptions options;
  options.OverwriteTIFF = false;
  {
    TSettingsStore store(folder / "settings.reg");
    SaveSettings(store, settings, options);
    store.Save();
  }
  const std::vector<std::string> names = {"p1.tif", "p2.tif", "p3.tif", "p4.tif", "p5.tif"};
  StartBatch(names);
  for (int i = 0; i < 4; ++i) Run(window->ActionNextImage);
  window->close();
  window.reset();

  TTempFolder command;
  ASSERT_EQ(RunBatchCommand({"--settings", folder / "settings.reg", "-q", "-j", "1", In(), "-o",
                             command.Path()}),
            0);
  // The files differ only in the time of writing that the TIFF writer records.
  for (const std::string& name : names) {
    ASSERT_TRUE(std::filesystem::exists(Out() + name)) << name;
    EXPECT_EQ(std::filesystem::file_size(Out() + name), std::filesystem::file_size(command / name))
        << name;
    EXPECT_TRUE(FilePixels(Out() + name) == FilePixels(command / name)) << name;
  }
}
