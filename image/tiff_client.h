// libtiff over a TStream, for the TIFF reader and writer.
//
// Each open handle carries its own context: the client procedures read, write, seek and size
// through the stream, and libtiff's error and warning handlers are installed per handle, so
// readers and writers on different threads share no mutable state. libtiff's messages stay
// in the handle (nothing reaches the process-wide handlers or stderr); a C++ exception thrown
// by the stream under libtiff is kept and raised again once libtiff reports the failure.
#pragma once

#include <tiffio.h>

#include <cstdarg>
#include <exception>
#include <string>

#include "image/stream.h"

class TTIFFHandle {
 public:
  explicit TTIFFHandle(TStream& stream) : stream_(stream) {}
  ~TTIFFHandle() { Close(); }
  TTIFFHandle(const TTIFFHandle&) = delete;
  TTIFFHandle& operator=(const TTIFFHandle&) = delete;

  // Opens libtiff on the stream with mode "r", "w" or "a"; false when libtiff refuses it.
  // A handle that is already open is closed first.
  bool Open(const char* mode);
  TIFF* Get() const { return tiff_; }

  // Raises the failure of a libtiff call: the stream's own exception when the stream failed
  // under libtiff, else EError(text).
  [[noreturn]] void Fail(const std::string& text) const;
  // The same, with libtiff's reason after the text ("text: reason") when it gave one; for
  // failures that have no fixed text of their own.
  [[noreturn]] void FailWithReason(const std::string& text) const;
  // The same as an EReadError: the fixed text with libtiff's own reason beside it
  // ("TIFFOpen (Cannot handle zero number of strips)"), for readers' failures.
  [[noreturn]] void FailBecause(const std::string& text) const;
  // Writes what libtiff still holds (the directory of a new page) and closes the handle;
  // raises like FailWithReason(text) when that fails. The destructor closes without checking.
  void Finish(const std::string& text);

  // Called by the client procedures and handlers; not for other users.
  TStream& Stream() const { return stream_; }
  void KeepStreamError(std::exception_ptr error);
  void KeepMessage(const char* module, const char* format, va_list arguments);

 private:
  void Close();

  TStream& stream_;
  TIFF* tiff_ = nullptr;
  std::exception_ptr streamError_;
  std::string firstError_;   // "module: message"
  std::string firstReason_;  // the message alone
};
