// libtiff over a TStream: client procedures and per-handle message context.
#include "image/tiff_client.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "image/dibunit.h"
#include "image/read_error.h"
#include "image/reader_limits.h"
#include "platform/errors.h"

namespace {

TTIFFHandle& HandleOf(thandle_t clientData) {
  return *static_cast<TTIFFHandle*>(clientData);
}

// The procedures below run inside libtiff's C code: no exception may leave them.
tmsize_t ReadProc(thandle_t clientData, void* buffer, tmsize_t size) {
  TTIFFHandle& handle = HandleOf(clientData);
  try {
    return static_cast<tmsize_t>(handle.Stream().Read(buffer, static_cast<std::size_t>(size)));
  } catch (...) {
    handle.KeepStreamError(std::current_exception());
    return -1;
  }
}

tmsize_t WriteProc(thandle_t clientData, void* buffer, tmsize_t size) {
  TTIFFHandle& handle = HandleOf(clientData);
  try {
    handle.Stream().Write(buffer, static_cast<std::size_t>(size));
    return size;
  } catch (...) {
    handle.KeepStreamError(std::current_exception());
    return -1;
  }
}

toff_t SeekProc(thandle_t clientData, toff_t offset, int whence) {
  TTIFFHandle& handle = HandleOf(clientData);
  const TSeekOrigin origin =
      whence == SEEK_CUR ? soCurrent : (whence == SEEK_END ? soEnd : soBeginning);
  try {
    // Offsets relative to the current position or the end arrive as two's complement.
    return static_cast<toff_t>(handle.Stream().Seek(static_cast<std::int64_t>(offset), origin));
  } catch (...) {
    handle.KeepStreamError(std::current_exception());
    return static_cast<toff_t>(-1);
  }
}

toff_t SizeProc(thandle_t clientData) {
  TTIFFHandle& handle = HandleOf(clientData);
  try {
    return static_cast<toff_t>(handle.Stream().Size());
  } catch (...) {
    handle.KeepStreamError(std::current_exception());
    return 0;
  }
}

// The stream belongs to the caller, and it is never mapped into memory.
int CloseProc(thandle_t) {
  return 0;
}
int MapProc(thandle_t, void**, toff_t*) {
  return 0;
}
void UnmapProc(thandle_t, void*, toff_t) {}

// Returning 1 tells libtiff the message was handled: the process-wide handlers stay silent.
int ErrorHandler(TIFF*, void* userData, const char* module, const char* format, va_list arguments) {
  static_cast<TTIFFHandle*>(userData)->KeepMessage(module, format, arguments);
  return 1;
}

int WarningHandler(TIFF*, void*, const char*, const char*, va_list) {
  return 1;
}

struct TOptionsDeleter {
  void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};

}  // namespace

bool TTIFFHandle::Open(const char* mode) {
  Close();
  streamError_ = nullptr;
  firstError_.clear();
  firstReason_.clear();
  std::unique_ptr<TIFFOpenOptions, TOptionsDeleter> options(TIFFOpenOptionsAlloc());
  TIFFOpenOptionsSetErrorHandlerExtR(options.get(), ErrorHandler, this);
  TIFFOpenOptionsSetWarningHandlerExtR(options.get(), WarningHandler, this);
  // No single buffer libtiff allocates for an image the readers take comes near this; hostile
  // tags do.
  TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), static_cast<tmsize_t>(kReaderPixelBytes));
  tiff_ = TIFFClientOpenExt("", mode, this, ReadProc, WriteProc, SeekProc, CloseProc, SizeProc,
                            MapProc, UnmapProc, options.get());
  return tiff_ != nullptr;
}

void TTIFFHandle::Close() {
  if (tiff_ != nullptr) {
    TIFFClose(tiff_);
    tiff_ = nullptr;
  }
}

void TTIFFHandle::Fail(const std::string& text) const {
  if (streamError_) std::rethrow_exception(streamError_);
  throw EError(text);
}

void TTIFFHandle::FailWithReason(const std::string& text) const {
  Fail(firstError_.empty() ? text : text + ": " + firstError_);
}

void TTIFFHandle::FailBecause(const std::string& text) const {
  if (streamError_) std::rethrow_exception(streamError_);
  throw EReadError(text, firstReason_);
}

void TTIFFHandle::Finish(const std::string& text) {
  const bool flushed = TIFFFlush(tiff_) != 0;
  Close();
  if (!flushed || streamError_) FailWithReason(text);
}

void TTIFFHandle::KeepStreamError(std::exception_ptr error) {
  if (!streamError_) streamError_ = error;
}

void TTIFFHandle::KeepMessage(const char* module, const char* format, va_list arguments) {
  if (!firstError_.empty()) return;
  char text[512];
  std::vsnprintf(text, sizeof text, format, arguments);
  // Many messages begin with the file name, which a stream does not have: ": reason".
  firstReason_ = std::strncmp(text, ": ", 2) == 0 ? text + 2 : text;
  firstError_ = (module != nullptr && *module != '\0') ? std::string(module) + ": " + text : text;
}
