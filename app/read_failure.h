// The operator's message for an image file that could not be read, naming the file once.
#pragma once

#include <string>

// "<file> could not be read: <reason>"; a reason that starts with the file's name already
// ("<file>: Is a directory") is given without it.
std::string ReadFailureText(const std::string& fileName, const std::string& reason);
