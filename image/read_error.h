// EReadError, the refusal of an image file reader: the fixed text the operator knows
// ("TIFFOpen", "Invalid bitmap file !") and, beside it, the reason the library or the reader
// gave. Its message is "text (reason)", which is what the batch command prints; a message box
// can show Text() as the message and Reason() as its detail.
#pragma once

#include <string>

#include "platform/errors.h"

class EReadError : public EError {
 public:
  EReadError(const std::string& text, const std::string& reason)
      : EError(reason.empty() ? text : text + " (" + reason + ")"), text_(text), reason_(reason) {}
  const std::string& Text() const { return text_; }
  const std::string& Reason() const { return reason_; }

 private:
  std::string text_;
  std::string reason_;
};
