// The PNG codec's plumbing shared by the reader and the writer: the libpng objects of one
// decoding or encoding over a TStream, destroyed on every path. libpng's failures leave its C
// frames by longjmp to a setjmp in a small boundary function of the caller; a failure of the
// stream inside a libpng callback is stored and raised again once libpng has returned. No C++
// exception ever unwinds through libpng, and nothing here is shared between threads.
#pragma once

#include <png.h>

#include <exception>

#include "image/stream.h"

class TPngSession {
 public:
  enum TDirection { pdRead, pdWrite };

  TPngSession(TStream& stream, TDirection direction);
  ~TPngSession();
  TPngSession(const TPngSession&) = delete;
  TPngSession& operator=(const TPngSession&) = delete;

  png_structp Png() const { return png_; }
  png_infop Info() const { return info_; }
  // Raises what went wrong inside libpng: the stream's own exception, else libpng's message.
  [[noreturn]] void Raise() const;

  // What went wrong inside libpng, kept until the boundary function has returned.
  struct TFailure {
    char message[256] = {};
    std::exception_ptr streamError;  // a failure of the stream itself, raised as it was
  };
  // What the I/O callbacks get from libpng.
  struct TIo {
    TStream* stream;
    TFailure* failure;
  };

 private:
  void Destroy();

  TDirection direction_;
  TFailure failure_;
  TIo io_;
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
};
