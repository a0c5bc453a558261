// Counting the pages of a TIFF file through the image library's libtiff handle, whose
// messages stay with the handle, so that parallel jobs neither print nor interfere.
#include "workflow/tiff_pages.h"

#include <algorithm>
#include <limits>

#include "image/streams.h"
#include "image/tiff_client.h"
#include "platform/errors.h"

std::int32_t TIFFPageCount(const std::string& fileName) {
  try {
    TFileStream file(fileName, fmOpenRead);
    TTIFFHandle tiff(file);
    if (!tiff.Open("r")) return 1;
    constexpr auto kMax = static_cast<tdir_t>(std::numeric_limits<std::int32_t>::max());
    return static_cast<std::int32_t>(
        std::clamp<tdir_t>(TIFFNumberOfDirectories(tiff.Get()), 1, kMax));
  } catch (const EError&) {
    return 1;
  }
}
