// The PNG codec's plumbing shared by the reader and the writer: libpng's failures leave its C
// frames by longjmp to a setjmp in a small boundary function, and a failure of our stream
// inside a libpng callback is stored and raised again once libpng has returned. No C++
// exception ever unwinds through libpng, and nothing here is shared between threads.
#pragma once

#include <png.h>

#include <exception>

#include "image/stream.h"

// What went wrong inside libpng, kept until the boundary function has returned.
struct TPngFailure {
  char message[256] = {};
  std::exception_ptr streamError;  // a failure of the stream itself, raised as it was
};

// The I/O pointer libpng hands to the read and write callbacks.
struct TPngIo {
  TStream* stream;
  TPngFailure* failure;
};

// libpng's error exit: stores the message and jumps back to the boundary's setjmp.
void PngErrorExit(png_structp png, png_const_charp message);
// Warnings (an unknown chunk, a bad ancillary CRC) change nothing in the image.
void PngIgnoreWarning(png_structp png, png_const_charp message);
// Raises what the boundary recorded: the stream's exception, else libpng's message.
[[noreturn]] void RaisePngFailure(const TPngFailure& failure);
