// The exceptions of the system. Every failure carries the text the operator sees;
// operating-system failures carry the system's own error text.
#pragma once

#include <stdexcept>
#include <string>

// The operating system's text for an errno value.
std::string SystemErrorText(int errorCode);

// A failure with a fixed message text ("Bit depht not allowed", ...).
class EError : public std::runtime_error {
 public:
  explicit EError(const std::string& message) : std::runtime_error(message) {}
};

// A failure reported by the operating system, with the system's text for an errno value.
class EOSError : public EError {
 public:
  explicit EOSError(int errorCode);
  EOSError(int errorCode, const std::string& context);
  int ErrorCode() const { return errorCode_; }

 private:
  int errorCode_;
};
