// Counting the pages of a TIFF file with libtiff, silently: its messages go to a handler of
// this one handle, never to the process-wide handlers, so parallel jobs do not interfere.
#include "cli/tiff_pages.h"

#include <tiffio.h>

#include <algorithm>
#include <limits>
#include <memory>

namespace {

int IgnoreMessage(TIFF*, void*, const char*, const char*, va_list) {
  return 1;
}

struct TTIFFCloser {
  void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
struct TOptionsFreer {
  void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};

}  // namespace

std::int32_t TIFFPageCount(const std::string& fileName) {
  std::unique_ptr<TIFFOpenOptions, TOptionsFreer> options(TIFFOpenOptionsAlloc());
  if (!options) return 1;
  TIFFOpenOptionsSetErrorHandlerExtR(options.get(), IgnoreMessage, nullptr);
  TIFFOpenOptionsSetWarningHandlerExtR(options.get(), IgnoreMessage, nullptr);
  std::unique_ptr<TIFF, TTIFFCloser> tiff(TIFFOpenExt(fileName.c_str(), "r", options.get()));
  if (!tiff) return 1;
  const auto count = TIFFNumberOfDirectories(tiff.get());
  constexpr auto kMax = static_cast<tdir_t>(std::numeric_limits<std::int32_t>::max());
  return static_cast<std::int32_t>(std::clamp<tdir_t>(count, 1, kMax));
}
