// The operating system's error texts for EOSError.
#include "platform/errors.h"

#include <cstring>

namespace {
std::string SystemText(int errorCode) {
  char buffer[256] = {};
  // The GNU strerror_r returns the text it chose, which may not be the buffer.
  return strerror_r(errorCode, buffer, sizeof buffer);
}
}  // namespace

EOSError::EOSError(int errorCode) : EError(SystemText(errorCode)), errorCode_(errorCode) {}

EOSError::EOSError(int errorCode, const std::string& context)
    : EError(context + ": " + SystemText(errorCode)), errorCode_(errorCode) {}
