// The PNG codec's error plumbing: see png_codec.h.
#include "image/png_codec.h"

#include <cstdio>

#include "platform/errors.h"

void PngErrorExit(png_structp png, png_const_charp message) {
  auto* failure = static_cast<TPngFailure*>(png_get_error_ptr(png));
  std::snprintf(failure->message, sizeof failure->message, "%s", message);
  png_longjmp(png, 1);
}

void PngIgnoreWarning(png_structp, png_const_charp) {}

void RaisePngFailure(const TPngFailure& failure) {
  if (failure.streamError) std::rethrow_exception(failure.streamError);
  throw EError(failure.message[0] != 0 ? failure.message : "PNG codec failure");
}
