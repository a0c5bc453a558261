// Saving that never destroys the file already there: the bytes go to a temporary file in the
// target's folder, are flushed to the disk, and the temporary file is renamed over the target
// in one step. A failure anywhere removes the temporary file and leaves the target untouched.
#include "image/safe_file.h"

#include <sys/stat.h>

#include <vector>

#include "image/streams.h"
#include "platform/errors.h"
#include "platform/safe_replacement.h"

namespace {

void CopyFile(const std::string& fileName, TStream& target) {
  TFileStream source(fileName, fmOpenRead);
  std::vector<std::uint8_t> buffer(1 << 16);
  while (std::size_t n = source.Read(buffer.data(), buffer.size())) target.Write(buffer.data(), n);
  target.Seek(0, soBeginning);
}

void WriteTemporary(const std::string& tempName, const std::string& target, bool startFromExisting,
                    const std::function<void(TStream&)>& write) {
  TFileStream stream(tempName, fmOpenReadWrite);
  struct stat status {};
  if (startFromExisting && ::stat(target.c_str(), &status) == 0) CopyFile(target, stream);
  write(stream);
  stream.Sync();
}

}  // namespace

void WriteFileSafely(const std::string& fileName, bool startFromExisting,
                     const std::function<void(TStream&)>& write) {
  TSafeReplacement temporary(fileName);
  try {
    WriteTemporary(temporary.TemporaryName(), temporary.Target(), startFromExisting, write);
  } catch (const EOSError& error) {
    // The operator knows the file by its own name, not by the temporary one.
    std::string prefix = temporary.TemporaryName() + ": ";
    if (std::string(error.what()).rfind(prefix, 0) == 0)
      throw EOSError(error.ErrorCode(), fileName);
    throw;
  }
  temporary.Commit();
}
