// The score command: every page's F-measure, PSNR and DRD against its ground truth, and their
// means, for result images as they are or for a method run on the pages.
#pragma once

#include <cstdio>

#include "evaluate/eval_command_line.h"

// Returns the exit status: 0 when every page was scored, 1 when any input failed or no page
// was found.
int RunScore(const TEvalCommandLine& commandLine, std::FILE* out, std::FILE* err);
