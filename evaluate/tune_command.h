// The tune command: each method's grid on every page, and the best settings found.
#pragma once

#include <cstdio>

#include "evaluate/eval_command_line.h"

// Returns the exit status: 0 when every page was read, 1 when any input failed or no page
// was found. Settings that fail or leave pages gray are reported, never fatal.
int RunTune(const TEvalCommandLine& commandLine, std::FILE* out, std::FILE* err,
            bool errIsTerminal);
