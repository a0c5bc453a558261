// zonewright-cli: the headless batch command.
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/command_line.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  return RunCommand(arguments, stdout, stderr, ::isatty(STDERR_FILENO) != 0);
}
