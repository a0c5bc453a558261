// zonewright-eval: measures binarization quality against ground truth and tunes the methods.
#include <unistd.h>

#include <string>
#include <vector>

#include "evaluate/eval_command.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  return RunEvalCommand(arguments, stdout, stderr, ::isatty(STDERR_FILENO) != 0);
}
