// Runs the real zonewright-cli program with a settings store of the test's choosing, and
// collects its exit status and what it wrote to standard output and standard error.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <string>
#include <vector>

#include "temp_folder.h"

extern char** environ;

struct TCommandResult {
  int status = -1;
  std::string out;
  std::string err;
};

// The program's output goes to files in work; settings names the store it reads.
inline TCommandResult RunCommand(const std::vector<std::string>& arguments,
                                 const std::string& settings, const TTempFolder& work) {
  std::vector<std::string> environment = {"ZONEWRIGHT_SETTINGS=" + settings};
  for (char** e = environ; *e != nullptr; ++e) {
    if (std::string(*e).rfind("ZONEWRIGHT_SETTINGS=", 0) != 0) environment.emplace_back(*e);
  }
  std::vector<std::string> argv = {ZW_CLI_PATH};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  const auto pointers = [](std::vector<std::string>& texts) {
    std::vector<char*> result;
    for (auto& text : texts) result.push_back(text.data());
    result.push_back(nullptr);
    return result;
  };
  const std::vector<char*> cArgv = pointers(argv), cEnvironment = pointers(environment);
  const std::string outFile = work / "stdout", errFile = work / "stderr";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  TCommandResult result;
  pid_t pid = 0;
  if (posix_spawn(&pid, cArgv[0], &actions, nullptr, cArgv.data(), cEnvironment.data()) == 0) {
    int status = 0;
    waitpid(pid, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  posix_spawn_file_actions_destroy(&actions);
  result.out = ReadText(outFile);
  result.err = ReadText(errFile);
  return result;
}
