// The viewer's exceptions. Each carries the text the operator sees.
#pragma once

#include <string>

#include "platform/errors.h"

// A failure of the display graphic, a transform or a view reader ("Graphic is empty", ...).
class EViewerError : public EError {
 public:
  explicit EViewerError(const std::string& message) : EError(message) {}
};

// A failure of the view's TIFF reader; its text is the class name, a blank and the reason
// ("ETiffError TIFFOpen").
class ETiffError : public EError {
 public:
  explicit ETiffError(const std::string& reason) : EError("ETiffError " + reason) {}
};

// Asking a rubber band for a selection it does not have.
class ERubberbandError : public EError {
 public:
  explicit ERubberbandError(const std::string& message) : EError(message) {}
};

// The display graphic could not get the memory for its pixels.
class EOutOfResources : public EError {
 public:
  explicit EOutOfResources(const std::string& message) : EError(message) {}
};
