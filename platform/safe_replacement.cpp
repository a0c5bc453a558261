// The temporary file of a safe replacement, and its rename over the target.
#include "platform/safe_replacement.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>

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

bool Exists(const std::string& fileName) {
  struct stat status {};
  return ::stat(fileName.c_str(), &status) == 0;
}

// A file the user may not write keeps its protection: replacing it fails as opening would.
void RequireWritable(const std::string& fileName) {
  if (Exists(fileName) && ::faccessat(AT_FDCWD, fileName.c_str(), W_OK, AT_EACCESS) != 0) {
    throw EOSError(errno, fileName);
  }
}

void KeepModeOf(const std::string& target, int fd) {
  struct stat status {};
  if (::stat(target.c_str(), &status) == 0) ::fchmod(fd, status.st_mode & 07777);
}

// Makes a rename durable; a folder that cannot be flushed changes nothing.
void SyncFolder(const std::string& folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

TSafeReplacement::TSafeReplacement(const std::string& fileName) : target_(ResolveTarget(fileName)) {
  RequireWritable(target_);
  const std::string folder = FolderOf(target_);
  const std::string base = target_.substr(target_.rfind('/') + 1);
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary_ = folder + "/." + base + "." + RandomSuffix() + ".tmp";
    // 0666 lets the process's umask decide the rights of a new file, as for any save.
    int fd = ::open(temporary_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      KeepModeOf(target_, fd);
      ::close(fd);
      return;
    }
    if (errno != EEXIST) throw EOSError(errno, target_);
  }
  throw EOSError(EEXIST, target_);
}

TSafeReplacement::~TSafeReplacement() {
  if (!committed_) ::unlink(temporary_.c_str());
}

void TSafeReplacement::Commit() {
  if (::rename(temporary_.c_str(), target_.c_str()) != 0) throw EOSError(errno, target_);
  committed_ = true;
  SyncFolder(FolderOf(target_));
}
