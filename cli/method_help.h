// The methods part of the batch command's help, generated from the method catalog: each
// method's number, name and rule, and the options it reads with their meaning, range and
// default.
#pragma once

#include <string>

// Lines of at most 80 columns, each ending with a line break.
std::string MethodHelpText();
