// The operating system's error texts for EOSError.
#include "platform/errors.h"

#include <cstring>

std::string SystemErrorText(int errorCode) {
  char buffer[256] = {};
  // The GNU strerror_r returns the text it chose, which may not be the buffer.
  return strerror_r(errorCode, buffer, sizeof buffer);
}

EOSError::EOSError(int errorCode) : EError(SystemErrorText(errorCode)), errorCode_(errorCode) {}

EOSError::EOSError(int errorCode, const std::string& context)
    : EError(context + ": " + SystemErrorText(errorCode)), errorCode_(errorCode) {}
