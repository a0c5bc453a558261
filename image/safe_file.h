// Saving that never destroys an existing file: the content is written to a temporary file in
// the target's folder, flushed, and renamed over the target only when writing succeeded.
#pragma once

#include <functional>
#include <string>

#include "image/stream.h"

// Calls write with a stream on a temporary file beside fileName, then renames it over
// fileName. With startFromExisting and an existing fileName, the temporary file starts as a
// copy of it (appending a page). On any failure the temporary file is removed, fileName is
// left as it was, and the error propagates.
void WriteFileSafely(const std::string& fileName, bool startFromExisting,
                     const std::function<void(TStream&)>& write);
