// The largest pixel area a file reader decodes. Fuzzing builds look at the decoders, not at
// the allocator: there a picture above 256 KiB is refused like one above the real limit, so
// that a small input declaring a gigabyte picture does not slow every run down. The TIFF
// reader holds libtiff's single allocations to the same bound, so that a hostile tag count is
// refused before libtiff reserves a megabyte to read it.
#pragma once

#include <cstdint>

#include "image/dibunit.h"

#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
inline constexpr std::int64_t kReaderPixelBytes = std::int64_t{1} << 18;
#else
inline constexpr std::int64_t kReaderPixelBytes = kMaxPixelBytes;
#endif
