// The whole evaluator: parse the command line, run score or tune, report.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

// Returns the exit status: 0 on success, 1 when an input failed, 2 for a bad command line.
// Progress goes to err, redrawn in place when err is a terminal.
int RunEvalCommand(const std::vector<std::string>& arguments, std::FILE* out, std::FILE* err,
                   bool errIsTerminal);
