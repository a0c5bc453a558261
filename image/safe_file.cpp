// Saving that never destroys the file already there: the bytes go to a temporary file in the
// target's folder, are flushed to the disk, and the temporary file is renamed over the target
// in one step. A failure anywhere removes the temporary file and leaves the target untouched.
#include "image/safe_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>

#include "image/streams.h"
#include "platform/errors.h"

namespace {

// Where the bytes really belong: a symbolic link is followed, so that it stays a link.
std::string ResolveTarget(const std::string& fileName) {
  struct stat status {};
  if (::lstat(fileName.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return fileName;
  std::unique_ptr<char, decltype(&std::free)> real(::realpath(fileName.c_str(), nullptr),
                                                   &std::free);
  return real ? std::string(real.get()) : fileName;
}

std::string FolderOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string RandomSuffix() {
  std::random_device device;
  char text[17];
  std::snprintf(text, sizeof text, "%08x%08x", device(), device());
  return text;
}

// The temporary file beside the target; removed again unless Commit renamed it.
class TTemporaryFile {
 public:
  explicit TTemporaryFile(const std::string& target) : target_(target) {
    std::string folder = FolderOf(target);
    std::string base = target.substr(target.rfind('/') + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
      name_ = folder + "/." + base + "." + RandomSuffix() + ".tmp";
      // 0666 lets the process's umask decide the rights of a new file, as for any save.
      int fd = ::open(name_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd >= 0) {
        KeepModeOfTarget(fd);
        ::close(fd);
        return;
      }
      if (errno != EEXIST) throw EOSError(errno, target_);
    }
    throw EOSError(EEXIST, target_);
  }
  ~TTemporaryFile() {
    if (!committed_) ::unlink(name_.c_str());
  }
  TTemporaryFile(const TTemporaryFile&) = delete;
  TTemporaryFile& operator=(const TTemporaryFile&) = delete;

  const std::string& Name() const { return name_; }

  void Commit() {
    if (::rename(name_.c_str(), target_.c_str()) != 0) throw EOSError(errno, target_);
    committed_ = true;
    SyncFolder();
  }

 private:
  void KeepModeOfTarget(int fd) const {
    struct stat status {};
    if (::stat(target_.c_str(), &status) == 0) ::fchmod(fd, status.st_mode & 07777);
  }
  // Makes the rename itself durable; a folder that cannot be flushed changes nothing.
  void SyncFolder() const {
    int fd = ::open(FolderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
  }

  std::string target_;
  std::string name_;
  bool committed_ = false;
};

bool Exists(const std::string& fileName) {
  struct stat status {};
  return ::stat(fileName.c_str(), &status) == 0;
}

// A file the user may not write keeps its protection: saving over it fails as opening would.
void RequireWritable(const std::string& fileName) {
  if (Exists(fileName) && ::faccessat(AT_FDCWD, fileName.c_str(), W_OK, AT_EACCESS) != 0) {
    throw EOSError(errno, fileName);
  }
}

void CopyFile(const std::string& fileName, TStream& target) {
  TFileStream source(fileName, fmOpenRead);
  std::vector<std::uint8_t> buffer(1 << 16);
  while (std::size_t n = source.Read(buffer.data(), buffer.size())) target.Write(buffer.data(), n);
  target.Seek(0, soBeginning);
}

void WriteTemporary(const std::string& tempName, const std::string& target, bool startFromExisting,
                    const std::function<void(TStream&)>& write) {
  TFileStream stream(tempName, fmOpenReadWrite);
  if (startFromExisting && Exists(target)) CopyFile(target, stream);
  write(stream);
  stream.Sync();
}

}  // namespace

void WriteFileSafely(const std::string& fileName, bool startFromExisting,
                     const std::function<void(TStream&)>& write) {
  std::string target = ResolveTarget(fileName);
  RequireWritable(target);
  TTemporaryFile temporary(target);
  try {
    WriteTemporary(temporary.Name(), target, startFromExisting, write);
  } catch (const EOSError& error) {
    // The operator knows the file by its own name, not by the temporary one.
    std::string prefix = temporary.Name() + ": ";
    if (std::string(error.what()).rfind(prefix, 0) == 0)
      throw EOSError(error.ErrorCode(), fileName);
    throw;
  }
  temporary.Commit();
}
