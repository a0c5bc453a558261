// The message for an unreadable image file.
#include "app/read_failure.h"

std::string ReadFailureText(const std::string& fileName, const std::string& reason) {
  const std::string named = fileName + ": ";
  const bool startsWithName = reason.compare(0, named.size(), named) == 0;
  return fileName +
         " could not be read: " + (startsWithName ? reason.substr(named.size()) : reason);
}
