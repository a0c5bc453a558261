// The PNG codec's plumbing: see png_codec.h.
#include "image/png_codec.h"

#include <cstdio>

#include "platform/errors.h"

namespace {

// libpng's error exit: keeps the message and jumps back to the boundary's setjmp.
void ErrorExit(png_structp png, png_const_charp message) {
  auto* failure = static_cast<TPngSession::TFailure*>(png_get_error_ptr(png));
  std::snprintf(failure->message, sizeof failure->message, "%s", message);
  png_longjmp(png, 1);
}

// Warnings (an unknown chunk, a bad ancillary CRC) change nothing in the image.
void IgnoreWarning(png_structp, png_const_charp) {}

void ReadFromStream(png_structp png, png_bytep data, png_size_t length) {
  auto* io = static_cast<TPngSession::TIo*>(png_get_io_ptr(png));
  std::size_t got = 0;
  try {
    got = io->stream->Read(data, length);
  } catch (...) {
    io->failure->streamError = std::current_exception();
  }
  // png_error leaves by longjmp, so it is called only once the catch block is over.
  if (io->failure->streamError) png_error(png, "stream failure");
  if (got != length) png_error(png, "Unexpected end of PNG data");
}

void WriteToStream(png_structp png, png_bytep data, png_size_t length) {
  auto* io = static_cast<TPngSession::TIo*>(png_get_io_ptr(png));
  try {
    io->stream->Write(data, length);
  } catch (...) {
    io->failure->streamError = std::current_exception();
  }
  if (io->failure->streamError) png_error(png, "stream failure");
}

void FlushStream(png_structp) {}

}  // namespace

TPngSession::TPngSession(TStream& stream, TDirection direction)
    : direction_(direction), io_{&stream, &failure_} {
  png_ = direction == pdRead
             ? png_create_read_struct(PNG_LIBPNG_VER_STRING, &failure_, ErrorExit, IgnoreWarning)
             : png_create_write_struct(PNG_LIBPNG_VER_STRING, &failure_, ErrorExit, IgnoreWarning);
  if (png_ != nullptr) info_ = png_create_info_struct(png_);
  if (info_ == nullptr) {
    Destroy();
    throw EError("PNG codec cannot start: out of memory");
  }
  if (direction == pdRead) {
    png_set_read_fn(png_, &io_, ReadFromStream);
  } else {
    png_set_write_fn(png_, &io_, WriteToStream, FlushStream);
  }
}

TPngSession::~TPngSession() {
  Destroy();
}

void TPngSession::Destroy() {
  if (direction_ == pdRead) {
    png_destroy_read_struct(&png_, &info_, nullptr);
  } else {
    png_destroy_write_struct(&png_, &info_);
  }
}

void TPngSession::Raise() const {
  if (failure_.streamError) std::rethrow_exception(failure_.streamError);
  throw EError(failure_.message[0] != 0 ? failure_.message : "PNG codec failure");
}
